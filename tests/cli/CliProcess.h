// Support: runs the built qxpan-cli in an isolated home, builds its inputs; no test of its own.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// Runs the built qxpan-cli (QXPAN_CLI_PATH) for the tests of its file handling.
struct CliProcess
{
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    /// Runs the tool (or program) with args in folder; exitCode stays -1 when it did not end
    /// normally.
    static Run Start(const QStringList& args, const QProcessEnvironment& env, const QString& folder,
                     const QString& program = QStringLiteral(QXPAN_CLI_PATH))
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder);
        process.start(program, args);
        Run run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            run.err = "process did not finish normally";
            return run;
        }
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    /// A screen program file built from the format rules: three header lines, then 9833 records
    /// of 320 hexadecimal digits spelling the 16-byte header and 1024 x 768 copies of one pixel
    /// word (low byte first), zeros after the picture. Fewer records cut the file short.
    static QByteArray ScreenText(int number, quint16 word, int recordCount = 9833)
    {
        QByteArray digits = "00001800100000000000040003000800";
        digits += QString::asprintf("%02X%02X", word & 0xFF, word >> 8).toLatin1().repeated(786432);
        digits += QByteArray(9833 * 320 - digits.size(), '0');
        QByteArray text = "\"C\",\"n:P0" + QByteArray::number(number) + ":\"\r\n\"h\",\"36\"\r\n" +
                          "\"f\",\"FILE" + QByteArray::number(number) + "\"\r\n";
        for (int r = 0; r < recordCount; ++r)
            text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                    digits.mid(qsizetype(r) * 320, 320) + "\"\r\n";
        return text;
    }
};

/// An isolated home (configuration and data folders inside it) to run the tool in, with the
/// design the convert tests use.
struct CliHome
{
    QTemporaryDir home;
    QProcessEnvironment env = [this] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), home.path());
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        e.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        e.remove(QStringLiteral("QXPAN_CONFIG"));
        return e;
    }();
    QString config = home.filePath(QStringLiteral("qxctrl.ini"));
    QString design = QStringLiteral(QXPAN_TEST_DATA "/cli-convert/design.pan");

    QString Path(const QString& name) const { return home.filePath(name); }
    CliProcess::Run Run(const QStringList& args,
                        const QString& program = QStringLiteral(QXPAN_CLI_PATH)) const
    {
        return CliProcess::Start(args, env, home.path(), program);
    }
    CliProcess::Run Convert(const QString& type, const QStringList& more = {}) const
    {
        return Run(QStringList{"convert", design, "--type", type, "--config", config} + more);
    }
    /// A file of the demo branch's program folder (the folder itself for an empty name).
    QString Program(const QString& name) const
    {
        return home.filePath(QStringLiteral("data/QXPan/branches/DEMO/program/") + name);
    }
};

/// A failure with status 1 and one line on standard error, naming the file and saying why.
inline void ExpectOneLine(const CliProcess::Run& run, const QString& file, const char* why)
{
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1) << run.err.constData();
    EXPECT_TRUE(lines[0].contains(QFile::encodeName(file))) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains(why)) << lines[0].constData();
}

// Support: runs the built qxpan-cli in an isolated home, builds its inputs; no test of its own.
#pragma once

#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct CliRun
{
    int exitCode = -1; // stays -1 when the program did not end normally
    QByteArray out, err;
};

/// A screen file by the format rules: 9833 records of 320 hex digits spelling the 16-byte header
/// and 1024 x 768 copies of one pixel word (low byte first); fewer records cut the file short.
inline QByteArray ScreenText(int number, quint16 word, int recordCount = 9833)
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

/// An isolated home (configuration and data folders inside it) with the design to convert.
struct CliHome
{
    QTemporaryDir home;
    QProcessEnvironment env = [this] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("HOME", home.path());
        e.insert("XDG_CONFIG_HOME", home.filePath("config"));
        e.insert("XDG_DATA_HOME", home.filePath("data"));
        e.remove("QXPAN_CONFIG");
        return e;
    }();
    QString config = home.filePath("qxctrl.ini");
    QString design = QXPAN_TEST_DATA "/cli-convert/design.pan";

    QString Path(const QString& name) const { return home.filePath(name); }
    /// Runs program (the built tool by default) with args in folder (the home by default).
    CliRun Run(const QStringList& args, const QString& program = QXPAN_CLI_PATH,
               const QString& folder = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder.isEmpty() ? home.path() : folder);
        process.start(program, args);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}, "process did not finish normally"}; // QProcess kills it when gone
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    CliRun Convert(const QString& type, const QStringList& more = {}) const
    {
        return Run(QStringList{"convert", design, "--type", type, "--config", config} + more);
    }
    /// A file of the demo branch's program folder (the folder itself, with a slash, for "").
    QString Program(const QString& name) const
    {
        return home.filePath("QXPan/branches/DEMO/program/" + name); // beside the store
    }
};

/// The run ended with code and its standard error holds part.
inline void ExpectExit(const CliRun& run, int code, const QByteArray& part = {})
{
    EXPECT_EQ(run.exitCode, code) << run.err.constData();
    EXPECT_TRUE(run.err.contains(part)) << run.err.constData();
}

/// A failure with status 1 and one line on standard error, naming the file and saying why.
inline void ExpectOneLine(const CliRun& run, const QString& file, const char* why)
{
    ExpectExit(run, 1, why);
    EXPECT_TRUE(run.err.trimmed().count('\n') == 0 && run.err.contains(QFile::encodeName(file)))
        << run.err.constData();
}

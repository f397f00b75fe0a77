// Support: the one runner of the built qxpan-cli, with an isolated home; no test of its own.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

/// Runs the built qxpan-cli (QXPAN_CLI_PATH) for the tests of its file handling.
struct CliProcess
{
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;

        QStringList errLines() const
        {
            return QString::fromUtf8(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
    };

    /// The environment with home, configuration and data folders inside home.
    static QProcessEnvironment IsolatedHome(const QTemporaryDir& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.remove(QStringLiteral("QXPAN_CONFIG"));
        return env;
    }

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
};

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// merlox-mifare-cli run as a process of its own (MERLOX_CLI_PATH, set for the tests
// that include this): its exit status (-1 when it crashed or hung) and its output.
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(MERLOX_CLI_PATH), args);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../foundation/temp_home.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program as a monitoring system would, in a temporary home and
// without a session bus, so notifications become log lines. Standard output
// goes to `stdoutFile` when one is given.
inline CliRun runCli(const TempHome& home, const QStringList& args,
                     const QString& stdoutFile = {}) {
    QProcess process;
    QProcessEnvironment env = home.environment();
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    process.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty()) {
        process.setStandardOutputFile(stdoutFile);
    }
    process.start(QStringLiteral(OSTRIVANE_CLI_PATH), args);
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << args.join(u' ').toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

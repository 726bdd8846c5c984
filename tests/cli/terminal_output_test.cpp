// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kMachines = QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/machines/");

}  // namespace

// Output that cannot be written (a full disk) is a failure, not a success.
TEST(TerminalOutput, AFailedWriteToStandardOutputExits74) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "no /dev/full";
    }
    TempHome home;
    const QString machine = kMachines + QStringLiteral("desktop-sata-md-usb");
    for (const QStringList& args :
         {QStringList{QStringLiteral("--version")},
          QStringList{QStringLiteral("disks"), QStringLiteral("--machine"), machine},
          QStringList{QStringLiteral("check"), QStringLiteral("--json"),
                      QStringLiteral("--machine"), machine},
          QStringList{QStringLiteral("history")}}) {
        const CliRun r = runCli(home, args, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.exitCode, 74) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("cannot write to standard output")))
            << r.err.toStdString();
    }
}

// A mount point with an encoded newline and an escape sequence must not forge
// a line of output or reach the terminal as a control sequence.
TEST(TerminalOutput, ControlCharactersFromDriveDataAreEscaped) {
    TempHome home;
    QTemporaryDir dir;
    const QString machine = dir.filePath(QStringLiteral("forged"));
    QProcess::execute(
        QStringLiteral("cp"),
        {QStringLiteral("-a"), kMachines + QStringLiteral("desktop-sata-md-usb"), machine});
    QFile mounts(machine + QStringLiteral("/proc/self/mountinfo"));
    ASSERT_TRUE(mounts.open(QIODevice::ReadOnly));
    QByteArray table = mounts.readAll();
    mounts.close();
    table.replace(" / /home ", " / /home\\012Forged\\033[31m ");
    ASSERT_TRUE(mounts.open(QIODevice::WriteOnly | QIODevice::Truncate));
    mounts.write(table);
    mounts.close();

    for (const QString& command : {QStringLiteral("check"), QStringLiteral("disks")}) {
        const CliRun r = runCli(home, {command, QStringLiteral("--machine"), machine});
        EXPECT_TRUE(r.out.contains(QStringLiteral("/home\\nForged\\x1b[31m")))
            << command.toStdString() << ": " << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(QLatin1Char('\x1b'))) << command.toStdString();
        for (const QString& line : r.out.split(QLatin1Char('\n'))) {
            EXPECT_FALSE(line.startsWith(QStringLiteral("Forged"))) << command.toStdString();
        }
    }
    // JSON stays exact: the parser of the reader unescapes it.
    const CliRun json = runCli(home, {QStringLiteral("check"), QStringLiteral("--json"),
                                      QStringLiteral("--machine"), machine});
    EXPECT_TRUE(json.out.contains(QStringLiteral("/home\\nForged\\u001b[31m")))
        << json.out.toStdString();
}

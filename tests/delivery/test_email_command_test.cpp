// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
};

// The test program's HOME and XDG folders are temporary; the child inherits them.
CommandRun testEmail(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                  QStringList{QStringLiteral("test-email")} + args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed()};
}

}  // namespace

TEST(TestEmailCommand, ResultNameAndExitStatus) {
    // Nothing valid to send to: no request, the result's name, a failure status.
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("--to"), QStringLiteral("nobody")},
          QStringList{QStringLiteral("--to=,")}}) {
        const CommandRun r = testEmail(args);
        EXPECT_EQ(r.out, QStringLiteral("No Valid Recipient")) << args.join(u' ').toStdString();
        EXPECT_EQ(r.exitCode, 1);
    }
    EXPECT_EQ(testEmail({QStringLiteral("--bogus")}).exitCode, 64);
    EXPECT_EQ(testEmail({QStringLiteral("extra")}).exitCode, 64);
    EXPECT_EQ(testEmail({QStringLiteral("--help")}).exitCode, 0);
}

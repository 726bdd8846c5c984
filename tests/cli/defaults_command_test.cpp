// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_home.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

class DefaultsCommandTest : public ::testing::Test {
  protected:
    CliRun cli(const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(home.environment());
        process.start(QStringLiteral(OSTRIVANE_CLI_PATH), QStringList{"defaults"} + args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString storePath() const {
        return home.configHome() + QStringLiteral("/com.wendle.Ostrivane.sqlite3");
    }

    TempHome home;
};

TEST_F(DefaultsCommandTest, WriteReadDeleteRoundTrip) {
    EXPECT_EQ(cli({"write", "CheckAllDisks", "-int", "1"}).status, 0);
    EXPECT_EQ(cli({"write", "Ratio", "-float", "-2.5e-1"}).status, 0);
    EXPECT_EQ(cli({"write", "Flag", "-bool", "YES"}).status, 0);
    EXPECT_EQ(cli({"write", "Address", "a@example.org"}).status, 0);
    EXPECT_EQ(cli({"write", "Dash", "-string", "-int"}).status, 0);
    const QString awkward = QStringLiteral("key \"quoted\"\nnext \u00e9\u6f22");
    EXPECT_EQ(cli({"write", awkward, "-string", "v\u00e9"}).status, 0);
    EXPECT_TRUE(QFile::exists(storePath()));

    EXPECT_EQ(cli({"read", "CheckAllDisks"}).out, QStringLiteral("1\n"));
    EXPECT_EQ(cli({"read", "Ratio"}).out, QStringLiteral("-0.25\n"));
    EXPECT_EQ(cli({"read", "Flag"}).out, QStringLiteral("1\n"));
    EXPECT_EQ(cli({"read", "Dash"}).out, QStringLiteral("-int\n"));
    EXPECT_EQ(cli({"read", awkward}).out, QStringLiteral("v\u00e9\n"));
    // Unstored keys read their built-in default.
    EXPECT_EQ(cli({"read", "IconsetMenubar"}).out, QStringLiteral("12\n"));

    const CliRun all = cli({"read"});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.contains(QStringLiteral("    Address = \"a@example.org\";\n")));
    EXPECT_TRUE(all.out.contains(QStringLiteral("\"key \\\"quoted\\\"\\nnext \u00e9\u6f22\" = ")));
    EXPECT_FALSE(all.out.contains(QStringLiteral("IconsetMenubar")));
    const CliRun withDefaults = cli({"read", "--all"});
    EXPECT_TRUE(
        withDefaults.out.contains(QStringLiteral("    IconsetMenubar = 12; /* built-in */\n")));
    EXPECT_TRUE(
        withDefaults.out.contains(QStringLiteral("    CheckAllDisks = 1; /* user store */\n")));

    EXPECT_EQ(cli({"list"}).out.count(QLatin1Char('\n')), 6);
    EXPECT_EQ(cli({"delete", "CheckAllDisks"}).status, 0);
    const CliRun gone = cli({"read", "CheckAllDisks"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(gone.err.contains(QStringLiteral("CheckAllDisks")));
    EXPECT_EQ(cli({"delete", "CheckAllDisks"}).status, 1);
}

TEST_F(DefaultsCommandTest, BadArgumentsAreUsageErrorsAndChangeNothing) {
    ASSERT_EQ(cli({"write", "Keep", "-int", "5"}).status, 0);
    const QList<QStringList> bad = {
        {},
        {"frobnicate"},
        {"write"},
        {"write", "Keep"},
        {"write", "Keep", "-int"},
        {"write", "Keep", "-date", "2026-01-01"},
        {"write", "Keep", "-array", "1"},
        {"write", "Keep", "-int", "12a"},
        {"write", "Keep", "-int", "99999999999999999999"},
        {"write", "Keep", "-int", ""},
        {"write", "Keep", "-float", "nan"},
        {"write", "Keep", "-float", "1e999"},
        {"write", "Keep", "-bool", "maybe"},
        {"write", "Keep", "-int", "5", "extra"},
        {"write", "", "-int", "1"},
        {"read", ""},
        {"read", "Keep", "extra"},
        {"delete"},
        {"delete", "Keep", "extra"},
        {"list", "extra"},
    };
    for (const QStringList& args : bad) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 64) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(cli({"read", "Keep"}).out, QStringLiteral("5\n"));
    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("write KEY")));
    EXPECT_EQ(cli({"write", "--help"}).status, 0);
}

TEST_F(DefaultsCommandTest, DamagedStoreIsSetAsideAndTheCommandWorks) {
    QDir().mkpath(home.configHome());
    {
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a database, just some text that happens to be here");
    }
    const CliRun run = cli({"write", "After", "-int", "3"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(cli({"read", "After"}).out, QStringLiteral("3\n"));
    EXPECT_EQ(QDir(home.configHome())
                  .entryList({QStringLiteral("com.wendle.Ostrivane.sqlite3.damaged-*")})
                  .size(),
              1);
}

TEST_F(DefaultsCommandTest, UnwritableLocationFails) {
    // A file where the configuration folder should be.
    QDir(home.configHome()).removeRecursively();
    QFile blocker(home.configHome());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CliRun run = cli({"write", "K", "-int", "1"});
    EXPECT_EQ(run.status, 74);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot be opened")));
}

}  // namespace

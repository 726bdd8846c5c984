// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/gui_options.h"
#include "gui/log_view_text.h"
#include "gui/login_item_manager.h"

#include "gui_test_support.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// desktop-file-validate's verdict; absent when the tool is not installed.
std::optional<QString> validationProblems(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, {path});
    process.waitForFinished(10000);
    const QString output = QString::fromUtf8(process.readAll());
    return process.exitCode() == 0 && output.isEmpty() ? QString() : output;
}

TEST(DesktopFiles, TheShippedEntryAndTheAutostartEntryAreValid) {
    const QString shipped =
        QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/desktop/ostrivane.desktop");
    const std::optional<QString> problems = validationProblems(shipped);
    if (!problems) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    EXPECT_EQ(*problems, QString()) << problems->toStdString();
    QFile file(shipped);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Name=Show Ostrivane\nExec=ostrivane --show\n")));

    // An installation below a path the command line would split or expand.
    LoginItemManager manager(QStringLiteral("validate-me"),
                             QStringLiteral("/opt/my $HOME \"builds\"/100% \\ok/ostrivane"));
    manager.setLaunchesAtLogin(true);
    EXPECT_EQ(validationProblems(manager.userEntryPath()).value_or(QStringLiteral("?")), QString());
    manager.setLaunchesAtLogin(false);
}

TEST(GuiOptions, UsageErrorsAndOptions) {
    QString error;
    const auto parse = [&error](QStringList args) {
        error.clear();
        args.prepend(QStringLiteral("ostrivane"));
        return GuiOptions::parse(args, error);
    };
    EXPECT_FALSE(parse({QStringLiteral("--bogus")}));
    EXPECT_TRUE(error.contains(QStringLiteral("bogus")));
    EXPECT_FALSE(parse({QStringLiteral("extra")}));
    EXPECT_EQ(error, QStringLiteral("unexpected argument 'extra'"));
    EXPECT_FALSE(parse({QStringLiteral("--machine")}));
    EXPECT_FALSE(parse({QStringLiteral("--machine"), testRoot() + QStringLiteral("/none")}));
    EXPECT_TRUE(error.startsWith(QStringLiteral("no machine folder")));
    EXPECT_FALSE(parse({QStringLiteral("--socket=")}));

    const std::optional<GuiOptions> options =
        parse({QStringLiteral("--show"), QStringLiteral("--machine"), testRoot(),
               QStringLiteral("--socket"), QStringLiteral("/run/x.sock")});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->show);
    EXPECT_EQ(options->machine, testRoot());
    EXPECT_EQ(options->socketPath, std::optional<std::string>("/run/x.sock"));
    EXPECT_EQ(GuiOptions::kUsageError, 64);
}

struct ProgramRun {
    int status;
    QString out;
    QString err;
};

ProgramRun runOstrivane(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(OSTRIVANE_GUI_PATH), arguments);
    process.waitForFinished(20000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(GuiProgram, AnswersItsOptionsAndRefusesRoot) {
    const ProgramRun bogus = runOstrivane({QStringLiteral("--bogus")});
    EXPECT_EQ(bogus.status, 64);
    EXPECT_EQ(bogus.err, QStringLiteral("ostrivane: Unknown option 'bogus'.\n"
                                        "Try 'ostrivane --help'.\n"));
    EXPECT_EQ(runOstrivane({QStringLiteral("--machine"), QStringLiteral("/nonexistent")}).status,
              64);
    const ProgramRun version = runOstrivane({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("ostrivane ")));
    const ProgramRun help = runOstrivane({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--show")));
    if (::geteuid() == 0) {
        const ProgramRun root = runOstrivane({});
        EXPECT_EQ(root.status, 77);
        EXPECT_TRUE(root.err.contains(QStringLiteral("does not run as root")));
    }
}

TEST(LogView, LinesOfTheLogShapeLoseNameAndProcessOthersStay) {
    const QString file = QStringLiteral(
        "Dec  8 08:39:13 Ostrivane[4242] <Notice>: Disk a ok] <x\n"
        "short ] <line\n"
        "a line with many words but no bracket\n"
        "\n");
    EXPECT_EQ(logViewText(file), QStringLiteral("Dec 8 08:39:13 <Notice>: Disk a ok\n"
                                                "short ] <line\n"
                                                "a line with many words but no bracket\n"));
}

}  // namespace

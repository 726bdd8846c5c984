// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "foundation/defaults.h"
#include "support/alerts.h"
#include "support/crash_reports.h"
#include "support/startup_checks.h"
#include "support/uncaught_exceptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A private library folder like an installed one: the build's real modules.
QString copyModules(const QString& into) {
    const QString folder = into + QStringLiteral("/lib/ostrivane");
    QDir().mkpath(folder);
    for (const QString& name : StartupChecks::installedModules()) {
        QFile::copy(QStringLiteral(OSTRIVANE_PRIVATE_LIB_DIR "/") + name,
                    folder + QLatin1Char('/') + name);
    }
    return folder;
}

}  // namespace

TEST(StartupChecks, SupportFolderMustBeAFolderOrBeCreatable) {
    QTemporaryDir root;
    const QString file = root.filePath(QStringLiteral("file"));
    writeFile(file, "x");
    EXPECT_TRUE(StartupChecks::supportFolderProblem(file).contains(
        QStringLiteral("is not a folder but a file. Please remove the file '%1'").arg(file)));

    const QString dangling = root.filePath(QStringLiteral("dangling"));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("nowhere")), dangling));
    EXPECT_TRUE(StartupChecks::supportFolderProblem(dangling).contains(
        QStringLiteral("Please remove the file '%1'").arg(dangling)));

    // Missing: made with its parents; existing: left as it is.
    const QString deep = root.filePath(QStringLiteral("a/b/Ostrivane"));
    EXPECT_EQ(StartupChecks::supportFolderProblem(deep), QString());
    EXPECT_TRUE(QFileInfo(deep).isDir());
    writeFile(deep + QStringLiteral("/keep"), "kept");
    EXPECT_EQ(StartupChecks::supportFolderProblem(deep), QString());
    EXPECT_EQ(readFile(deep + QStringLiteral("/keep")), QByteArray("kept"));

    // A file where a parent belongs: it cannot be made.
    const QString below = file + QStringLiteral("/sub/Ostrivane");
    const QString problem = StartupChecks::supportFolderProblem(below);
    EXPECT_TRUE(problem.startsWith(
        QStringLiteral(
            "This application can not be launched because the 'Application Support' can not be "
            "created at the path '%1'.\nError: ")
            .arg(below)))
        << problem.toStdString();
}

TEST(StartupChecks, MissingOrReplacedModulesMakeTheInstallationDamaged) {
    QTemporaryDir root;
    const QString folder = copyModules(root.path());
    const QStringList modules = StartupChecks::installedModules();
    ASSERT_EQ(modules.size(), 2);
    EXPECT_EQ(StartupChecks::damagedModule(folder, modules), QString());

    const QString first = folder + QLatin1Char('/') + modules[0];
    const QByteArray good = readFile(first);
    // Garbage, a truncated header, another machine's library, a text file.
    QByteArray otherMachine = good;
    otherMachine[18] = char(otherMachine[18] ^ 0x7f);
    for (const QByteArray& bad :
         {QByteArray("garbage garbage garbage garbage garbage garbage garbage garbage"),
          good.left(10), otherMachine, QByteArray()}) {
        writeFile(first, bad);
        EXPECT_EQ(StartupChecks::damagedModule(folder, modules), first);
    }
    writeFile(first, good);
    ASSERT_EQ(StartupChecks::damagedModule(folder, modules), QString());

    // Gone, or something stray beside the modules.
    const QString second = folder + QLatin1Char('/') + modules[1];
    QFile::rename(second, second + QStringLiteral(".moved"));
    EXPECT_EQ(StartupChecks::damagedModule(folder, modules), second);
    QFile::rename(second + QStringLiteral(".moved"), second);
    const QString stray = folder + QStringLiteral("/README");
    writeFile(stray, "text");
    EXPECT_EQ(StartupChecks::damagedModule(folder, modules), stray);
}

TEST(StartupChecks, AFailedCheckShowsItsMessageTitledWithTheName) {
    QTemporaryDir root;
    const QString folder = copyModules(root.path());
    const QString supp = root.filePath(QStringLiteral("supp"));
    ScriptedRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));
    EXPECT_TRUE(StartupChecks::run(alerts, supp, folder, StartupChecks::installedModules()));
    EXPECT_TRUE(runner.panels.isEmpty());

    const QString module = folder + QLatin1Char('/') + StartupChecks::installedModules()[0];
    writeFile(module, "junk");
    EXPECT_FALSE(StartupChecks::run(alerts, supp, folder, StartupChecks::installedModules()));
    ASSERT_EQ(runner.panels.size(), 1);
    EXPECT_EQ(runner.panels[0].title, QStringLiteral("Ostrivane"));
    EXPECT_EQ(runner.panels[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(runner.panels[0].message.contains(QStringLiteral("package")));
    EXPECT_FALSE(runner.panels[0].message.contains(QStringLiteral("ZIP")));
    EXPECT_TRUE(runner.panels[0].message.endsWith(QStringLiteral("Offending Path: ") + module));

    // The folder is checked first.
    writeFile(root.filePath(QStringLiteral("plain")), "x");
    EXPECT_FALSE(StartupChecks::run(alerts, root.filePath(QStringLiteral("plain")), folder,
                                    StartupChecks::installedModules()));
    EXPECT_TRUE(runner.panels.last().message.contains(QStringLiteral("not a folder but a file")));
}

TEST(UncaughtExceptions, RecordsKeepTheNewestTen) {
    const QString key = QStringLiteral("wendlelib_exception_info");
    setDefaultString(key, QStringLiteral("not a list"));
    UncaughtExceptions::append_to_defaults_list(key, QStringLiteral("e0"), 10);
    EXPECT_EQ(defaultArray(key), QVariantList{QStringLiteral("e0")});
    for (int index = 1; index <= 10; ++index) {
        UncaughtExceptions::append_to_defaults_list(key, QStringLiteral("e%1").arg(index), 10);
    }
    const QVariantList kept = defaultArray(key).value_or(QVariantList());
    ASSERT_EQ(kept.size(), 10);
    EXPECT_EQ(kept.first().toString(), QStringLiteral("e1"));
    EXPECT_EQ(kept.last().toString(), QStringLiteral("e10"));

    const QString details = UncaughtExceptions::details(
        QStringLiteral("std::runtime_error"), QStringLiteral("bad"), QStringLiteral("(\n)"));
    EXPECT_EQ(details, QStringLiteral(" std::runtime_error bad {} (\n)"));
    EXPECT_TRUE(UncaughtExceptions::record(QDateTime::currentDateTime(), details)
                    .endsWith(QStringLiteral(" Exception: std::runtime_error bad {} (\n)")));
    setDefaultObject(key, QVariant());
}

TEST(CrashReports, OnlyTheNewestUnofferedReportOfTheUsersFolderIsOffered) {
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("DiagnosticReports"));
    QDir().mkpath(folder);
    const QStringList reports{folder + QStringLiteral("/Ostrivane_1700000000-10.crash"),
                              folder + QStringLiteral("/Ostrivane_1700000500-11.crash"),
                              QStringLiteral("/var/crash/Ostrivane_1.crash")};
    writeFile(reports[0], "old");
    writeFile(reports[1], "new");
    setDefaultObject(QLatin1String(CrashReports::kOfferedKey), QVariant());
    QStringList offered;
    const auto offer = [&](const QString& path, const QString& text) {
        offered << path + QLatin1Char('=') + text;
    };
    CrashReports::offerNewest(reports, folder, offer);
    EXPECT_EQ(offered, QStringList{reports[1] + QStringLiteral("=new")});
    // Once only, and the older one was settled with it.
    CrashReports::offerNewest(reports, folder, offer);
    EXPECT_EQ(offered.size(), 1);
    setDefaultObject(QLatin1String(CrashReports::kOfferedKey), QVariant());
}

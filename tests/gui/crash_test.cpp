// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_app.h"

#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"
#include "support/startup_checks.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString crashFolder() {
    return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Ostrivane/DiagnosticReports");
}

QStringList crashReports() {
    return QDir(crashFolder())
        .entryList({QStringLiteral("Ostrivane_*.crash")}, QDir::Files, QDir::Name);
}

QString lastExceptionRecord() {
    const QVariantList records =
        defaultArray(QStringLiteral("wendlelib_exception_info")).value_or(QVariantList());
    return records.isEmpty() ? QString() : records.constLast().toString();
}

}  // namespace

#ifdef OSTRIVANE_TEST_HOOKS

TEST(RealCrash, SignalsLeaveAReportExceptionsARecordAndTheNextStartOffersIt) {
    for (const char* key : {"WelcomeAssistantFinished", "WelcomeShown"}) {
        setDefaultInt(QString::fromLatin1(key), 1);
    }
    setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    QDir(crashFolder()).removeRecursively();

    // Exceptions on the main thread and on a worker: recorded, the fatal
    // dialog, status 1, and no crash report.
    const struct {
        const char* trigger;
        QString recorded;
    } exceptions[] = {
        {"exception",
         QStringLiteral("Exception: std::runtime_error test exception on the main thread {}")},
        {"worker-exception",
         QStringLiteral("Exception: std::logic_error test exception on a worker {}")},
        {"terminate",
         QStringLiteral("Exception: std::terminate called without an active exception")},
    };
    for (const auto& exception : exceptions) {
        ChildApp child(QStringLiteral(OSTRIVANE_GUI_PATH));
        child.set(QStringLiteral("OSTRIVANE_TEST_CRASH"), QLatin1String(exception.trigger));
        child.start();
        ASSERT_TRUE(child.finish()) << exception.trigger;
        EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit) << exception.trigger;
        EXPECT_EQ(child.process().exitCode(), 1) << exception.trigger;
        EXPECT_TRUE(child.errors().contains(QStringLiteral("dialog: Fatal Error | ")))
            << child.errors().toStdString();
        EXPECT_TRUE(lastExceptionRecord().contains(exception.recorded))
            << lastExceptionRecord().toStdString();
    }
    EXPECT_TRUE(crashReports().isEmpty());
    {
        ChildApp child(QStringLiteral(OSTRIVANE_GUI_PATH));
        child.set(QStringLiteral("OSTRIVANE_TEST_CRASH"), QStringLiteral("segv"));
        child.start();
        ASSERT_TRUE(child.finish()) << child.errors().toStdString();
        EXPECT_EQ(child.process().exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(child.process().exitCode(), SIGSEGV);
    }
    const QStringList reports = crashReports();
    ASSERT_EQ(reports.size(), 1);
    QFile report(crashFolder() + QLatin1Char('/') + reports[0]);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Process: Ostrivane\nVersion: ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Signal: 11 (SIGSEGV)")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n\nBacktrace:\n")));
    // The frames, written by backtrace_symbols_fd from inside the handler.
    EXPECT_TRUE(text.contains(QStringLiteral("/bin/ostrivane(")));
    // The support library finds it where it looks for reports.
    EXPECT_TRUE(WendleLib::shared().appCrashLogFilenames().contains(report.fileName()));

    // The next start offers the report once, as a problem report.
    {
        ChildApp child(QStringLiteral(OSTRIVANE_GUI_PATH));
        child.start();
        EXPECT_TRUE(child.waitForError(
            QStringLiteral("dialog: Error | Ostrivane quit unexpectedly the last time it ran (%1).")
                .arg(reports[0])))
            << child.errors().toStdString();
    }
    {
        ChildApp child(QStringLiteral(OSTRIVANE_GUI_PATH));
        child.start();
        // Up and checking, with no offer this time.
        EXPECT_FALSE(child.waitForError(QStringLiteral("quit unexpectedly"), 4000));
    }
}

TEST(RealCrash, ADamagedModuleGivesTheMessageAndStatusOne) {
    QTemporaryDir root;
    const QString built =
        QFileInfo(QStringLiteral(OSTRIVANE_GUI_PATH)).absolutePath() + QStringLiteral("/..");
    for (const QString& folder : {QStringLiteral("bin"), QStringLiteral("share/ostrivane"),
                                  QStringLiteral("lib/ostrivane")}) {
        QDir().mkpath(root.filePath(folder));
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(OSTRIVANE_GUI_PATH),
                            root.filePath(QStringLiteral("bin/ostrivane"))));
    ASSERT_TRUE(QFile::copy(built + QStringLiteral("/share/ostrivane/Info.json"),
                            root.filePath(QStringLiteral("share/ostrivane/Info.json"))));
    const QStringList modules = StartupChecks::installedModules();
    for (const QString& name : modules) {
        ASSERT_TRUE(QFile::copy(built + QStringLiteral("/lib/ostrivane/") + name,
                                root.filePath(QStringLiteral("lib/ostrivane/") + name)));
    }
    const QString damaged = root.filePath(QStringLiteral("lib/ostrivane/") + modules.last());
    QFile garbage(damaged);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write(QByteArray(4096, '\xa5'));
    garbage.close();

    ChildApp child(root.filePath(QStringLiteral("bin/ostrivane")));
    child.start();
    ASSERT_TRUE(child.finish());
    EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.process().exitCode(), 1);
    const QString errors = child.errors();
    EXPECT_TRUE(errors.contains(QStringLiteral("dialog: Ostrivane | This application is damaged.")))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("package")));
    EXPECT_TRUE(errors.contains(QStringLiteral("Offending Path: ") +
                                QFileInfo(damaged).canonicalFilePath()) ||
                errors.contains(QStringLiteral("Offending Path: ") + damaged))
        << errors.toStdString();
}

#endif

// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_app.h"

#include "foundation/defaults.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

namespace {

// The processes whose program is `executable`.
QList<qint64> processesRunning(const QString& executable) {
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number &&
            QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == executable) {
            found << pid;
        }
    }
    return found;
}

}  // namespace

#ifdef OSTRIVANE_TEST_HOOKS

TEST(RealMove, AMovedInstallationRestartsFromItsNewPlace) {
    for (const char* key : {"WelcomeAssistantFinished", "WelcomeShown"}) {
        setDefaultInt(QString::fromLatin1(key), 1);
    }
    setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    QTemporaryDir place;
    const QString before = place.filePath(QStringLiteral("before"));
    const QString after = place.filePath(QStringLiteral("elsewhere/after"));
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(OSTRIVANE_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(OSTRIVANE_BINARY_DIR),
                   QStringLiteral("--prefix"), before});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

    ChildApp child(before + QStringLiteral("/bin/ostrivane"), 1000);
    child.start();
    // Up once it listens for later launches.
    const QString socket = child.runtimeDir() + QStringLiteral("/ostrivane.socket");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(socket); }, 30000))
        << child.errors().toStdString();
    QThread::msleep(500);
    const qint64 oldPid = child.process().processId();

    QDir().mkpath(place.filePath(QStringLiteral("elsewhere")));
    ASSERT_EQ(QProcess::execute(QStringLiteral("mv"), {before, after}), 0);

    // The latency, then the dialog, the new copy and the old one's end.
    QDeadlineTimer deadline(3000 + 5000);
    ASSERT_TRUE(child.finish(int(deadline.remainingTime()))) << child.errors().toStdString();
    EXPECT_EQ(child.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.process().exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/%1").arg(oldPid)));
    EXPECT_TRUE(child.errors().contains(QStringLiteral(
        "dialog: Ostrivane | Ostrivane has been moved, but applications should never be moved "
        "while they are running. | 1000")))
        << child.errors().toStdString();
    EXPECT_FALSE(child.errors().contains(QStringLiteral("could not restart itself")));

    const QString newProgram = after + QStringLiteral("/bin/ostrivane");
    QList<qint64> started;
    EXPECT_TRUE(waitUntil(
        [&] {
            started = processesRunning(newProgram);
            return !started.isEmpty();
        },
        int(qMax<qint64>(deadline.remainingTime(), 0)) + 100));
    ASSERT_EQ(started.size(), 1);
    // It stays: it did not hand over to the copy that quit.
    QThread::msleep(1500);
    EXPECT_TRUE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(started[0])).symLinkTarget() ==
                newProgram);
    EXPECT_TRUE(waitUntil([&] { return QFileInfo::exists(socket); }, 5000));
    ::kill(pid_t(started[0]), SIGTERM);
    waitUntil([&] { return !QFileInfo::exists(QStringLiteral("/proc/%1/exe").arg(started[0])); },
              5000);
}

#endif

#ifdef OSTRIVANE_TEST_HOOKS

// The volume under the installation mounted elsewhere (mount --move): no
// inotify event, only the mount table changes. Needs root for a private
// mount namespace with a tmpfs of its own; skipped without.
TEST(RealMove, AVolumeMountedElsewhereRestartsFromTheNewMountPoint) {
    if (::geteuid() != 0 ||
        QProcess::execute(QStringLiteral("unshare"),
                          {QStringLiteral("-m"), QStringLiteral("true")}) != 0) {
        GTEST_SKIP() << "needs root and unshare for a private mount namespace";
    }
    for (const char* key : {"WelcomeAssistantFinished", "WelcomeShown"}) {
        setDefaultInt(QString::fromLatin1(key), 1);
    }
    setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    QTemporaryDir place;
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("OSTRIVANE_TEST_DIALOG_ANSWER"), QStringLiteral("1000"));
    environment.insert(QStringLiteral("OSTRIVANE_TEST_ALLOW_ROOT"), QStringLiteral("1"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    QProcess shell;
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("unshare"),
                {QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private"),
                 QStringLiteral("sh"),
                 QStringLiteral(OSTRIVANE_SOURCE_DIR "/tests/gui/volume_move.sh"), place.path(),
                 QStringLiteral(OSTRIVANE_CMAKE_COMMAND), QStringLiteral(OSTRIVANE_BINARY_DIR),
                 QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo")});
    ASSERT_TRUE(shell.waitForFinished(120000));
    const QString told = QString::fromUtf8(shell.readAllStandardOutput());
    QFile errors(place.filePath(QStringLiteral("errors")));
    errors.open(QIODevice::ReadOnly);
    const QString dialogs = QString::fromUtf8(errors.readAll());
    EXPECT_EQ(told.toStdString(), "old gone\nnew running\n")
        << QString::fromUtf8(shell.readAllStandardError()).toStdString();
    EXPECT_TRUE(dialogs.contains(QStringLiteral("Ostrivane has been moved")))
        << dialogs.toStdString();
}

#endif

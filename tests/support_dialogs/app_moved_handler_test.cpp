// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "support/alerts.h"
#include "support/app_moved_handler.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kLatencyMs = 100;

void runEventsFor(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

struct Watch {
    explicit Watch(const QString& root, bool launches = true)
        : handler({alerts,
                   [this, launches](const QString& where) {
                       launched << where;
                       return launches;
                   },
                   [this] { ++quits; }},
                  root, kLatencyMs) {}

    ScriptedRunner runner;
    Alerts alerts{runner, QStringLiteral("Ostrivane"), QStringLiteral("1")};
    QStringList launched;
    int quits = 0;
    DXAppMovedHandler handler;
};

}  // namespace

TEST(AppMovedHandler, OnlyAMoveOfTheRootOrAboveRestartsAndOnlyOnce) {
    QTemporaryDir place;
    const QString root = place.filePath(QStringLiteral("opt/ostrivane"));
    QDir().mkpath(root + QStringLiteral("/bin"));
    Watch watch(root);
    ASSERT_TRUE(watch.handler.startMoveObservation());
    EXPECT_EQ(watch.handler.currentRoot(), root);

    // Inside the installation, nothing moved.
    QFile::rename(root + QStringLiteral("/bin"), root + QStringLiteral("/bin2"));
    QFile(root + QStringLiteral("/new")).open(QIODevice::WriteOnly);
    runEventsFor(3 * kLatencyMs);
    EXPECT_TRUE(watch.runner.panels.isEmpty());

    // A folder above it renamed: the root moved with it.
    ASSERT_TRUE(QDir().rename(place.filePath(QStringLiteral("opt")),
                              place.filePath(QStringLiteral("apps"))));
    const QString moved = place.filePath(QStringLiteral("apps/ostrivane"));
    runEventsFor(kLatencyMs / 2);
    EXPECT_TRUE(watch.launched.isEmpty()) << "before the latency";
    runEventsFor(3 * kLatencyMs);
    EXPECT_EQ(watch.launched, QStringList{moved});
    EXPECT_EQ(watch.quits, 1);
    ASSERT_EQ(watch.runner.panels.size(), 1);
    EXPECT_EQ(watch.runner.panels[0].title, QStringLiteral("Ostrivane"));
    EXPECT_EQ(watch.runner.panels[0].message,
              QStringLiteral("Ostrivane has been moved, but applications should never be moved "
                             "while they are running."));
    EXPECT_EQ(watch.runner.panels[0].buttons, QStringList{QStringLiteral("Restart Ostrivane")});

    // Handled once: a second move while it quits changes nothing.
    ASSERT_TRUE(QDir().rename(moved, place.filePath(QStringLiteral("apps/again"))));
    runEventsFor(3 * kLatencyMs);
    EXPECT_EQ(watch.launched.size(), 1);
    EXPECT_EQ(watch.quits, 1);
}

TEST(AppMovedHandler, AFailedRestartIsToldAndTheProgramQuitsAnyway) {
    QTemporaryDir place;
    const QString root = place.filePath(QStringLiteral("ostrivane"));
    QDir().mkpath(root);
    Watch watch(root, false);
    ASSERT_TRUE(watch.handler.startMoveObservation());
    // Renamed in place counts as a move.
    ASSERT_TRUE(QDir().rename(root, place.filePath(QStringLiteral("renamed"))));
    runEventsFor(4 * kLatencyMs);
    ASSERT_EQ(watch.runner.panels.size(), 2);
    EXPECT_EQ(watch.runner.panels[1].message,
              QStringLiteral("Ostrivane could not restart itself. Please do so yourself."));
    EXPECT_EQ(watch.runner.panels[1].buttons, QStringList{QStringLiteral("Quit")});
    EXPECT_EQ(watch.quits, 1);
    EXPECT_TRUE(loggedText().contains(
        QStringLiteral("Info: move detection triggered, offering to restart app")));

    // A root that cannot be opened cannot be watched.
    Watch missing(place.filePath(QStringLiteral("gone")));
    EXPECT_FALSE(missing.handler.startMoveObservation());
    EXPECT_EQ(missing.handler.currentRoot(), QString());
}

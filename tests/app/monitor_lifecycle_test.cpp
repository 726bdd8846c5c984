// SPDX-License-Identifier: GPL-3.0-or-later
// What a long-running monitor needs beyond one cycle: the deliveries still
// waiting when it stops, and an interval changed while it runs.
#include "app/interval_watch.h"
#include "app_fakes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A stop right after a cycle must not lose that cycle's notifications: their
// uses are counted and the new health is stored, so they would never be told.
TEST(Shutdown, WaitingDeliveriesAreFinishedInOrderExactlyOnce) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    h.settings.setDefaultInt(QStringLiteral("Falling_lastCheckHealth"), 80);
    h.addDrive(0, QStringLiteral("Falling"), 20);
    h.controller->performCheck(nullptr);
    ASSERT_EQ(h.controller->pendingDeliveries(), 2);
    EXPECT_TRUE(deliveries(h.journal).isEmpty());

    // No event loop runs any more: the stopping process delivers them itself.
    h.controller->finishDeliveries();
    EXPECT_EQ(h.controller->pendingDeliveries(), 0);
    const QStringList delivered = deliveries(h.journal);
    ASSERT_EQ(delivered.size(), 2);
    EXPECT_TRUE(delivered[0].contains(QLatin1String("decreased from 80% to 20%")));
    EXPECT_TRUE(delivered[1].contains(QLatin1String("below the set ERROR threshold")));

    // The timers scheduled for them find nothing left to deliver.
    Harness::drain();
    EXPECT_EQ(deliveries(h.journal), delivered);
}

TEST(Shutdown, FinishingHalfWayKeepsTheOrder) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    h.controller->sendNotifications(QStringLiteral("one"));
    h.controller->sendNotifications(QStringLiteral("two"));
    h.controller->sendNotifications(QStringLiteral("three"));
    // The first timer delivers the oldest text; then the rest are finished at once.
    QEventLoop loop;
    run_on_main_after(0.1f, [&] {
        h.controller->finishDeliveries();
        loop.quit();
    });
    loop.exec();
    Harness::drain();
    EXPECT_EQ(deliveries(h.journal),
              (QStringList{QStringLiteral("alert one|OK"), QStringLiteral("alert two|OK"),
                           QStringLiteral("alert three|OK")}));
    EXPECT_EQ(h.journal.with(QStringLiteral("usage 1")).size(), 3);
}

// The settings store's change count and its database file, moved and
// written by the test as other processes would. Without a database file, the
// watch looks every 10 ms.
struct Watched {
    explicit Watched(bool withDatabase = true) {
        harness.addDrive(0, QStringLiteral("Good"), 90);
        harness.controller->checkIntervalChanged(harness.controller.get());
        watch = std::make_unique<IntervalWatch>(
            *harness.controller, harness.settings, harness.journal, [this] { return count; },
            withDatabase ? database() : QString(), std::chrono::milliseconds(10));
        watch->start();
    }
    QString database() const { return folder.filePath(QStringLiteral("settings.db")); }
    // What another process's write does: the count moves, the file is written.
    void touch(const QString& suffix = QString()) {
        if (count) {
            ++*count;
        }
        QFile file(database() + suffix);
        if (file.open(QIODevice::Append)) {
            file.write("x");
        }
    }
    void write(qint64 minutes) {
        harness.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), minutes);
        touch();
    }
    // Lets the watch look a few times.
    static void wait() {
        QEventLoop loop;
        run_on_main_after(0.06f, [&loop] { loop.quit(); });
        loop.exec();
    }
    int checks() const { return int(harness.journal.tooltips.size()); }

    QTemporaryDir folder;
    Harness harness;
    std::optional<quint64> count = 7;
    std::unique_ptr<IntervalWatch> watch;
};

TEST(IntervalWatch, AChangedIntervalReschedulesWithoutACheck) {
    Watched w;
    ASSERT_TRUE(w.watch->watchesFiles());
    ASSERT_EQ(w.checks(), 1);
    const QTimer* first = w.harness.controller->checkTimer();
    ASSERT_EQ(first->interval(), 60 * 60 * 1000);

    // Other settings change (every check writes the drives' health): the timer stays.
    w.touch();
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer(), first);

    w.write(5);
    w.wait();
    ASSERT_NE(w.harness.controller->checkTimer(), nullptr);
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 5 * 60 * 1000);
    EXPECT_TRUE(w.harness.controller->checkTimer()->isActive());
    EXPECT_EQ(w.checks(), 1);
    EXPECT_EQ(w.harness.journal.logs.filter(QStringLiteral("interval")),
              QStringList{QStringLiteral("5 Info: check interval changed to 5 minutes")});

    // An out-of-range value is bounded by the controller, as from the settings window.
    w.write(0);
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 60 * 1000);
    EXPECT_EQ(w.checks(), 1);
}

TEST(IntervalWatch, UncountedChangesNeedARereadThatNeverPostpones) {
    Watched w;
    // A hand edit of the database does not move the count.
    w.harness.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), 15);
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 60 * 60 * 1000);
    w.watch->reread(QStringLiteral("signal 1"));
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 15 * 60 * 1000);
    const QTimer* timer = w.harness.controller->checkTimer();
    // Re-reading an unchanged interval keeps the running timer: repeated
    // re-reads must not push the next check away for ever.
    w.watch->reread(QStringLiteral("signal 1"));
    EXPECT_EQ(w.harness.controller->checkTimer(), timer);
    EXPECT_EQ(w.harness.journal.logs.filter(QStringLiteral("re-read")).size(), 2);
    EXPECT_EQ(w.checks(), 1);
}

TEST(IntervalWatch, AStoreWithoutACountIsReadAtEveryLook) {
    Watched w;
    w.count.reset();
    w.write(3);
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 3 * 60 * 1000);
    EXPECT_EQ(w.checks(), 1);
}

// An idle monitor sleeps: only writes to the database's own files wake the
// watch, which then looks at once.
TEST(IntervalWatch, OnlyTheDatabasesFilesWakeTheWatch) {
    Watched w;
    ASSERT_TRUE(w.watch->watchesFiles());
    w.count.reset();  // every look reads the setting
    w.harness.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), 4);
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 60 * 60 * 1000);
    QFile other(w.folder.filePath(QStringLiteral("ostrivane.log")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("line\n");
    other.close();
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 60 * 60 * 1000);

    // The write-ahead log is the database's, as SQLite writes it.
    w.touch(QStringLiteral("-wal"));
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 4 * 60 * 1000);
}

// Without a database file (a store in memory), it looks every period.
TEST(IntervalWatch, WithoutADatabaseItLooksEveryPeriod) {
    Watched w(false);
    EXPECT_FALSE(w.watch->watchesFiles());
    w.harness.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), 6);
    ++*w.count;
    w.wait();
    EXPECT_EQ(w.harness.controller->checkTimer()->interval(), 6 * 60 * 1000);
    EXPECT_EQ(w.checks(), 1);
}

}  // namespace

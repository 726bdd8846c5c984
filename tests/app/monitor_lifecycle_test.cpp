// SPDX-License-Identifier: GPL-3.0-or-later
// What a long-running monitor needs beyond one cycle: the deliveries still
// waiting when it stops, and an interval changed while it runs.
#include "app/interval_watch.h"
#include "app_fakes.h"

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

// The settings store's change count, moved by the test as other processes would.
struct Watched {
    Watched() {
        harness.addDrive(0, QStringLiteral("Good"), 90);
        harness.controller->checkIntervalChanged(harness.controller.get());
        watch = std::make_unique<IntervalWatch>(
            *harness.controller, harness.settings, harness.journal, [this] { return count; },
            std::chrono::milliseconds(10));
        watch->start();
    }
    void write(qint64 minutes) {
        harness.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), minutes);
        if (count) {
            ++*count;
        }
    }
    // Lets the watch look a few times.
    static void wait() {
        QEventLoop loop;
        run_on_main_after(0.06f, [&loop] { loop.quit(); });
        loop.exec();
    }
    int checks() const { return int(harness.journal.tooltips.size()); }

    Harness harness;
    std::optional<quint64> count = 7;
    std::unique_ptr<IntervalWatch> watch;
};

TEST(IntervalWatch, AChangedIntervalReschedulesWithoutACheck) {
    Watched w;
    ASSERT_EQ(w.checks(), 1);
    const QTimer* first = w.harness.controller->checkTimer();
    ASSERT_EQ(first->interval(), 60 * 60 * 1000);

    // Other settings change (every check writes the drives' health): the timer stays.
    ++*w.count;
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

}  // namespace

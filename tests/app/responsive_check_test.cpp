// SPDX-License-Identifier: GPL-3.0-or-later
// A check whose drive reads take seconds must leave the event loop free (a
// frozen tray menu is a fault), and must end exactly as a check that reads on
// the main thread: same drives, texts, tooltip and notifications.
#include "app/headless_app.h"
#include "app_fakes.h"
#include "ext/scheduling.h"
#include "foundation/defaults.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <mutex>

namespace {

class Lines final : public Logger {
  public:
    void log_message(int, const QString& text) override {
        const std::lock_guard lock(mutex);
        lines.append(text);
    }
    QStringList take() {
        const std::lock_guard lock(mutex);
        return std::exchange(lines, {});
    }
    std::mutex mutex;
    QStringList lines;
};

struct Outcome {
    QStringList drives;
    QStringList status;
    QString tooltip;
    QStringList notifications;
    qint64 longestGapMs = 0;
    qint64 tookMs = 0;
};

// One check on the machine, with a timer every 100 ms noting its longest gap.
Outcome check(const QString& machine, bool offMainThread) {
    Lines log;
    HeadlessApp::Options options;
    options.machine = machine;
    options.reports = false;
    options.workOffMainThread = offMainThread;
    HeadlessApp app(options, log);
    AppDelegate& controller = app.controller();

    Outcome outcome;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(100);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        outcome.longestGapMs = std::max(outcome.longestGapMs, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start();
    int finished = 0;
    QObject::connect(&controller, &AppDelegate::checkFinished, [&finished] { ++finished; });
    controller.performCheck(nullptr);
    if (offMainThread) {
        // Asked for again while the drives are read: the same cycle.
        EXPECT_TRUE(controller.isChecking());
        controller.performCheck(nullptr);
    }
    controller.waitForCheck();
    outcome.tookMs = clock.elapsed();
    // The ticks after the check, for the gap it caused on the main thread.
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    controller.finishDeliveries();
    EXPECT_EQ(finished, 1);

    for (const auto& ssd : controller.ssdArray()) {
        outcome.drives.append(
            QStringLiteral("%1|%2|%3|%4|%5")
                .arg(ssd->name(), ssd->deviceNode(), ssd->status(), ssd->fullAttributeInformation())
                .arg(ssd->healthPercentage()));
    }
    outcome.status = {controller.statusSummaryText(), controller.statusDetailText(),
                      controller.statusIconURL().toString()};
    outcome.tooltip = app.display().menuTooltip;
    for (const QString& line : log.take()) {
        if (line.startsWith(QLatin1String("Notification:")) ||
            line.startsWith(QLatin1String("Alert: Ostrivane"))) {
            outcome.notifications.append(line);
        }
    }
    return outcome;
}

TEST(ResponsiveCheck, SlowDriveReadsLeaveTheEventLoopFreeAndChangeNothing) {
    QTemporaryDir folder;
    const QString machine = folder.filePath(QStringLiteral("demo"));
    ASSERT_EQ(
        QProcess::execute(
            QStringLiteral("cp"),
            {QStringLiteral("-a"),
             QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/../../resources/machines/demo"), machine}),
        0);
    QFile delay(machine + QStringLiteral("/smart/sda/delay_ms"));
    ASSERT_TRUE(delay.open(QIODevice::WriteOnly));
    delay.write("3000\n");
    delay.close();
    // Every drive is below the warning threshold: each one is notified.
    setDefaultInt(QStringLiteral("ThresholdWarning"), 99);
    setDefaultInt(QStringLiteral("NotificationUseAlert"), 1);
    setDefaultInt(QStringLiteral("NotificationTriggerStatus"), 1);
    setDefaultInt(QStringLiteral("NotificationUseAlertType"), 2);
    setDefaultInt(QStringLiteral("NotificationUseEmail"), 0);

    // Reading on the main thread, as a check once did: the loop stands still.
    const Outcome blocking = check(machine, false);
    EXPECT_GE(blocking.longestGapMs, 2900);

    const Outcome responsive = check(machine, true);
    EXPECT_GE(responsive.tookMs, 2900);
    EXPECT_LE(responsive.longestGapMs, 250);
    EXPECT_FALSE(responsive.drives.isEmpty());
    EXPECT_EQ(responsive.drives, blocking.drives);
    EXPECT_EQ(responsive.status, blocking.status);
    EXPECT_EQ(responsive.tooltip, blocking.tooltip);
    EXPECT_FALSE(responsive.notifications.isEmpty());
    EXPECT_EQ(responsive.notifications, blocking.notifications);
}

}  // namespace

namespace {

// A relay that takes its time, noting where and in which order it was asked.
class SlowMail final : public MailSender {
  public:
    explicit SlowMail(Journal& journal) : journal_(journal) {}
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool blocklists,
                        bool testOnly) override {
        QThread::msleep(300);
        offMain = offMain && !is_main_thread();
        // The journal is the main thread's, but that waits for this result
        // before its next delivery: nothing else writes it meanwhile.
        journal_.sendMailWithCGI(body, subject, to, timeout, blocklists, testOnly);
        return body == QLatin1String("two") ? 3 : 0;
    }
    bool offMain = true;

  private:
    Journal& journal_;
};

// The deliveries of three texts, the second one's e-mail failing.
QStringList deliverThree(bool offMainThread, qint64* longestGapMs) {
    Journal mailJournal;
    SlowMail mail(mailJournal);
    Harness h(&mail, offMainThread);
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    h.settings.setDefaultInt(QStringLiteral("NotificationUseEmail"), 1);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(50);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        *longestGapMs = std::max(*longestGapMs, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start();
    for (const char* text : {"one", "two", "three"}) {
        h.controller->sendNotifications(QString::fromLatin1(text));
    }
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    // A process about to stop still gets every result, in order.
    h.controller->finishDeliveries();
    EXPECT_EQ(h.controller->pendingDeliveries(), 0);
    EXPECT_EQ(mail.offMain, offMainThread);
    QStringList order;
    int mails = 0;
    for (const QString& call : h.journal.calls) {
        if (call.startsWith(QLatin1String("alert"))) {
            order.append(call.section(QLatin1Char('|'), 0, 0));
            // Each mail comes right after its text's alert.
            if (!call.startsWith(QLatin1String("alert Unable"))) {
                order.append(mailJournal.calls.value(mails++).section(QLatin1Char('|'), 0, 0));
            }
        }
    }
    return order;
}

TEST(ResponsiveCheck, MailsGoOutOnAWorkerInTheirOrder) {
    qint64 blockingGap = 0;
    qint64 responsiveGap = 0;
    const QStringList blocking = deliverThree(false, &blockingGap);
    const QStringList responsive = deliverThree(true, &responsiveGap);
    EXPECT_EQ(responsive,
              (QStringList{QStringLiteral("alert one"), QStringLiteral("mail one"),
                           QStringLiteral("alert two"), QStringLiteral("mail two"),
                           QStringLiteral("alert Unable to send e-mail about SSD problem "
                                          "notification (error: MailCore Failure)"),
                           QStringLiteral("alert three"), QStringLiteral("mail three")}));
    EXPECT_EQ(responsive, blocking);
    EXPECT_GE(blockingGap, 290);
    EXPECT_LE(responsiveGap, 250);
}

}  // namespace

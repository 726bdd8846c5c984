// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/interval_watch.h"

namespace {

const QString kIntervalKey = QStringLiteral("SSDCheckInterval");

}  // namespace

IntervalWatch::IntervalWatch(AppDelegate& controller, ControllerSettings& settings, Logger& log,
                             ChangeCount changeCount, std::chrono::milliseconds period)
    : controller_(controller),
      settings_(settings),
      log_(log),
      changeCount_(std::move(changeCount)) {
    // A change seen a little late is fine; a coarse timer spares wakeups.
    timer_.setTimerType(Qt::CoarseTimer);
    timer_.setInterval(period);
    connect(&timer_, &QTimer::timeout, this, &IntervalWatch::look);
}

void IntervalWatch::start() {
    lastCount_ = changeCount_();
    interval_ = settings_.defaultInt(kIntervalKey);
    timer_.start();
}

void IntervalWatch::reread(const QString& reason) {
    log_.log_message(5, QStringLiteral("Info: settings re-read (%1)").arg(reason));
    lastCount_ = changeCount_();
    applyInterval();
}

void IntervalWatch::look() {
    const std::optional<quint64> count = changeCount_();
    // Every check writes the drives' last health, so most changes are not
    // the interval's: the setting is compared, not the count alone.
    if (count && count == lastCount_) {
        return;
    }
    lastCount_ = count;
    applyInterval();
}

void IntervalWatch::applyInterval() {
    const qint64 minutes = settings_.defaultInt(kIntervalKey);
    if (minutes == interval_) {
        // Restarting an unchanged timer would postpone the next check, over
        // and over for a caller that re-reads often.
        return;
    }
    interval_ = minutes;
    log_.log_message(5, QStringLiteral("Info: check interval changed to %1 minutes").arg(minutes));
    // This object is not the controller and has no tag: only a reschedule.
    controller_.checkIntervalChanged(this);
}

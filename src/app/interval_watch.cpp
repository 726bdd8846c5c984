// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/interval_watch.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString kIntervalKey = QStringLiteral("SSDCheckInterval");

}  // namespace

IntervalWatch::IntervalWatch(AppDelegate& controller, ControllerSettings& settings, Logger& log,
                             ChangeCount changeCount, QString databasePath,
                             std::chrono::milliseconds period)
    : controller_(controller),
      settings_(settings),
      log_(log),
      changeCount_(std::move(changeCount)),
      databasePath_(std::move(databasePath)) {
    // A change seen a little late is fine; a coarse timer spares wakeups.
    timer_.setTimerType(Qt::CoarseTimer);
    timer_.setInterval(period);
    connect(&timer_, &QTimer::timeout, this, &IntervalWatch::look);
}

IntervalWatch::~IntervalWatch() {
    notifier_.reset();
    if (inotify_ >= 0) {
        ::close(inotify_);
    }
}

void IntervalWatch::start() {
    lastCount_ = changeCount_();
    interval_ = settings_.defaultInt(kIntervalKey);
    if (!watchFolder()) {
        timer_.start();
    }
}

bool IntervalWatch::watchFolder() {
    if (databasePath_.isEmpty()) {
        return false;
    }
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // SQLite writes the database, its journal and its write-ahead log with
    // write(2), and creates and removes the last two: all seen on the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(databasePath_).absolutePath());
    if (inotify_ < 0 ||
        ::inotify_add_watch(inotify_, folder.constData(),
                            IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO | IN_DELETE) < 0) {
        log_.log_message(3, QStringLiteral("Error: cannot watch the settings folder (%1); looking "
                                           "for changed settings every %2 s instead")
                                .arg(QString::fromLocal8Bit(strerror(errno)))
                                .arg(timer_.interval() / 1000.0));
        if (inotify_ >= 0) {
            ::close(inotify_);
            inotify_ = -1;
        }
        return false;
    }
    notifier_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &IntervalWatch::filesChanged);
    return true;
}

void IntervalWatch::filesChanged() {
    const QByteArray database = QFile::encodeName(QFileInfo(databasePath_).fileName());
    bool ours = false;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t size = ::read(inotify_, buffer.data(), buffer.size());
        if (size <= 0) {
            break;
        }
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            const ssize_t next = at + ssize_t(sizeof(inotify_event)) + ssize_t(event->len);
            if (next > size) {
                break;
            }
            // The database's own files ("settings.db", "settings.db-wal", ...),
            // not the other files of the folder. A lost event (queue full)
            // may have been one of them.
            if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                (event->len > 0 && QByteArray(event->name).startsWith(database))) {
                ours = true;
            }
            at = next;
        }
    }
    if (ours) {
        look();
    }
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

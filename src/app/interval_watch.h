// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_delegate.h"
#include "app/check_cycle_services.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// Keeps a running controller's timer on the current "SSDCheckInterval",
// which another process (`defaults write`) may change at any time. It looks
// whenever the settings database's files are written (inotify on their
// folder, so an idle process sleeps), at the store's change count, one
// memory load, and reads the setting only when something was written. A
// changed interval restarts the timer without a check, as a change in the
// settings window does. Without a database file, or when the folder cannot
// be watched, it looks every `period` instead.
class IntervalWatch final : public QObject {
    Q_OBJECT

  public:
    // The store's change count; absent when the store cannot count changes,
    // and the setting is then read at every look.
    using ChangeCount = std::function<std::optional<quint64>()>;

    IntervalWatch(AppDelegate& controller, ControllerSettings& settings, Logger& log,
                  ChangeCount changeCount, QString databasePath,
                  std::chrono::milliseconds period = std::chrono::seconds(2));
    ~IntervalWatch() override;

    // Watches from the interval the controller's timer was made with.
    void start();
    // Reads the interval now, whatever the change count says (for changes
    // the store does not count); logs that it did and why.
    void reread(const QString& reason);

    // True when it waits for writes, false when it looks every period.
    bool watchesFiles() const { return notifier_ != nullptr; }

  private:
    bool watchFolder();
    void filesChanged();
    void look();
    void applyInterval();

    AppDelegate& controller_;
    ControllerSettings& settings_;
    Logger& log_;
    ChangeCount changeCount_;
    QString databasePath_;
    int inotify_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_;
    std::optional<quint64> lastCount_;
    qint64 interval_ = 0;
};

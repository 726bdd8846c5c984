// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

// Whether a panel can show tray items: a StatusNotifierWatcher owns its name
// on the session bus. Qt decides once per process whether a tray exists, so
// a tray icon is only worth creating while this says yes.
class TrayWatcher final : public QObject {
    Q_OBJECT

  public:
    explicit TrayWatcher(const QDBusConnection& bus, QObject* parent = nullptr);
    // The session bus, or none when there is no session bus at all.
    static TrayWatcher* forSessionBus(QObject* parent);

    bool available() const { return available_; }

    static const QString kWatcherService;

  Q_SIGNALS:
    // Also when the watcher came back after a panel restart.
    void availabilityChanged(bool available);

  private:
    void setAvailable(bool available);

    QDBusServiceWatcher watcher_;
    bool available_ = false;
};

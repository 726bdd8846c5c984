// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tray_watcher.h"

#include <QDBusConnectionInterface>

const QString TrayWatcher::kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

TrayWatcher::TrayWatcher(const QDBusConnection& bus, QObject* parent)
    : QObject(parent),
      watcher_(
          kWatcherService, bus,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration) {
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
            [this] { setAvailable(true); });
    connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { setAvailable(false); });
    if (bus.isConnected() && bus.interface() != nullptr) {
        available_ = bus.interface()->isServiceRegistered(kWatcherService).value();
    }
}

TrayWatcher* TrayWatcher::forSessionBus(QObject* parent) {
    return new TrayWatcher(QDBusConnection::sessionBus(), parent);
}

void TrayWatcher::setAvailable(bool available) {
    // A restarted panel unregisters and registers again: both are passed on,
    // so the tray icon is made anew for the new watcher.
    available_ = available;
    Q_EMIT availabilityChanged(available);
}

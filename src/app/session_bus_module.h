// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The session-bus module (libostrivane-session-bus.so, built from
// src/session_bus): desktop notifications over D-Bus with Qt D-Bus, loaded
// the first time a notification is shown (see ext/modules.h), so a monitor
// without a desktop never maps libdbus and its libraries.

#include <QString>

#include <functional>

class SessionBusModule {
  public:
    enum class Delivery {
        NoService,  // no session bus, or no notification service on it
        Delivered,
        Failed,  // the service answered with an error
    };

    struct Notification {
        QString appName;
        QString title;
        // Plain text: escaped here when the service reads markup.
        QString text;
        // A PNG file shown with the notification; empty: none.
        QString imagePath;
        // Called on the main thread when the user clicks the notification;
        // empty: the notification offers no action.
        std::function<void()> clicked;
        // A second action offered beside the click ("remind me only when it
        // changes"); empty label: none.
        QString actionLabel;
        std::function<void()> action;
    };

    virtual ~SessionBusModule() = default;
    // Calls Notify of org.freedesktop.Notifications. `error` receives the
    // service's message when it failed.
    virtual Delivery notify(const Notification& notification, QString& error) = 0;
};

inline constexpr char kSessionBusModuleName[] = "ostrivane-session-bus";
inline constexpr char kSessionBusModuleEntry[] = "ostrivane_session_bus_module";

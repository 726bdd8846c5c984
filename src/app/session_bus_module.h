#pragma once

// The session-bus module (libostrivane-session-bus.so, built from
// src/session_bus): desktop notifications over D-Bus with Qt D-Bus, loaded
// the first time a notification is shown (see ext/modules.h), so a monitor
// without a desktop never maps libdbus and its libraries.

#include <QString>

class SessionBusModule {
  public:
    enum class Delivery {
        NoService,  // no session bus, or no notification service on it
        Delivered,
        Failed,  // the service answered with an error
    };

    virtual ~SessionBusModule() = default;
    // Calls Notify of org.freedesktop.Notifications; an empty `imagePath`
    // shows none. `error` receives the service's message when it failed.
    virtual Delivery notify(const QString& appName, const QString& title, const QString& text,
                            const QString& imagePath, QString& error) = 0;
};

inline constexpr char kSessionBusModuleName[] = "ostrivane-session-bus";
inline constexpr char kSessionBusModuleEntry[] = "ostrivane_session_bus_module";

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The network module (libostrivane-network.so, built from src/network): the
// HTTP transfers of url.h and host-name lookups, on Qt Network, loaded when
// the process first needs the network.

#include "ext/url.h"

#include <QByteArray>
#include <QString>

#include <optional>

class NetworkModule {
  public:
    struct Reply {
        std::optional<QByteArray> body;  // absent on any failure, as for download()
        QString problem;                 // why, when the body is absent
        int status = 0;                  // the HTTP status; 0 without an HTTP answer
    };

    virtual ~NetworkModule() = default;
    // Sends the request and waits for the whole reply in an event loop of the
    // calling thread, which must not be the main thread. Leaves deletions
    // posted to that thread's event loop.
    virtual Reply fetch(const HttpRequest& request) = 0;
    // Whether the system's resolver finds an address for the host (blocking).
    virtual bool resolves(const QString& host) = 0;
};

// The module's one exported function returns its instance, which lives as
// long as the process.
inline constexpr char kNetworkModuleName[] = "ostrivane-network";
inline constexpr char kNetworkModuleEntry[] = "ostrivane_network_module";

// The loaded module; null (logged) when it cannot be loaded.
NetworkModule* networkModule();

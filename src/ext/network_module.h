// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The network module (libostrivane-network.so, built from src/network): the
// HTTP transfers of url.h and host-name lookups, on Qt Network, and e-mail to
// the administrator's own server, on libcurl, loaded when the process first
// needs the network.

#include "ext/url.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One message to the administrator's own mail server.
struct SmtpRequest {
    // "smtps://host[:port]" speaks TLS from the start; "smtp://host[:port]"
    // must upgrade with STARTTLS. The certificate is always verified.
    QString url;
    QString user;      // empty: no authentication
    QString password;  // never logged
    QString caFile;    // extra trusted certificates in PEM; empty: the system's
    QString from;
    QStringList recipients;
    QByteArray message;  // the whole message, headers and body, lines ending in CRLF
    int timeoutSeconds = 60;
};

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
    // Sends the message over SMTP; empty on success, otherwise why not (the
    // server's last answer when there is one). Blocking, from any thread.
    virtual QString sendMail(const SmtpRequest& request) = 0;
};

// The module's one exported function returns its instance, which lives as
// long as the process.
inline constexpr char kNetworkModuleName[] = "ostrivane-network";
inline constexpr char kNetworkModuleEntry[] = "ostrivane_network_module";

// The loaded module; null (logged) when it cannot be loaded.
NetworkModule* networkModule();

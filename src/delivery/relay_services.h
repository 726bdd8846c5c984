// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// What the e-mail sender needs from the outside world, as interfaces so the
// delivery rules can be tested without a network.

// Host-name resolution: whether the name resolves to at least one address.
class NameResolver {
  public:
    virtual ~NameResolver() = default;
    virtual bool resolves(const QString& host) = 0;
};

struct RelayReply {
    // The request returned a response and data and reported no error.
    bool completed = false;
    int status = 0;
    QByteArray body;
};

class RelayTransport {
  public:
    virtual ~RelayTransport() = default;
    // The body at the address, synchronously; absent on any failure.
    virtual std::optional<QByteArray> download(const QUrl& url) = 0;
    // A synchronous form post with a time-out in seconds.
    virtual RelayReply postForm(const QUrl& url, const QByteArray& form, double timeoutSeconds) = 0;
};

// Where the relay is; an empty host means delivery is not configured.
struct RelayConfig {
    QString relayHost;
    QUrl blocklistURL;
    QString deliveryTestRecipient;
    qint32 buildNumber = 0;
};

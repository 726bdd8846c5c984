// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "delivery/relay_services.h"

// The system's resolver (getaddrinfo through Qt, in the network module), blocking.
class SystemNameResolver final : public NameResolver {
  public:
    bool resolves(const QString& host) override;
};

// HTTPS to the relay through Qt Network, certificates always verified.
class NetworkRelayTransport final : public RelayTransport {
  public:
    std::optional<QByteArray> download(const QUrl& url) override;
    RelayReply postForm(const QUrl& url, const QByteArray& form, double timeoutSeconds) override;
};

// The relay host, blocklist address and delivery-test recipient from the
// installation's information file, and the build number.
RelayConfig relayConfigFromInstallation();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "delivery/relay_services.h"

#include <QString>

#include <optional>

// Delivers e-mail by posting it to the maker's mail relay, one request per
// recipient, and answers with one result code.
class DXEmailSender {
  public:
    enum Result {
        Success = 0,
        ScriptingBridgeFailure = 1,  // reserved
        CGIFailure = 2,
        MailCoreFailure = 3,  // reserved
        NoValidRecipient = 4,
        NoValidSender = 5,  // reserved
        BlockedAddress = 6,
        BlockedHost = 7,
        UnreachableHost = 8,
    };

    DXEmailSender(RelayConfig config, RelayTransport& transport, NameResolver& resolver)
        : config_(std::move(config)), transport_(transport), resolver_(resolver) {}

    // `to` holds addresses separated by line feeds. Blocks for the blocklist
    // download, the name look-ups and each relay request.
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool checkBlocklists,
                        bool testOnly);

    // The process's sender: the relay named by the installation's information
    // file, the system resolver, HTTPS through the network.
    static DXEmailSender& shared();

    // "Success" ... "Unreachable host"; "Unknown result N" outside 0..8.
    static QString resultName(int code);

    // The longest body sent; longer ones are cut.
    static constexpr qsizetype kMaxBodyLength = 1000000;

  private:
    bool domainReachable(const QString& host);
    bool deliver(const QString& recipient, const QString& body, const QString& subject,
                 float timeout);

    RelayConfig config_;
    RelayTransport& transport_;
    NameResolver& resolver_;
};

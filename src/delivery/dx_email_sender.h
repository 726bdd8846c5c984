// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "delivery/relay_services.h"

#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// The administrator's own way of sending mail, chosen instead of the relay.
class OwnMailDelivery {
  public:
    virtual ~OwnMailDelivery() = default;
    // Whether mail goes this way now rather than to the relay.
    virtual bool chosen() = 0;
    // Empty on success, otherwise the reason; blocking.
    virtual QString deliver(const QStringList& recipients, const QString& subject,
                            const QString& body, int timeoutSeconds) = 0;
};

// Delivers e-mail by posting it to the maker's mail relay, one request per
// recipient, and answers with one result code.
class DXEmailSender {
  public:
    enum Result {
        Success = 0,
        ScriptingBridgeFailure = 1,  // reserved
        CGIFailure = 2,
        MailCoreFailure = 3,  // the own transport (SMTP, sendmail, a program) failed
        NoValidRecipient = 4,
        NoValidSender = 5,  // reserved
        BlockedAddress = 6,
        BlockedHost = 7,
        UnreachableHost = 8,
    };

    DXEmailSender(RelayConfig config, RelayTransport& transport, NameResolver& resolver,
                  OwnMailDelivery* ownMail = nullptr)
        : config_(std::move(config)), transport_(transport), resolver_(resolver), own_(ownMail) {}

    // `to` holds addresses separated by line feeds. Blocks for the blocklist
    // download, the name look-ups and each relay request. When the own
    // delivery is chosen, the valid addresses go to it in one message, without
    // the relay's blocklists and look-ups: Success or MailCoreFailure.
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool checkBlocklists,
                        bool testOnly);

    // The process's sender: the relay named by the installation's information
    // file, the system resolver, HTTPS through the network; or the transport
    // the settings choose (NotificationEmailTransport).
    static DXEmailSender& shared();

    // "Success" ... "Unreachable host"; "Unknown result N" outside 0..8.
    static QString resultName(int code);

    // The test e-mail: its subject stays the same in every language, so it can
    // be found and filtered; the body is looked up in the user's language.
    static constexpr char kTestSubject[] = "Ostrivane Email Test";
    static constexpr char kTestBody[] = QT_TRANSLATE_NOOP(
        "Localizable", "If you read this delivering to your address worked fine.");

    // The longest body sent; longer ones are cut.
    static constexpr qsizetype kMaxBodyLength = 1000000;

    // Why the last send of this sender failed, for the user; empty after a success.
    QString lastProblem() const;

  private:
    bool domainReachable(const QString& host);
    bool deliver(const QString& recipient, const QString& body, const QString& subject,
                 float timeout);

    RelayConfig config_;
    RelayTransport& transport_;
    NameResolver& resolver_;
    OwnMailDelivery* own_;
    mutable std::mutex problemMutex_;
    QString lastProblem_;

    void setProblem(const QString& problem);
};

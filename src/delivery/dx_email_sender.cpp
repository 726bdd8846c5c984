// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/dx_email_sender.h"

#include "delivery/network_relay.h"
#include "delivery/own_mail.h"
#include "ext/text.h"
#include "ext/url.h"
#include "foundation/logging.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace {

QString withoutFormSeparators(QString text) {
    text.remove(QLatin1Char('&'));
    text.remove(QLatin1Char(';'));
    return text;
}

// The transport the settings choose, read at each send so a changed setting
// applies to the next mail.
class SettingsOwnMail final : public OwnMailDelivery {
  public:
    bool chosen() override { return !ownMailSettingsFromDefaults().usesRelay(); }
    QString deliver(const QStringList& recipients, const QString& subject, const QString& body,
                    int timeoutSeconds) override {
        return sendOwnMail(ownMailSettingsFromDefaults(), recipients, subject, body,
                           timeoutSeconds);
    }
};

}  // namespace

DXEmailSender& DXEmailSender::shared() {
    static SystemNameResolver resolver;
    static NetworkRelayTransport transport;
    static SettingsOwnMail ownMail;
    static DXEmailSender sender(relayConfigFromInstallation(), transport, resolver, &ownMail);
    return sender;
}

QString DXEmailSender::lastProblem() const {
    const std::lock_guard lock(problemMutex_);
    return lastProblem_;
}

void DXEmailSender::setProblem(const QString& problem) {
    const std::lock_guard lock(problemMutex_);
    lastProblem_ = problem;
}

QString DXEmailSender::resultName(int code) {
    static const std::array<const char*, 9> kNames = {
        "Success",
        "Scripting Bridge Failure",
        "CGI Failure",
        "MailCore Failure",
        "No Valid Recipient",
        "No Valid Sender",
        "Blocked e-mail address",
        "Blocked e-mail host",
        "Unreachable host",
    };
    if (code < 0 || code >= int(kNames.size())) {
        return QStringLiteral("Unknown result %1").arg(code);
    }
    return QString::fromLatin1(kNames[std::size_t(code)]);
}

int DXEmailSender::sendMailWithCGI(const QString& body, const QString& subject,
                                   const std::optional<QString>& to, float timeout,
                                   bool checkBlocklists, bool testOnly) {
    setProblem({});
    if (own_ != nullptr && own_->chosen()) {
        QStringList recipients;
        for (const QString& address : to.value_or(QString()).split(QLatin1Char('\n'))) {
            if (isValidEmail(address.trimmed())) {
                recipients.append(address.trimmed());
            }
        }
        if (recipients.isEmpty()) {
            return NoValidRecipient;
        }
        const QString problem =
            own_->deliver(recipients, subject, body.left(kMaxBodyLength), int(std::ceil(timeout)));
        if (problem.isEmpty()) {
            return Success;
        }
        setProblem(problem);
        log_message(3, QStringLiteral("Error:    can not send e-mail: %1").arg(problem));
        return MailCoreFailure;
    }
    const QString mailBody = withoutFormSeparators(body.left(kMaxBodyLength));
    const QString mailSubject = withoutFormSeparators(subject);

    QStringList blockedAddresses;
    QStringList blockedHosts;
    if (checkBlocklists) {
        const QString list =
            QString::fromUtf8(transport_.download(config_.blocklistURL).value_or(QByteArray()));
        for (const QString& line : lines(list)) {
            (line.contains(QLatin1Char('@')) ? blockedAddresses : blockedHosts)
                .append(line.toLower());
        }
    }

    if (!to) {
        return NoValidRecipient;
    }
    int result = CGIFailure;
    bool sent = false;
    for (const QString& address : to->split(QLatin1Char('\n'))) {
        if (!isValidEmail(address)) {
            continue;
        }
        const QString host = address.section(QLatin1Char('@'), 1);
        if (blockedAddresses.contains(address.toLower())) {
            return BlockedAddress;
        }
        // The list is lower-cased; the domain is compared as written.
        if (blockedHosts.contains(host)) {
            return BlockedHost;
        }
        if (config_.relayHost.isEmpty()) {
            // Looking the domain up would only end in "Unreachable host".
            setProblem(QStringLiteral("no relay configured"));
            log_message(
                3, QStringLiteral("Error:    can not send e-mail, no mail relay is configured"));
            return CGIFailure;
        }
        if (!domainReachable(host)) {
            return UnreachableHost;
        }
        QString recipient = testOnly ? config_.deliveryTestRecipient : address;
        recipient.replace(QLatin1Char('+'), QLatin1Char('<'));
        recipient.replace(QLatin1Char('&'), QLatin1Char('>'));
        result = deliver(recipient, mailBody, mailSubject, timeout) ? Success : CGIFailure;
        sent = true;
    }
    return sent ? result : NoValidRecipient;
}

bool DXEmailSender::domainReachable(const QString& host) {
    static const std::array<QLatin1StringView, 3> kPrefixes = {
        QLatin1StringView("www."), QLatin1StringView("mail."), QLatin1StringView("smtp.")};
    if (resolver_.resolves(host)) {
        return true;
    }
    const auto anyPrefixResolves = [this](const QString& domain) {
        for (QLatin1StringView prefix : kPrefixes) {
            if (resolver_.resolves(prefix + domain)) {
                return true;
            }
        }
        return false;
    };
    if (anyPrefixResolves(host)) {
        return true;
    }
    // A sub-domain without mail servers of its own: try its parent once.
    if (host.count(QLatin1Char('.')) >= 2) {
        return anyPrefixResolves(host.section(QLatin1Char('.'), 1));
    }
    return false;
}

bool DXEmailSender::deliver(const QString& recipient, const QString& body, const QString& subject,
                            float timeout) {
    if (config_.relayHost.isEmpty()) {
        log_message(3,
                    QStringLiteral("Error:    can not send e-mail, no mail relay is configured"));
        return false;
    }
    // The relay reads the fields unencoded; the form separators were removed
    // from body and subject, and a valid address holds none but "&", which
    // the relay expects as ">".
    const QString form = QStringLiteral("d=%1&b=%2&s=%3&i=%4")
                             .arg(recipient, body, subject, QString::number(config_.buildNumber));
    // The host may carry a port ("relay.example:8443").
    const std::optional<QUrl> url =
        httpsURL(config_.relayHost, QStringLiteral("/cgi-bin/email_notification/email_sender.cgi"));
    if (!url) {
        log_message(
            3, QStringLiteral("Error:    can not send e-mail, the mail relay host '%1' is invalid")
                   .arg(config_.relayHost));
        return false;
    }
    const RelayReply reply = transport_.postForm(*url, form.toUtf8(), double(timeout));
    return reply.completed && reply.status == 200 &&
           QString::fromUtf8(reply.body).contains(QLatin1String("SUCC"));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/dx_email_sender.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QUrlQuery>

namespace {

// Names that resolve; every look-up is recorded in order.
class TableResolver final : public NameResolver {
  public:
    explicit TableResolver(QSet<QString> known) : known_(std::move(known)) {}
    bool resolves(const QString& host) override {
        asked.append(host);
        return known_.contains(host);
    }
    QStringList asked;

  private:
    QSet<QString> known_;
};

// Records every request and answers from a queue of replies.
class ScriptedTransport final : public RelayTransport {
  public:
    std::optional<QByteArray> download(const QUrl& url) override {
        downloads.append(url);
        return blocklist;
    }
    RelayReply postForm(const QUrl& url, const QByteArray& form, double timeout) override {
        urls.append(url);
        forms.append(form);
        timeouts.append(timeout);
        return replies.isEmpty() ? RelayReply{true, 200, "SUCC"} : replies.takeFirst();
    }
    std::optional<QByteArray> blocklist;
    QList<RelayReply> replies;
    QList<QUrl> downloads;
    QList<QUrl> urls;
    QList<QByteArray> forms;
    QList<double> timeouts;
};

RelayConfig config() {
    return {QStringLiteral("relay.example.test"),
            QUrl(QStringLiteral("https://relay.example.test/x/mailblocklist.txt")),
            QStringLiteral("tester@relay.example.test"), 10203};
}

struct Harness {
    explicit Harness(QSet<QString> known = {QStringLiteral("example.com"),
                                            QStringLiteral("example.org")})
        : resolver(std::move(known)), sender(config(), transport, resolver) {}
    int send(const std::optional<QString>& to, const QString& body = QStringLiteral("body"),
             bool blocklists = false, bool testOnly = false) {
        return sender.sendMailWithCGI(body, QStringLiteral("Subject"), to, 10, blocklists,
                                      testOnly);
    }
    ScriptedTransport transport;
    TableResolver resolver;
    DXEmailSender sender;
};

}  // namespace

TEST(EmailSender, OneRequestPerRecipientAndTheLastOutcomeCounts) {
    Harness h;
    h.transport.replies = {{true, 200, "OK SUCC"}, {true, 500, "SUCC"}};
    EXPECT_EQ(h.send(QStringLiteral("a@example.com\nb@example.org")), DXEmailSender::CGIFailure);
    ASSERT_EQ(h.transport.forms.size(), 2);
    EXPECT_EQ(
        h.transport.urls.first().toString(),
        QStringLiteral("https://relay.example.test/cgi-bin/email_notification/email_sender.cgi"));
    EXPECT_EQ(h.transport.timeouts.first(), 10.0);
    EXPECT_TRUE(h.transport.downloads.isEmpty());

    h.transport.replies = {{true, 500, ""}, {true, 200, "SUCC"}};
    EXPECT_EQ(h.send(QStringLiteral("a@example.com\nb@example.org")), DXEmailSender::Success);
}

TEST(EmailSender, FailedRepliesGiveCgiFailure) {
    for (const RelayReply& reply :
         {RelayReply{true, 200, "OK"}, RelayReply{true, 500, "SUCC"},
          RelayReply{true, 200, QByteArray("\xff\xfe\x00S", 4)}, RelayReply{false, 200, "SUCC"}}) {
        Harness h;
        h.transport.replies = {reply};
        EXPECT_EQ(h.send(QStringLiteral("a@example.com")), DXEmailSender::CGIFailure);
    }
}

TEST(EmailSender, NoValidRecipientSendsNothing) {
    for (const std::optional<QString>& to :
         {std::optional<QString>(), std::optional(QString()),
          std::optional(QStringLiteral("no-at-sign")),
          std::optional(QStringLiteral("a@b@example.com\n@example.com\n a@example.com")),
          std::optional(QStringLiteral("a@example.com\r")),
          std::optional(QStringLiteral("x@nodot"))}) {
        Harness h;
        EXPECT_EQ(h.send(to), DXEmailSender::NoValidRecipient);
        EXPECT_TRUE(h.transport.forms.isEmpty());
        EXPECT_TRUE(h.resolver.asked.isEmpty());
    }
}

TEST(EmailSender, FormFieldsInOrderWithoutSeparators) {
    Harness h;
    h.sender.sendMailWithCGI(QStringLiteral("a&b;c"), QStringLiteral("S&u;b"),
                             QStringLiteral("x+y&z@example.com"), 10, false, false);
    ASSERT_EQ(h.transport.forms.size(), 1);
    EXPECT_EQ(h.transport.forms.first(), QByteArray("d=x<y>z@example.com&b=abc&s=Sub&i=10203"));

    // Test mode sends to the relay operator's address instead.
    h.send(QStringLiteral("someone@example.com"), QStringLiteral("t"), false, true);
    EXPECT_TRUE(h.transport.forms.last().startsWith("d=tester@relay.example.test&b=t&"));

    // A huge body is cut to its first million characters.
    h.send(QStringLiteral("someone@example.com"), QString(2000000, QLatin1Char('x')));
    EXPECT_EQ(h.transport.forms.last().size(),
              qsizetype(std::strlen("d=someone@example.com&b=&s=Subject&i=10203")) +
                  DXEmailSender::kMaxBodyLength);
}

TEST(EmailSender, NameResolutionWalk) {
    {
        Harness h({QStringLiteral("mail.only-mail.com")});
        EXPECT_EQ(h.send(QStringLiteral("a@only-mail.com")), DXEmailSender::Success);
        EXPECT_EQ(h.resolver.asked,
                  QStringList({QStringLiteral("only-mail.com"), QStringLiteral("www.only-mail.com"),
                               QStringLiteral("mail.only-mail.com")}));
    }
    {
        Harness h{QSet<QString>()};
        EXPECT_EQ(h.send(QStringLiteral("a@dept.corp.com\nb@example.com")),
                  DXEmailSender::UnreachableHost);
        EXPECT_EQ(h.resolver.asked,
                  QStringList({QStringLiteral("dept.corp.com"), QStringLiteral("www.dept.corp.com"),
                               QStringLiteral("mail.dept.corp.com"),
                               QStringLiteral("smtp.dept.corp.com"), QStringLiteral("www.corp.com"),
                               QStringLiteral("mail.corp.com"), QStringLiteral("smtp.corp.com")}));
        EXPECT_TRUE(h.transport.forms.isEmpty());
    }
    {
        Harness h{QSet<QString>()};
        EXPECT_EQ(h.send(QStringLiteral("a@corp.com")), DXEmailSender::UnreachableHost);
        EXPECT_EQ(h.resolver.asked.size(), 4);
    }
}

TEST(EmailSender, BlocklistCaseRules) {
    Harness h({QStringLiteral("example.com"), QStringLiteral("Example.com")});
    h.transport.blocklist = QByteArray("SPAM@EXAMPLE.COM\r\nBAD.EXAMPLE.COM\nexample.com\n");
    EXPECT_EQ(h.send(QStringLiteral("spam@example.com"), QStringLiteral("b"), true),
              DXEmailSender::BlockedAddress);
    EXPECT_EQ(h.transport.downloads.size(), 1);
    // A host line blocks only a domain written in lower case.
    EXPECT_EQ(h.send(QStringLiteral("ok@example.com"), QStringLiteral("b"), true),
              DXEmailSender::BlockedHost);
    EXPECT_EQ(h.send(QStringLiteral("ok@Example.com"), QStringLiteral("b"), true),
              DXEmailSender::Success);
    // An earlier recipient already sent does not stop a later block.
    h.transport.blocklist = QByteArray("late@example.org");
    EXPECT_EQ(h.send(QStringLiteral("ok@Example.com\nlate@example.org"), QStringLiteral("b"), true),
              DXEmailSender::BlockedAddress);
    // A failed download is an empty list.
    h.transport.blocklist.reset();
    EXPECT_EQ(h.send(QStringLiteral("ok@example.com"), QStringLiteral("b"), true),
              DXEmailSender::Success);

    // A 10 MB blocklist is read, not choked on.
    QByteArray big;
    while (big.size() < 10 * 1024 * 1024) {
        big += "user" + QByteArray::number(big.size()) + "@blocked.example\n";
    }
    h.transport.blocklist = big;
    EXPECT_EQ(h.send(QStringLiteral("ok@example.com"), QStringLiteral("b"), true),
              DXEmailSender::Success);
}

TEST(EmailSender, UnconfiguredRelayIsACgiFailure) {
    ScriptedTransport transport;
    TableResolver resolver({QStringLiteral("example.com")});
    RelayConfig none = config();
    none.relayHost.clear();
    DXEmailSender sender(none, transport, resolver);
    EXPECT_EQ(sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"),
                                     QStringLiteral("a@example.com"), 10, false, false),
              DXEmailSender::CGIFailure);
    EXPECT_TRUE(transport.forms.isEmpty());
}

// The relay host is read by the same rule as the report host: host[:port] and nothing more.
TEST(EmailSender, RelayHostIsAHostAndAnOptionalPort) {
    const auto postedTo = [](const QString& relayHost) {
        ScriptedTransport transport;
        TableResolver resolver({QStringLiteral("example.com")});
        RelayConfig relay = config();
        relay.relayHost = relayHost;
        DXEmailSender sender(relay, transport, resolver);
        const int result =
            sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"),
                                   QStringLiteral("a@example.com"), 10, false, false);
        return transport.urls.isEmpty() ? QString::number(result)
                                        : QString::fromUtf8(transport.urls.first().toEncoded());
    };
    EXPECT_EQ(postedTo(QStringLiteral("relay.example.test:8443")),
              QStringLiteral("https://relay.example.test:8443/cgi-bin/email_notification/"
                             "email_sender.cgi"));
    EXPECT_EQ(postedTo(QStringLiteral("[::1]:8443")),
              QStringLiteral("https://[::1]:8443/cgi-bin/email_notification/email_sender.cgi"));
    // A path, query or user part would send the mail somewhere else on the server.
    for (const QString& bad :
         {QStringLiteral("relay.example.test/other?x="), QStringLiteral("relay.example.test#x"),
          QStringLiteral("me@relay.example.test"), QStringLiteral("relay.example.test:0"),
          QStringLiteral("relay.example.test:")}) {
        EXPECT_EQ(postedTo(bad), QString::number(DXEmailSender::CGIFailure)) << bad.toStdString();
    }
}

TEST(EmailSender, ResultNames) {
    EXPECT_EQ(DXEmailSender::resultName(0), QStringLiteral("Success"));
    EXPECT_EQ(DXEmailSender::resultName(2), QStringLiteral("CGI Failure"));
    EXPECT_EQ(DXEmailSender::resultName(8), QStringLiteral("Unreachable host"));
    EXPECT_EQ(DXEmailSender::resultName(9), QStringLiteral("Unknown result 9"));
    EXPECT_EQ(DXEmailSender::resultName(-1), QStringLiteral("Unknown result -1"));
}

namespace {

// Records what the administrator's transport is given; fails when told to.
class RecordingOwnMail final : public OwnMailDelivery {
  public:
    bool chosen() override { return isChosen; }
    QString deliver(const QStringList& to, const QString& subject, const QString& body,
                    int timeoutSeconds) override {
        recipients.append(to);
        subjects.append(subject);
        bodies.append(body);
        timeouts.append(timeoutSeconds);
        return problem;
    }
    bool isChosen = true;
    QString problem;
    QList<QStringList> recipients;
    QStringList subjects;
    QStringList bodies;
    QList<int> timeouts;
};

}  // namespace

TEST(EmailSender, OwnTransportGetsOneMessageWithoutTheRelaysRules) {
    ScriptedTransport transport;
    TableResolver resolver({});
    RecordingOwnMail own;
    DXEmailSender sender(config(), transport, resolver, &own);
    // Unresolvable domains, blocklists and the relay's form separators are
    // the relay's business, not the administrator's server's.
    transport.blocklist = QByteArray("a@example.com\n");
    EXPECT_EQ(sender.sendMailWithCGI(QStringLiteral("A & B; 100%"), QStringLiteral("S&S"),
                                     QStringLiteral("a@example.com\nnot valid\n b@example.org "),
                                     9.5f, true, false),
              DXEmailSender::Success);
    ASSERT_EQ(own.recipients.size(), 1);
    EXPECT_EQ(own.recipients.first(),
              (QStringList{QStringLiteral("a@example.com"), QStringLiteral("b@example.org")}));
    EXPECT_EQ(own.bodies.first(), QStringLiteral("A & B; 100%"));
    EXPECT_EQ(own.subjects.first(), QStringLiteral("S&S"));
    EXPECT_EQ(own.timeouts.first(), 10);
    EXPECT_TRUE(transport.forms.isEmpty());
    EXPECT_TRUE(transport.downloads.isEmpty());
    EXPECT_TRUE(resolver.asked.isEmpty());
    EXPECT_TRUE(sender.lastProblem().isEmpty());

    own.problem = QStringLiteral("535 5.7.8 Authentication credentials invalid");
    EXPECT_EQ(sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"),
                                     QStringLiteral("a@example.com"), 10, false, false),
              DXEmailSender::MailCoreFailure);
    EXPECT_EQ(sender.lastProblem(), own.problem);

    // Nothing valid to send to is still that, and nothing is sent.
    for (const std::optional<QString>& to : {std::optional<QString>(), std::optional(QString()),
                                             std::optional(QStringLiteral("nobody"))}) {
        EXPECT_EQ(
            sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"), to, 10, false, false),
            DXEmailSender::NoValidRecipient);
    }
    EXPECT_EQ(own.recipients.size(), 2);

    // Not chosen: the relay as before.
    own.isChosen = false;
    EXPECT_EQ(sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"),
                                     QStringLiteral("x@example.com"), 10, false, false),
              DXEmailSender::UnreachableHost);
    EXPECT_EQ(own.recipients.size(), 2);
}

TEST(EmailSender, UnconfiguredRelayIsNotAnUnreachableHost) {
    ScriptedTransport transport;
    TableResolver resolver({});
    RelayConfig none = config();
    none.relayHost.clear();
    DXEmailSender sender(none, transport, resolver);
    EXPECT_EQ(sender.sendMailWithCGI(QStringLiteral("b"), QStringLiteral("s"),
                                     QStringLiteral("a@nowhere.invalid"), 10, false, false),
              DXEmailSender::CGIFailure);
    EXPECT_EQ(sender.lastProblem(), QStringLiteral("no relay configured"));
    EXPECT_TRUE(resolver.asked.isEmpty());
}

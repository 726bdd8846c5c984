// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/dx_email_sender.h"
#include "delivery/network_relay.h"

#include "test_certificate_authority.h"
#include "test_mail_relay.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class AnyNameResolves final : public NameResolver {
  public:
    bool resolves(const QString&) override { return true; }
};

class RelayNetworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!authority_.ready()) {
            GTEST_SKIP() << "openssl is not installed";
        }
        authority_.trust();
    }
    int send(TestMailRelay& relay, const QString& to, float timeout = 5) {
        DXEmailSender sender(relay.config(), transport_, resolver_);
        return sender.sendMailWithCGI(QStringLiteral("Drive & health; low"),
                                      QStringLiteral("Subject"), to, timeout, false, false);
    }

    TestCertificateAuthority authority_;
    NetworkRelayTransport transport_;
    AnyNameResolves resolver_;
};

}  // namespace

TEST_F(RelayNetworkTest, PostsOneFormPerRecipientOverVerifiedTls) {
    TestMailRelay relay(authority_, {httpResponse(200, "SUCC"), httpResponse(200, "FAIL")});
    EXPECT_EQ(send(relay, QStringLiteral("a+b@example.com\nc@example.org")),
              DXEmailSender::CGIFailure);
    const QList<QByteArray> requests = relay.requests();
    ASSERT_EQ(requests.size(), 2);
    const QByteArray& first = requests.first();
    EXPECT_TRUE(first.startsWith("POST /cgi-bin/email_notification/email_sender.cgi HTTP/1.1\r\n"));
    EXPECT_TRUE(
        first.toLower().contains("\r\ncontent-type: application/x-www-form-urlencoded\r\n"));
    EXPECT_TRUE(first.endsWith("\r\n\r\nd=a<b@example.com&b=Drive  health low&s=Subject&i=7"))
        << first.constData();
}

TEST_F(RelayNetworkTest, OnlyStatus200WithSuccCounts) {
    struct {
        QByteArray answer;
        int expected;
    } const cases[] = {
        {httpResponse(200, "OK SUCC"), DXEmailSender::Success},
        {httpResponse(200, "accepted"), DXEmailSender::CGIFailure},
        {httpResponse(500, "SUCC"), DXEmailSender::CGIFailure},
        {httpResponse(201, "SUCC"), DXEmailSender::CGIFailure},
        {QByteArray("\x00\xff garbage \r\n\r\n", 16), DXEmailSender::CGIFailure},
    };
    for (const auto& c : cases) {
        TestMailRelay relay(authority_, {c.answer});
        EXPECT_EQ(send(relay, QStringLiteral("a@example.com")), c.expected) << c.answer.constData();
    }
}

TEST_F(RelayNetworkTest, ARelayThatNeverAnswersTimesOut) {
    TestMailRelay relay(authority_, {QByteArray()});
    QtMessageCapture stderrMessages;
    EXPECT_EQ(send(relay, QStringLiteral("a@example.com"), 1), DXEmailSender::CGIFailure);
    // A time-out is a logged failure, not a warning of Qt's on stderr.
    EXPECT_EQ(stderrMessages.messages().join(u'\n').toStdString(), "");
}

TEST_F(RelayNetworkTest, UntrustedRelayIsRefused) {
    TestMailRelay relay(authority_, {});
    QSslConfiguration::setDefaultConfiguration(QSslConfiguration());
    EXPECT_EQ(send(relay, QStringLiteral("a@example.com")), DXEmailSender::CGIFailure);
}

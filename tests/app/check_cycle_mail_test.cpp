// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_fakes.h"

#include "delivery/dx_email_sender.h"
#include "delivery/network_relay.h"
#include "test_certificate_authority.h"
#include "test_mail_relay.h"

#include <gtest/gtest.h>

namespace {

class AnyNameResolves final : public NameResolver {
  public:
    bool resolves(const QString&) override { return true; }
};

// The controller's mail channel backed by the real relay client.
class RelayMail final : public MailSender {
  public:
    explicit RelayMail(DXEmailSender& sender) : sender_(sender) {}
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool checkBlocklists,
                        bool testOnly) override {
        return sender_.sendMailWithCGI(body, subject, to, timeout, checkBlocklists, testOnly);
    }

  private:
    DXEmailSender& sender_;
};

}  // namespace

// A worn drive's notification reaches a relay on 127.0.0.1 as one verified HTTPS form
// post per recipient; a refusing relay turns into the "Unable to send" alert.
TEST(CheckCycleMail, ProblemNotificationsReachTheRelay) {
    TestCertificateAuthority authority;
    if (!authority.ready()) {
        GTEST_SKIP() << "openssl is not installed";
    }
    authority.trust();
    TestMailRelay relay(authority, {httpResponse(200, "SUCC"), httpResponse(500, "no")});
    NetworkRelayTransport transport;
    AnyNameResolves resolver;
    DXEmailSender sender(relay.config(), transport, resolver);
    RelayMail mail(sender);

    Harness h(&mail);
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
    h.settings.setDefaultInt(QStringLiteral("NotificationUseEmail"), 1);
    h.settings.strings.insert(QStringLiteral("NotificationUseEmailAddress"),
                              QStringLiteral("admin@example.org\nops+ssd@example.com"));
    h.addDrive(0, QStringLiteral("Data"), 20);
    h.check();

    const QList<QByteArray> requests = relay.requests();
    ASSERT_EQ(requests.size(), 2);
    for (const QByteArray& request : requests) {
        EXPECT_TRUE(
            request.startsWith("POST /cgi-bin/email_notification/email_sender.cgi HTTP/1.1\r\n"));
    }
    const QByteArray form = requests[1].mid(requests[1].indexOf("\r\n\r\n") + 4);
    EXPECT_TRUE(form.startsWith("d=ops<ssd@example.com&b=")) << form.constData();
    EXPECT_TRUE(form.contains("&s=Ostrivane SSD Problem Notification&i=7")) << form.constData();
    EXPECT_TRUE(form.contains("Data")) << form.constData();

    // The second recipient failed, so the whole delivery did: the user is told why.
    const QStringList sent = deliveries(h.journal);
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.last(),
              QStringLiteral("alert Unable to send e-mail about SSD problem notification "
                             "(error: CGI Failure)|OK"));
}

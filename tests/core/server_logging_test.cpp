// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dx_server_logging.h"

#include "ext/url.h"
#include "foundation/defaults.h"
#include "http_test_server.h"
#include "test_certificate_authority.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSemaphore>
#include <QUrlQuery>

namespace {

// Reports run at once on the calling thread; posted addresses are kept.
struct ReportHarness {
    explicit ReportHarness(QString host = QStringLiteral("reports.example.test"))
        : reports(std::move(host), QStringLiteral("Ostrivane"),
                  {[this] { return online; }, [](std::function<void()> job) { job(); },
                   [this](const QUrl& url) { posted.append(url); }}) {
        DXServerLogging::clearOnceTokens();
        DXServerLogging::initialize();
    }
    bool online = true;
    QList<QUrl> posted;
    DXServerLogging reports;
};

}  // namespace

TEST(ServerLogging, TokenAndEncoding) {
    EXPECT_EQ(DXServerLogging::token(QStringLiteral("abc"), QStringLiteral("ping")), 2);
    EXPECT_EQ(DXServerLogging::encodeValue(QStringLiteral("a b%+\u00e9\u0301x7\u00b2||\n")),
              QStringLiteral("a%20b%25%2B\u00e9\u0301x7\u00b2%7C%7C%0A"));
    EXPECT_EQ(DXServerLogging::encodeValue(QString::fromUtf8("\xF0\x9F\x98\x80")),
              QStringLiteral("%F0%9F%98%80"));
    EXPECT_EQ(
        DXServerLogging::query(QStringLiteral("abc"), QStringLiteral("ping"), QStringLiteral("U")),
        QStringLiteral("value=abc&kind=ping&token=2&udid=U"));
}

TEST(ServerLogging, InstallationIdentifier) {
    ReportHarness h;
    const QString udid = defaultString(QStringLiteral("QPLUDID")).value_or(QString());
    EXPECT_EQ(udid.size(), 36);
    EXPECT_EQ(udid, udid.toUpper());
    DXServerLogging::initialize();
    EXPECT_EQ(defaultString(QStringLiteral("QPLUDID")), udid);
    setDefaultInt(QStringLiteral("QPLsomething"), 1);
    setDefaultInt(QStringLiteral("OtherKey"), 1);
    DXServerLogging::clearOnceTokens();
    EXPECT_FALSE(defaultString(QStringLiteral("QPLUDID")).has_value());
    EXPECT_EQ(defaultInt(QStringLiteral("QPLsomething")), 0);
    EXPECT_EQ(defaultInt(QStringLiteral("OtherKey")), 1);
}

TEST(ServerLogging, OnceTokens) {
    ReportHarness h;
    h.reports.log(QStringLiteral("v"), QStringLiteral("diskdata"),
                  QStringLiteral("didSubmitSSDxy"));
    EXPECT_TRUE(h.reports.logged(QStringLiteral("didSubmitSSDxy")));
    h.reports.log(QStringLiteral("v2"), QStringLiteral("diskdata"),
                  QStringLiteral("didSubmitSSDxy"));
    ASSERT_EQ(h.posted.size(), 1);
    EXPECT_EQ(h.posted.first().host(), QStringLiteral("reports.example.test"));
    EXPECT_EQ(h.posted.first().path(), QStringLiteral("/cgi-bin/ostrivane/report.cgi"));

    // Offline: dropped, and the token stays unset so a later call tries again.
    h.online = false;
    h.reports.log(QStringLiteral("v"), QStringLiteral("diskdata"), QStringLiteral("other"));
    h.reports.log(QStringLiteral("v"), QStringLiteral("ping"));
    EXPECT_FALSE(h.reports.logged(QStringLiteral("other")));
    EXPECT_EQ(h.posted.size(), 1);

    // No token: the value's SHA-1 is the token, so the same value goes once.
    h.online = true;
    h.reports.log(QStringLiteral("same"), QStringLiteral("k"), QString());
    h.reports.log(QStringLiteral("same"), QStringLiteral("k"), QString());
    EXPECT_EQ(h.posted.size(), 2);
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(QByteArrayLiteral("same"), QCryptographicHash::Sha1).toHex());
    EXPECT_TRUE(h.reports.logged(sha));

    // Reports without a token are sent every time.
    h.reports.log(QStringLiteral("x"), QStringLiteral("brokensmart"));
    h.reports.log(QStringLiteral("x"), QStringLiteral("brokensmart"));
    EXPECT_EQ(h.posted.size(), 4);
}

TEST(ServerLogging, UnconfiguredHostSendsNothing) {
    ReportHarness h{QString()};
    h.reports.log(QStringLiteral("v"), QStringLiteral("ping"));
    h.reports.log(QStringLiteral("v"), QStringLiteral("diskdata"), QStringLiteral("t"));
    EXPECT_TRUE(h.posted.isEmpty());
}

// The report host is configured as the relay host is: with an optional port.
TEST(ServerLogging, ReportHostMayCarryAPort) {
    ReportHarness h{QStringLiteral("reports.example.test:8443")};
    h.reports.log(QStringLiteral("v"), QStringLiteral("ping"));
    ASSERT_EQ(h.posted.size(), 1);
    EXPECT_EQ(h.posted[0].host(), QStringLiteral("reports.example.test"));
    EXPECT_EQ(h.posted[0].port(), 8443);
    EXPECT_EQ(h.posted[0].path(), QStringLiteral("/cgi-bin/ostrivane/report.cgi"));

    ReportHarness bad{QStringLiteral("reports.example.test/other")};
    bad.reports.log(QStringLiteral("v"), QStringLiteral("ping"));
    EXPECT_TRUE(bad.posted.isEmpty());
}

TEST(ServerLogging, ThePostBodyAsTheReportScriptReceivesIt) {
    TestCertificateAuthority authority;
    if (!authority.ready()) {
        GTEST_SKIP() << "openssl is not installed";
    }
    authority.trust();
    TestHttpServer server([](const QByteArray&) { return httpResponse(200, "ok"); },
                          authority.serverCertificate(), authority.serverKey());
    // The real address names the report host; the test sends it to the local server instead.
    // The post must be over before the server goes, so the test waits for its completion.
    QSemaphore done;
    DXServerLogging reports(
        QStringLiteral("reports.example.test"), QStringLiteral("Ostrivane"),
        {[] { return true; }, [](std::function<void()> job) { job(); },
         [&server, &done](const QUrl& url) {
             QUrl local = url;
             local.setHost(QStringLiteral("127.0.0.1"));
             local.setPort(server.port());
             performPOST(local, [&done](const std::optional<QByteArray>&) { done.release(); });
         }});
    setDefaultString(QStringLiteral("QPLUDID"), QStringLiteral("UDID-1"));
    reports.log(QStringLiteral("50% a+b"), QStringLiteral("ping"));
    ASSERT_TRUE(done.tryAcquire(1, 20000));
    ASSERT_TRUE(server.waitForRequest(1000));
    const QByteArray request = server.lastRequest();
    EXPECT_TRUE(request.startsWith("POST /cgi-bin/ostrivane/report.cgi HTTP/1.1\r\n"))
        << request.constData();
    EXPECT_TRUE(
        request.toLower().contains("\r\ncontent-type: application/x-www-form-urlencoded\r\n"));
    // The value was encoded once (50%25%20a%2Bb) and the address escapes it again.
    EXPECT_TRUE(request.endsWith("\r\n\r\nvalue=50%2525%2520a%252Bb&kind=ping&token=8&udid=UDID-1"))
        << request.constData();
}

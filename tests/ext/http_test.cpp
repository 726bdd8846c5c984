// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/list.h"
#include "ext/scheduling.h"
#include "ext/url.h"
#include "http_test_server.h"
#include "test_certificate_authority.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSslConfiguration>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QUrl local(const TestHttpServer& server, const char* path, const char* scheme = "http") {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(QLatin1String(scheme))
                    .arg(server.port())
                    .arg(QLatin1String(path)));
}

QByteArray answerByPath(const QByteArray& request) {
    const QByteArray path = request.split(' ').value(1);
    if (path == "/body") {
        return httpResponse(200, "hello");
    }
    if (path == "/cut") {
        // Promises 100 bytes, sends 10 and closes.
        return "HTTP/1.1 200 X\r\nContent-Length: 100\r\nConnection: close\r\n\r\n0123456789";
    }
    if (path == "/declared-huge") {
        return "HTTP/1.1 200 X\r\nContent-Length: " + QByteArray::number(kMaxDownloadBytes + 1) +
               "\r\nConnection: close\r\n\r\nabc";
    }
    if (path == "/streamed-huge") {
        return "HTTP/1.1 200 X\r\nConnection: close\r\n\r\n" +
               QByteArray(kMaxDownloadBytes + 1, 'x');
    }
    if (path == "/silent") {
        return {};
    }
    return httpResponse(404, "not here");
}

}  // namespace

TEST(HttpTest, DownloadGivesTheWholeBodyOrNothing) {
    TestHttpServer server(answerByPath);
    EXPECT_EQ(download(local(server, "/body")), QByteArray("hello"));
    EXPECT_EQ(download(local(server, "/body").toString()), QByteArray("hello"));
    EXPECT_EQ(contents(local(server, "/body")), QByteArray("hello"));
    EXPECT_EQ(download(local(server, "/missing")), std::nullopt);
    EXPECT_EQ(download(local(server, "/cut")), std::nullopt);
    EXPECT_EQ(download(local(server, "/declared-huge")), std::nullopt);
    EXPECT_EQ(download(local(server, "/streamed-huge")), std::nullopt);
    EXPECT_TRUE(loggedText().contains(QStringLiteral("larger than 67108864 bytes")));
}

TEST(HttpTest, BadAddressesFailWithoutANetwork) {
    EXPECT_EQ(download(QStringLiteral("not a url")), std::nullopt);
    EXPECT_EQ(download(QStringLiteral("http://exa mple.com/")), std::nullopt);
    EXPECT_EQ(download(QUrl(QStringLiteral("ftp://127.0.0.1/x"))), std::nullopt);
    EXPECT_EQ(download(QUrl()), std::nullopt);
    // Nothing listens on port 1.
    EXPECT_EQ(download(QUrl(QStringLiteral("http://127.0.0.1:1/"))), std::nullopt);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("f")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("local");
    file.close();
    EXPECT_EQ(download(QUrl::fromLocalFile(file.fileName())), QByteArray("local"));
    EXPECT_EQ(download(QUrl::fromLocalFile(dir.path())), std::nullopt);
}

TEST(HttpTest, ASilentServerTimesOut) {
    TestHttpServer server(answerByPath);
    QtMessageCapture stderrMessages;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(download(local(server, "/silent"), 1), std::nullopt);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_GE(timer.elapsed(), 900);
    // The time-out is logged, and the closed reply is not read (Qt would warn on stderr).
    EXPECT_EQ(stderrMessages.messages().join(u'\n').toStdString(), "");
    EXPECT_TRUE(loggedText().contains(QStringLiteral("/silent failed: ")));
}

TEST(HttpTest, PerformPostSendsTheQueryAsAForm) {
    TestHttpServer server([](const QByteArray&) { return httpResponse(200, "ok"); });
    const auto url = URLWithHost(QStringLiteral("127.0.0.1"), QStringLiteral("/r.cgi"),
                                 QStringLiteral("a=1+2&b=x y%"));
    ASSERT_TRUE(url.has_value());
    QUrl plain = *url;
    plain.setScheme(QStringLiteral("http"));
    plain.setPort(server.port());

    QSemaphore done;
    std::optional<QByteArray> reply;
    bool onMain = true;
    performPOST(plain, [&](const std::optional<QByteArray>& body) {
        reply = body;
        onMain = is_main_thread();
        done.release();
    });
    ASSERT_TRUE(done.tryAcquire(1, 10000));
    EXPECT_EQ(reply, QByteArray("ok"));
    EXPECT_FALSE(onMain);

    const QByteArray request = server.lastRequest();
    EXPECT_TRUE(request.startsWith("POST /r.cgi HTTP/1.1\r\n")) << request.constData();
    EXPECT_TRUE(request.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    EXPECT_TRUE(request.endsWith("\r\n\r\na=1%2B2&b=x%20y%25")) << request.constData();
}

// The report and relay servers are configured the same way: a host, an
// optional port, nothing else.
TEST(HttpTest, ServersTakeAnOptionalPort) {
    const auto encoded = [](const char* server) {
        const std::optional<QUrl> url =
            URLWithHost(QString::fromUtf8(server), QStringLiteral("/r.cgi"), QStringLiteral("a=1"));
        return url ? url->toEncoded() : QByteArray("-");
    };
    EXPECT_EQ(encoded("reports.example"), QByteArray("https://reports.example/r.cgi?a=1"));
    EXPECT_EQ(encoded("reports.example:8443"),
              QByteArray("https://reports.example:8443/r.cgi?a=1"));
    EXPECT_EQ(encoded("127.0.0.1:65535"), QByteArray("https://127.0.0.1:65535/r.cgi?a=1"));
    EXPECT_EQ(encoded("[::1]:8443"), QByteArray("https://[::1]:8443/r.cgi?a=1"));
    EXPECT_EQ(encoded("Reports.Example"), QByteArray("https://reports.example/r.cgi?a=1"));
    for (const char* bad : {"", ":", ":8443", "host:", "host:0", "host:65536", "host:-1", "host:8x",
                            "host:1:2", "::1", "host/path", "host?q", "host#f", "user@host",
                            "user:pw@host", "ho st", "host\\x", "host:80/x", "https://host"}) {
        EXPECT_EQ(encoded(bad), QByteArray("-")) << bad;
        EXPECT_EQ(httpsURL(QString::fromUtf8(bad), QStringLiteral("/p")), std::nullopt) << bad;
    }
    EXPECT_EQ(httpsURL(QStringLiteral("relay.example:1"), QStringLiteral("p"))->toEncoded(),
              QByteArray("https://relay.example:1/p"));
}

TEST(HttpTest, HostUrlsEncodeTheQuery) {
    EXPECT_EQ(URLWithHost(QStringLiteral("example.com"), QStringLiteral("/p/ä b"),
                          QStringLiteral("k=a+b c%d&n=ü"))
                  ->toEncoded(),
              QByteArray("https://example.com/p/%C3%A4%20b?k=a%2Bb%20c%25d&n=%C3%BC"));
    EXPECT_EQ(
        URLWithHost(QStringLiteral("example.com"), QStringLiteral("p"), QString())->toEncoded(),
        QByteArray("https://example.com/p"));
    EXPECT_EQ(URLWithHost(QString(), QStringLiteral("/p"), QString()), std::nullopt);
    EXPECT_EQ(URLWithHost(QStringLiteral("bad host"), QStringLiteral("/p"), QString()),
              std::nullopt);
}

class TlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!authority_.ready()) {
            GTEST_SKIP() << "openssl is not installed";
        }
        certificate_ = authority_.serverCertificate();
        key_ = authority_.serverKey();
    }
    void trustTestAuthority() { authority_.trust(); }

    TestCertificateAuthority authority_;
    QSslCertificate certificate_;
    QSslKey key_;
};

TEST_F(TlsTest, CertificatesAreVerified) {
    TestHttpServer server(answerByPath, certificate_, key_);
    // Signed by an authority nobody trusts yet: refused.
    EXPECT_EQ(download(local(server, "/body", "https")), std::nullopt);
    trustTestAuthority();
    EXPECT_EQ(download(local(server, "/body", "https")), QByteArray("hello"));
    // The certificate names 127.0.0.1, not localhost.
    QUrl byName = local(server, "/body", "https");
    byName.setHost(QStringLiteral("localhost"));
    EXPECT_EQ(download(byName), std::nullopt);
}

TEST_F(TlsTest, RedirectsToPlainHttpAreRefused) {
    TestHttpServer plain(answerByPath);
    const QByteArray target = local(plain, "/body").toEncoded();
    TestHttpServer secure(
        [&](const QByteArray& request) {
            const QByteArray path = request.split(' ').value(1);
            const QByteArray location = path == "/down" ? target : "/body";
            return path == "/body"
                       ? httpResponse(200, "hello")
                       : httpResponse(302, QByteArray(), "Location: " + location + "\r\n");
        },
        certificate_, key_);
    trustTestAuthority();
    EXPECT_EQ(download(local(secure, "/same", "https")), QByteArray("hello"));
    EXPECT_EQ(download(local(secure, "/down", "https")), std::nullopt);
    EXPECT_FALSE(plain.waitForRequest(0));
}

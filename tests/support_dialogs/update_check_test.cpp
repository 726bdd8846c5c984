// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "http_test_server.h"
#include "support/update_check.h"
#include "test_certificate_authority.h"

#include <gtest/gtest.h>

namespace {

class RecordingOpener final : public UrlOpener {
  public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

QByteArray item(const QByteArray& build, const QByteArray& version) {
    return "<item><enclosure sparkle:version=\"" + build + "\" sparkle:shortVersionString=\"" +
           version + "\" url=\"x\"/></item>";
}

// The feed for each path the tests ask for.
QByteArray feedFor(const QByteArray& request) {
    const QByteArray path = request.split(' ').value(1);
    if (path == "/newer") {
        return httpResponse(200, "<rss>" + item("1234", "1.3") + item("9999", "9.9") + "</rss>");
    }
    if (path == "/noversion") {
        return httpResponse(200, "<rss><enclosure sparkle:version=\"1234\"/></rss>");
    }
    if (path == "/empty") {
        return httpResponse(200, item("", "0"));
    }
    if (path == "/nomarker") {
        return httpResponse(200, "<rss><item>sparkle:version=1234</item></rss>");
    }
    if (path == "/unbalanced") {
        return httpResponse(200, "<rss sparkle:version=\"1234");
    }
    if (path == "/decimal") {
        return httpResponse(200, item("12.3", "1"));
    }
    if (path == "/blank") {
        return httpResponse(200, item(" 1234", "1"));
    }
    if (path == "/huge-number") {
        return httpResponse(200, item("123456789012345678901234567890", "1"));
    }
    if (path == "/badutf8") {
        return httpResponse(200, item("1234", "1") + "\xC3\x28");
    }
    if (path == "/toolarge" || path == "/atlimit") {
        QByteArray body = item("1234", "1");
        body.append(64 * 1024 * 1024 + (path == "/toolarge" ? 1 : 0) - body.size(), ' ');
        return httpResponse(200, body);
    }
    return httpResponse(404, "");
}

class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!authority_.ready()) {
            GTEST_SKIP() << "openssl is not installed";
        }
        server_ = std::make_unique<TestHttpServer>(feedFor, authority_.serverCertificate(),
                                                   authority_.serverKey());
        authority_.trust();
    }

    // The dialog the check ends with, for the own build and feed path.
    AlertPanel check(qint32 ownBuild, const QString& path, int answer = 1001) {
        ScriptedRunner runner;
        runner.answer.code = answer;
        Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.2"));
        UpdateCheck updates(alerts, opener_, feedUrl(path), QStringLiteral("1.2"), ownBuild,
                            QStringLiteral("https://maker.example/freshhold/"));
        updates.checkForUpdatesAction();
        EXPECT_EQ(runner.panels.size(), 1);
        return runner.panels.value(0);
    }

    QString feedUrl(const QString& path) const {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(server_->port()).arg(path);
    }

    TestCertificateAuthority authority_;
    std::unique_ptr<TestHttpServer> server_;
    RecordingOpener opener_;
};

const QString kFailed = QStringLiteral("Update Check Failed");

}  // namespace

TEST_F(UpdateCheckTest, NewerSameAndOlderBuilds) {
    AlertPanel panel = check(1233, QStringLiteral("/newer"), 1000);
    EXPECT_EQ(panel.title, QStringLiteral("Update Available"));
    EXPECT_EQ(panel.message,
              QStringLiteral("An Update is available. You have version '1.2 (1233)' but the "
                             "newest version is '1.3 (1234)'. Please use our 'Freshhold' to keep "
                             "to update to the newest version - it can also update your other "
                             "apps!"));
    EXPECT_EQ(panel.buttons,
              (QStringList{QStringLiteral("Open Freshhold Homepage"), QStringLiteral("Cancel")}));
    ASSERT_EQ(opener_.opened.size(), 1);
    EXPECT_EQ(opener_.opened[0], QUrl(QStringLiteral("https://maker.example/freshhold/")));

    // Only the first item counts, though a later one is higher.
    EXPECT_EQ(check(1234, QStringLiteral("/newer")).message,
              QStringLiteral("This app is fully up-to-date."));
    EXPECT_EQ(check(5000, QStringLiteral("/newer")).title, QStringLiteral("No Update Available"));
    EXPECT_EQ(check(0, QStringLiteral("/empty")).title, QStringLiteral("No Update Available"));
    EXPECT_TRUE(check(1, QStringLiteral("/noversion"))
                    .message.contains(QStringLiteral("newest version is '(null) (1234)'")));
    EXPECT_EQ(opener_.opened.size(), 1);  // "Cancel" opens nothing
}

TEST_F(UpdateCheckTest, EveryFaultOfTheFeedIsTheFailureDialog) {
    for (const char* path : {"/nomarker", "/unbalanced", "/decimal", "/blank", "/huge-number",
                             "/badutf8", "/missing", "/toolarge"}) {
        const AlertPanel panel = check(1, QString::fromLatin1(path));
        EXPECT_EQ(panel.title, kFailed) << path;
        EXPECT_EQ(panel.buttons, QStringList{QStringLiteral("OK")}) << path;
    }
    EXPECT_TRUE(loggedText().contains(QStringLiteral("could not create UTF8 string")));
    // One byte less than the failing one is a feed like any other.
    EXPECT_EQ(check(1, QStringLiteral("/atlimit")).title, QStringLiteral("Update Available"));
}

TEST_F(UpdateCheckTest, UnreachableFeedFailsAndAnEmptyAddressIsNoCheckAtAll) {
    const QString url = feedUrl(QStringLiteral("/newer"));
    server_.reset();  // nobody listens there any more
    ScriptedRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.2"));
    UpdateCheck gone(alerts, opener_, url, QStringLiteral("1.2"), 1, {});
    gone.checkForUpdatesAction();
    ASSERT_EQ(runner.panels.size(), 1);
    EXPECT_EQ(runner.panels[0].title, kFailed);

    UpdateCheck none(alerts, opener_, QString(), QStringLiteral("1.2"), 1, {});
    EXPECT_FALSE(none.configured());
    none.checkForUpdatesAction();
    EXPECT_EQ(runner.panels.size(), 1);
}

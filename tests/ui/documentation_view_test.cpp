// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/documentation_view.h"

#include "foundation/wendle_lib.h"
#include "http_test_server.h"
#include "test_certificate_authority.h"
#include "widget_test_support.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

const QString kHelp = QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/help");

QByteArray pageFor(const QByteArray& request) {
    const QByteArray path = request.split(' ').value(1);
    if (path == "/notes") {
        return httpResponse(200, "<html><body><h1>Remote release notes</h1></body></html>");
    }
    if (path == "/notes/com.wendle.Ostrivane/page") {
        return httpResponse(200, "<p>Notes for this application</p>");
    }
    if (path == "/empty") {
        return httpResponse(200, "<html><body>  \n </body></html>");
    }
    if (path == "/nothing") {
        return httpResponse(200, "");
    }
    return httpResponse(404, "<p>Not found</p>");
}

class DocumentationViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DocumentationView::setDocumentationFolder(kHelp);
        view.setLinkOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
        view.resize(400, 300);
    }
    void TearDown() override { DocumentationView::setDocumentationFolder(QString()); }

    QString remote(const QString& path) const {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(server_->port()).arg(path);
    }
    void startServer() {
        if (!authority_.ready()) {
            GTEST_SKIP() << "openssl is not installed";
        }
        server_ = std::make_unique<TestHttpServer>(pageFor, authority_.serverCertificate(),
                                                   authority_.serverKey());
        authority_.trust();
    }
    // Shows the view and waits for its remote fetch; whether it replaced the page.
    bool showAndFetch() {
        QSignalSpy finished(&view, &DocumentationView::remoteFetchFinished);
        view.show();
        EXPECT_TRUE(waitUntil([&] { return finished.count() == 1; }, 20000));
        return finished.value(0).value(0).toBool();
    }

    DocumentationView view;
    QList<QUrl> opened;
    TestCertificateAuthority authority_;
    std::unique_ptr<TestHttpServer> server_;
};

TEST_F(DocumentationViewTest, ALocalPageLoadsOnFirstShowOnly) {
    view.setLocalHTMLName(QStringLiteral("thresholds.html"));
    EXPECT_TRUE(view.toPlainText().isEmpty());
    view.show();
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("The warning and error thresholds")));
    view.clear();
    view.hide();
    view.show();
    EXPECT_TRUE(view.toPlainText().isEmpty());  // once per view

    // The installation's own copy, found from the program, has every page.
    DocumentationView::setDocumentationFolder(QString());
    const QString installed = DocumentationView::documentationFolder();
    EXPECT_TRUE(installed.endsWith(QStringLiteral("share/ostrivane/help")))
        << installed.toStdString();
    for (const char* page : {"index.html", "health.html", "thresholds.html", "notifications.html",
                             "smart-access.html", "command-line.html"}) {
        EXPECT_TRUE(QFileInfo(installed + QLatin1Char('/') + QLatin1String(page)).isFile()) << page;
    }
}

TEST_F(DocumentationViewTest, WithoutAnyPageItLogsOnceAndShowsNothing) {
    view.show();
    DocumentationView missing;
    missing.setLocalHTMLName(QStringLiteral("no-such-page.html"));
    missing.show();
    DocumentationView outside;
    outside.setLocalHTMLName(QStringLiteral("../../CMakeLists.txt"));
    outside.show();
    EXPECT_TRUE(view.toPlainText().isEmpty());
    EXPECT_TRUE(outside.toPlainText().isEmpty());
    const QString log = loggedText();
    EXPECT_EQ(log.count(QStringLiteral("Error: localHTMLName not set on DocumentationView")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("no documentation page named no-such-page.html")));
    EXPECT_TRUE(log.contains(QStringLiteral("no documentation page named ../../CMakeLists.txt")));
}

TEST_F(DocumentationViewTest, ARemotePageOverVerifiedTlsReplacesTheLocalOne) {
    startServer();
    view.setLocalHTMLName(QStringLiteral("health.html"));
    view.setRemoteHTMLURL(remote(QStringLiteral("/notes")));
    EXPECT_TRUE(showAndFetch());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Remote release notes")));
    EXPECT_EQ(server_->lastRequest().split(' ').value(1), QByteArray("/notes"));
}

TEST_F(DocumentationViewTest, TheIdentifierPlaceholderIsReplaced) {
    startServer();
    ASSERT_EQ(WendleLib::shared().appBundleIdentifier(), QStringLiteral("com.wendle.Ostrivane"));
    view.setRemoteHTMLURL(remote(QStringLiteral("/notes/$(CFBundleIdentifier)/page")));
    EXPECT_EQ(view.resolvedRemoteURL(), remote(QStringLiteral("/notes/com.wendle.Ostrivane/page")));
    EXPECT_TRUE(showAndFetch());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Notes for this application")));
}

TEST_F(DocumentationViewTest, AFailedOrEmptyRemotePageKeepsTheLocalOne) {
    startServer();
    for (const char* path : {"/missing", "/empty", "/nothing"}) {
        DocumentationView page;
        page.setLocalHTMLName(QStringLiteral("health.html"));
        page.setRemoteHTMLURL(remote(QLatin1String(path)));
        QSignalSpy finished(&page, &DocumentationView::remoteFetchFinished);
        page.show();
        ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }, 20000)) << path;
        EXPECT_FALSE(finished.value(0).value(0).toBool()) << path;
        EXPECT_TRUE(page.toPlainText().contains(QStringLiteral("What the health of a drive means")))
            << path;
    }
    // An untrusted certificate is a failure too: a server nobody vouched for.
    TestCertificateAuthority stranger;
    ASSERT_TRUE(stranger.ready());
    TestHttpServer untrusted(pageFor, stranger.serverCertificate(), stranger.serverKey());
    view.setLocalHTMLName(QStringLiteral("health.html"));
    view.setRemoteHTMLURL(QStringLiteral("https://127.0.0.1:%1/notes").arg(untrusted.port()));
    EXPECT_FALSE(showAndFetch());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("What the health of a drive means")));
}

TEST_F(DocumentationViewTest, ZoomIsAppliedOnceAndScrollingCanBeTurnedOff) {
    const qreal base = view.font().pointSizeF();
    view.setZoomFactor(1.0);
    view.setLocalHTMLName(QStringLiteral("index.html"));
    view.show();
    EXPECT_DOUBLE_EQ(view.font().pointSizeF(), base);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

    DocumentationView zoomed;
    zoomed.setZoomFactor(1.5);
    zoomed.setLocalHTMLName(QStringLiteral("index.html"));
    zoomed.show();
    EXPECT_DOUBLE_EQ(zoomed.font().pointSizeF(), base * 1.5);
    EXPECT_FALSE(zoomed.zoomFactor().has_value());

    DocumentationView fixed;
    fixed.setDisableScrolling(true);
    fixed.setLocalHTMLName(QStringLiteral("command-line.html"));
    fixed.resize(200, 80);
    fixed.show();
    EXPECT_EQ(fixed.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(fixed.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QWheelEvent wheel(QPointF(50, 40), fixed.mapToGlobal(QPointF(50, 40)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(fixed.viewport(), &wheel);
    EXPECT_EQ(fixed.verticalScrollBar()->value(), 0);
}

TEST_F(DocumentationViewTest, LinksInsideTheHelpStayOutsideOnesOpenTheBrowser) {
    view.setLocalHTMLName(QStringLiteral("index.html"));
    view.show();
    // A click on a sibling page stays in the view.
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("notifications.html")));
    EXPECT_TRUE(
        view.toPlainText().contains(QStringLiteral("Notifications: on screen and by e-mail")));
    EXPECT_TRUE(opened.isEmpty());

    const QUrl outside(QStringLiteral("https://example.org/ssd"));
    Q_EMIT view.anchorClicked(outside);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.constFirst(), outside);
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("Notifications")));

    // Navigations the page starts by itself: to the browser unless only
    // clicks go there.
    EXPECT_EQ(view.decidePolicy(outside, false), DocumentationView::Policy::Ignore);
    EXPECT_EQ(opened.size(), 2);
    view.setOpenOnlyClicksInBrowser(true);
    EXPECT_EQ(view.decidePolicy(outside, false), DocumentationView::Policy::Use);
    EXPECT_EQ(view.decidePolicy(outside, true), DocumentationView::Policy::Ignore);
    EXPECT_EQ(opened.size(), 3);
    EXPECT_EQ(view.decidePolicy(QUrl(QStringLiteral("about:blank")), true),
              DocumentationView::Policy::Use);
    // The remote site's own pages stay.
    view.setRemoteHTMLURL(QStringLiteral("https://maker.example/$(CFBundleIdentifier)/"));
    EXPECT_EQ(view.decidePolicy(
                  QUrl(QStringLiteral("https://maker.example/com.wendle.Ostrivane/a")), true),
              DocumentationView::Policy::Use);
    // A folder whose name merely starts like the help folder is outside.
    EXPECT_EQ(view.decidePolicy(QUrl::fromLocalFile(kHelp + QStringLiteral("ers/x.html")), true),
              DocumentationView::Policy::Ignore);
}

}  // namespace

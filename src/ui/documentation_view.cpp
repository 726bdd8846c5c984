// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/documentation_view.h"

#include "ext/scheduling.h"
#include "ext/url.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QScrollBar>
#include <QTextDocument>
#include <QWheelEvent>

#include <cmath>

namespace {

QMutex g_folderMutex;
QString g_folder;

bool isZoom(const std::optional<double>& factor) {
    return factor && std::fabs(float(*factor) - 1.0f) >= 0.0001f;
}

bool startsWith(const QString& text, const QString& prefix) {
    return !prefix.isEmpty() && text.startsWith(prefix);
}

}  // namespace

DocumentationView::DocumentationView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::StyledPanel);
    openLink_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QTextBrowser::anchorClicked, this, &DocumentationView::linkClicked);
}

DocumentationView::~DocumentationView() = default;

QString DocumentationView::documentationFolder() {
    QMutexLocker lock(&g_folderMutex);
    if (!g_folder.isEmpty()) {
        return g_folder;
    }
    const QString resources = WendleLib::shared().resDir();
    return resources.isEmpty() ? QString() : resources + QStringLiteral("/help");
}

void DocumentationView::setDocumentationFolder(const QString& folder) {
    QMutexLocker lock(&g_folderMutex);
    g_folder = folder;
}

void DocumentationView::setZoomFactor(std::optional<double> factor) {
    zoomFactor_ = factor;
    if (isZoom(factor)) {
        // A zoomed page is laid out for its box: no scroll bars.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

void DocumentationView::setDisableScrolling(bool disable) {
    disableScrolling_ = disable;
    const Qt::ScrollBarPolicy policy = disable ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
}

QString DocumentationView::resolvedRemoteURL() const {
    QString url = remoteHTMLURL_;
    return url.replace(QStringLiteral("$(CFBundleIdentifier)"),
                       WendleLib::shared().appBundleIdentifier());
}

QUrl DocumentationView::localURL() const {
    const QString folder = documentationFolder();
    if (localHTMLName_.isEmpty() || folder.isEmpty() || localHTMLName_.contains(QLatin1Char('/'))) {
        return {};
    }
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + localHTMLName_);
}

void DocumentationView::showEvent(QShowEvent* event) {
    QTextBrowser::showEvent(event);
    loadOnce();
}

void DocumentationView::loadOnce() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const QString remote = resolvedRemoteURL();
    if (localHTMLName_.isEmpty() && remote.isEmpty()) {
        log_message(3, QStringLiteral("Error: localHTMLName not set on DocumentationView"));
        return;
    }
    if (!localHTMLName_.isEmpty()) {
        const QUrl local = localURL();
        if (local.isEmpty() || !QFileInfo(local.toLocalFile()).isFile()) {
            log_message(
                3, QStringLiteral("Error: no documentation page named %1").arg(localHTMLName_));
        } else {
            setSource(local);
            applyZoomOnce();
        }
    }
    if (remote.isEmpty()) {
        return;
    }
    QPointer<DocumentationView> self(this);
    run_in_background([self, remote] {
        std::optional<QByteArray> body = download(QUrl(remote), kRemoteTimeoutSeconds);
        run_on_main_after(0, [self, body = std::move(body)] {
            if (self) {
                self->applyRemote(body);
            }
        });
    });
}

void DocumentationView::applyRemote(const std::optional<QByteArray>& body) {
    bool applied = false;
    if (body) {
        const QString html = QString::fromUtf8(*body);
        QTextDocument probe;
        probe.setHtml(html);
        // An empty page would wipe out the local one for nothing.
        if (!probe.toPlainText().trimmed().isEmpty()) {
            document()->setBaseUrl(QUrl(resolvedRemoteURL()));
            setHtml(html);
            applyZoomOnce();
            applied = true;
        }
    }
    Q_EMIT remoteFetchFinished(applied);
}

void DocumentationView::applyZoomOnce() {
    if (!isZoom(zoomFactor_)) {
        return;
    }
    QFont zoomed = font();
    zoomed.setPointSizeF(zoomed.pointSizeF() * *zoomFactor_);
    setFont(zoomed);
    zoomFactor_.reset();
}

DocumentationView::Policy DocumentationView::decidePolicy(const QUrl& url, bool linkClicked) {
    const QString requested = url.toString(QUrl::FullyEncoded);
    // The whole help folder belongs to the view, so its pages link each other.
    const QString folder = documentationFolder();
    const QString local =
        folder.isEmpty()
            ? QString()
            : QUrl::fromLocalFile(folder + QLatin1Char('/')).toString(QUrl::FullyEncoded);
    if (startsWith(requested, local) || startsWith(requested, resolvedRemoteURL()) ||
        requested == QLatin1String("about:blank")) {
        return Policy::Use;
    }
    if (openOnlyClicksInBrowser_ && !linkClicked) {
        return Policy::Use;
    }
    if (openLink_ && !openLink_(url)) {
        log_message(3, QStringLiteral("Error: could not open %1").arg(requested));
    }
    return Policy::Ignore;
}

void DocumentationView::linkClicked(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl base = source().isEmpty() ? document()->baseUrl() : source();
    const QUrl target = base.resolved(link);
    if (decidePolicy(target, true) == Policy::Ignore) {
        return;
    }
    if (target.isLocalFile()) {
        setSource(target);
        return;
    }
    // A page of the remote site: fetched like the remote page itself.
    QPointer<DocumentationView> self(this);
    run_in_background([self, target] {
        std::optional<QByteArray> body = download(target, kRemoteTimeoutSeconds);
        run_on_main_after(0, [self, body = std::move(body)] {
            if (self) {
                self->applyRemote(body);
            }
        });
    });
}

void DocumentationView::wheelEvent(QWheelEvent* event) {
    if (disableScrolling_) {
        event->ignore();
        return;
    }
    QTextBrowser::wheelEvent(event);
}

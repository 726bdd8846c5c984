// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>
#include <QUrl>

#include <functional>
#include <optional>

// A documentation page inside a window (help, release notes, about texts):
// a local HTML page from the installation's help folder, optionally replaced
// by a remote page once it has been fetched and is not empty. The content is
// loaded the first time the view is shown, once per view; a remote page is
// fetched once, on a worker, with verified TLS and a time-out, so a slow or
// absent network never holds up the window and never loses the local page.
class DocumentationView : public QTextBrowser {
    Q_OBJECT

  public:
    // Hands a URL to the desktop (the browser); false when that failed.
    using LinkOpener = std::function<bool(const QUrl& url)>;
    enum class Policy { Use, Ignore };

    explicit DocumentationView(QWidget* parent = nullptr);
    ~DocumentationView() override;

    // The file name of a page in documentationFolder().
    void setLocalHTMLName(const QString& name) { localHTMLName_ = name; }
    QString localHTMLName() const { return localHTMLName_; }
    // "$(CFBundleIdentifier)" in it stands for the application's identifier.
    void setRemoteHTMLURL(const QString& url) { remoteHTMLURL_ = url; }
    QString remoteHTMLURL() const { return remoteHTMLURL_; }
    // Applied once, to the first content shown; 1 or none: no zoom.
    void setZoomFactor(std::optional<double> factor);
    std::optional<double> zoomFactor() const { return zoomFactor_; }
    void setDisableScrolling(bool disable);
    bool disableScrolling() const { return disableScrolling_; }
    // Off: every navigation to another place opens the browser. On: only
    // link clicks do; navigations the page starts by itself stay here.
    void setOpenOnlyClicksInBrowser(bool only) { openOnlyClicksInBrowser_ = only; }
    bool openOnlyClicksInBrowser() const { return openOnlyClicksInBrowser_; }
    void setLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

    // The installation's help folder (share/ostrivane/help beside bin/);
    // a test points it at the source tree.
    static QString documentationFolder();
    static void setDocumentationFolder(const QString& folder);

    // The remote address with the placeholder replaced; empty when none.
    QString resolvedRemoteURL() const;
    // Whether a navigation stays in the view; Ignore has opened the browser.
    Policy decidePolicy(const QUrl& url, bool linkClicked);
    bool isLoaded() const { return loaded_; }
    // Loads now if that has not happened yet (showing the view does it).
    void loadOnce();

    static constexpr int kRemoteTimeoutSeconds = 15;

  Q_SIGNALS:
    // A remote fetch ended; `applied`: its page replaced the local one.
    void remoteFetchFinished(bool applied);

  protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void linkClicked(const QUrl& link);
    void applyRemote(const std::optional<QByteArray>& body);
    void applyZoomOnce();
    QUrl localURL() const;

    QString localHTMLName_;
    QString remoteHTMLURL_;
    std::optional<double> zoomFactor_;
    bool disableScrolling_ = false;
    bool openOnlyClicksInBrowser_ = false;
    bool loaded_ = false;
    LinkOpener openLink_;
};

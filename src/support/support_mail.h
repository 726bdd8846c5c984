// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/alerts.h"
#include "support/problem_report.h"

#include <QUrl>
#include <QVariantMap>

#include <functional>

// Hands an address to the desktop: mailto addresses to the e-mail program,
// web addresses to the browser.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // False when nothing could open it (for mail: no e-mail program is set up).
    virtual bool open(const QUrl& url) = 0;
};

// Through xdg-open (QDesktopServices); a mailto address only when the
// desktop names a program for mailto links, since xdg-open itself succeeds
// without one and nothing would appear.
class DesktopUrlOpener final : public UrlOpener {
  public:
    bool open(const QUrl& url) override;
};

// Support requests, problem reports, beta-test requests and the product
// pages. Runs on the main thread, except alert_feedback (any thread).
class SupportMail {
  public:
    struct Services {
        Alerts& alerts;
        UrlOpener& opener;
        // The facts at the moment of the message (preferences included).
        std::function<ReportFacts()> facts;
        // Ends the process after a fatal report.
        std::function<void(int)> exit;
    };

    SupportMail(Services services, QVariantMap info);

    void sendSupportRequestMail(const QString& text, bool withPreferences = false);
    // 1 support request, 2 beta-test request, 3 to 6 product pages.
    void openURL(quint8 code);
    // The address of a product page (codes 3 to 6); empty when there is none.
    QString pageAddress(quint8 code) const;
    // The problem dialog: from any thread, returning once answered; a fatal
    // report ends the process with status 1 whichever button was chosen.
    void alert_feedback(const QString& message, const QString& details, bool fatal);

    // Opens the message in the e-mail program; where none opens it, offers
    // to copy the text instead. False when it was not opened.
    bool openMail(const MailMessage& mail);

  private:
    void feedbackOnMain(const QString& message, const QString& details, bool fatal);
    QString infoText(const char* key) const;
    QString supportAddress() const;

    Services services_;
    QVariantMap info_;
};

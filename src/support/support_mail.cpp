// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/support_mail.h"

#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

namespace {

constexpr int kMailHandlerQueryMs = 5000;

}  // namespace

bool DesktopUrlOpener::open(const QUrl& url) {
    if (url.scheme() == QLatin1String("mailto")) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                 QStringLiteral("x-scheme-handler/mailto")});
        if (!query.waitForFinished(kMailHandlerQueryMs) ||
            query.readAllStandardOutput().trimmed().isEmpty()) {
            return false;
        }
    }
    return QDesktopServices::openUrl(url);
}

SupportMail::SupportMail(Services services, QVariantMap info)
    : services_(std::move(services)), info_(std::move(info)) {}

QString SupportMail::infoText(const char* key) const {
    return info_.value(QLatin1String(key)).toString();
}

QString SupportMail::supportAddress() const {
    return infoText("WendleSupportEmail");
}

void SupportMail::sendSupportRequestMail(const QString& text, bool withPreferences) {
    QString recipient = infoText("FeedbackEmail");
    if (recipient.isEmpty()) {
        recipient = supportAddress();
    }
    openMail(ProblemReport::supportRequest(services_.facts(), recipient, text, withPreferences));
}

QString SupportMail::pageAddress(quint8 code) const {
    switch (code) {
        case 3: {
            const QString page = infoText("VendorProductPage");
            if (!page.isEmpty()) {
                return page;
            }
            // The short name: the first word of the lower-cased name, up to a "-".
            const QString name = services_.alerts.appName().toLower();
            const QString word =
                name.section(QLatin1Char(' '), 0, 0).section(QLatin1Char('-'), 0, 0);
            const QString site = infoText("WendleWebsite");
            return site.isEmpty() ? QString() : QStringLiteral("%1%2/").arg(site, word);
        }
        case 4:
            return infoText("StoreProductPage");
        case 5: {
            QString store = infoText("StoreProductPage");
            if (store.isEmpty()) {
                return infoText("AlternativetoProductPage");
            }
            store.replace(QStringLiteral("https"), QStringLiteral("macappstore"));
            return QStringLiteral("%1?at=%2").arg(store, infoText("WendleAffiliateToken"));
        }
        case 6: {
            const QString page = infoText("MacupdateProductPage");
            return page.isEmpty() ? infoText("FilehorseProductPage") : page;
        }
        default:
            return {};
    }
}

void SupportMail::openURL(quint8 code) {
    if (code == 1) {
        // A held Alt (X11 only) adds the preferences, as the Option key does elsewhere.
        sendSupportRequestMail(QStringLiteral("<Insert Support Request Here>"),
                               QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
        return;
    }
    if (code == 2) {
        openMail(ProblemReport::betaRequest(services_.alerts.appName(), infoText("FeedbackEmail")));
        return;
    }
    const QString page = pageAddress(code);
    if (page.isEmpty()) {
        log_message(5, QStringLiteral("Info: no page for link %1").arg(code));
        return;
    }
    if (!services_.opener.open(QUrl(page))) {
        log_message(3, QStringLiteral("Error: could not open %1").arg(page));
    }
}

bool SupportMail::openMail(const MailMessage& mail) {
    if (mail.recipient.isEmpty()) {
        // This build has no support address: there is nobody to write to.
        log_message(3,
                    QStringLiteral("Error: no recipient configured for \"%1\"").arg(mail.subject));
        return false;
    }
    const QUrl address = QUrl::fromEncoded(ProblemReport::mailtoAddress(mail));
    if (services_.opener.open(address)) {
        return true;
    }
    const int answer = services_.alerts.alert(
        localized(QStringLiteral("No E-Mail Program")),
        localized(QStringLiteral("No e-mail program is set up to open this message. You can copy "
                                 "its text and send it to %1 yourself."))
            .arg(mail.recipient),
        localized(QStringLiteral("Copy Text")), localized(QStringLiteral("Cancel")));
    if (answer == kAlertFirstButton) {
        QGuiApplication::clipboard()->setText(ProblemReport::plainText(mail));
    }
    return false;
}

void SupportMail::alert_feedback(const QString& message, const QString& details, bool fatal) {
    log_message(3, QStringLiteral("alert_feedback %1 %2").arg(message, details));
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        // Waiting for the main thread from the main thread would never end.
        feedbackOnMain(message, details, fatal);
        return;
    }
    QMetaObject::invokeMethod(
        app, [this, message, details, fatal] { feedbackOnMain(message, details, fatal); },
        Qt::BlockingQueuedConnection);
}

void SupportMail::feedbackOnMain(const QString& message, const QString& details, bool fatal) {
    const ReportFacts facts = services_.facts();
    const MailMessage report =
        ProblemReport::problemReport(facts, supportAddress(), message, details, fatal);
    const int answer = services_.alerts.alert(
        fatal ? localized(QStringLiteral("Fatal Error")) : localized(QStringLiteral("Error")),
        ProblemReport::dialogText(message, details), localized(QStringLiteral("Send to support")),
        fatal ? localized(QStringLiteral("Quit")) : localized(QStringLiteral("Continue")));
    if (answer == kAlertFirstButton) {
        openMail(report);
    }
    if (fatal) {
        services_.exit(1);
    }
}

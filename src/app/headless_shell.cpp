#include "app/headless_shell.h"

#include "delivery/dx_email_sender.h"

#include "ext/text.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

namespace {

QString oneLine(QString text) {
    return text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
}

}  // namespace

int LoggedAlerts::alert_apptitled(const QString& message, const QString& defaultButton,
                                  const QString& alternateButton, const QString& otherButton) {
    QStringList buttons;
    for (const QString& title : {defaultButton, alternateButton, otherButton}) {
        if (!title.isEmpty()) {
            buttons.append(title);
        }
    }
    if (buttons.isEmpty()) {
        buttons.append(QStringLiteral("OK"));
    }
    log_.log_message(3, QStringLiteral("Alert: %1 - %2").arg(oneLine(appName_), oneLine(message)));
    log_.log_message(3,
                     QStringLiteral("Alert: buttons %1").arg(buttons.join(QStringLiteral(", "))));
    constexpr int kFirstButton = 1000;
    log_.log_message(3, QStringLiteral("Alert: finished %1").arg(kFirstButton));
    return kFirstButton;
}

void DesktopNotifications::deliverNotification(const QString& title, const QString& text,
                                               const QString& imageName) {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        sendOverSessionBus(title, text, imageName)) {
        return;
    }
    log_.log_message(5, QStringLiteral("Notification: %1 - %2").arg(title, oneLine(text)));
}

bool DesktopNotifications::sendOverSessionBus(const QString& title, const QString& text,
                                              const QString& imageName) {
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(service).value()) {
        return false;
    }
    QVariantMap hints;
    if (const std::optional<QString> image = namedImage(imageName)) {
        hints.insert(QStringLiteral("image-path"), *image);
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    call << appName_ << quint32(0) << QString() << title << text << QStringList() << hints
         << qint32(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        log_.log_message(
            3,
            QStringLiteral("Error:    desktop notification failed: %1").arg(reply.errorMessage()));
        return false;
    }
    return true;
}

int RelayMailSender::sendMailWithCGI(const QString& body, const QString& subject,
                                     const std::optional<QString>& to, float timeout,
                                     bool checkBlocklists, bool testOnly) {
    return DXEmailSender::shared().sendMailWithCGI(body, subject, to, timeout, checkBlocklists,
                                                   testOnly);
}

void NoRatingWindow::showRatingWindow(const QString& questionText) {
    log_.log_message(
        6, QStringLiteral("Info: rating request not shown without windows: %1").arg(questionText));
}

void LoggedFeedbackAlert::alert_feedback(const QString& message, const QString& details,
                                         bool fatal) {
    log_.log_message(3, QStringLiteral("Alert Feedback: %1 - %2%3")
                            .arg(oneLine(message), oneLine(details),
                                 fatal ? QStringLiteral(" (fatal)") : QString()));
    log_.log_message(3, QStringLiteral("Alert Feedback: not sent (no one to agree headless)"));
}

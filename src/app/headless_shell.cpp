// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless_shell.h"

#include "app/session_bus_module.h"
#include "delivery/dx_email_sender.h"

#include "ext/modules.h"
#include "ext/text.h"

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
    if (fallback && fallback(title, text)) {
        return;
    }
    log_.log_message(5, QStringLiteral("Notification: %1 - %2").arg(title, oneLine(text)));
}

void DesktopNotifications::deliverNotificationWithAction(const QString& title, const QString& text,
                                                         const QString& imageName,
                                                         const QString& label,
                                                         std::function<void()> action) {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        sendOverSessionBus(title, text, imageName, label, std::move(action))) {
        return;
    }
    deliverNotification(title, text, imageName);
}

bool DesktopNotifications::sendOverSessionBus(const QString& title, const QString& text,
                                              const QString& imageName, const QString& label,
                                              std::function<void()> action) {
    static SessionBusModule* const bus =
        moduleInstance<SessionBusModule>(kSessionBusModuleName, kSessionBusModuleEntry);
    if (bus == nullptr) {
        return false;
    }
    QString error;
    const QString image =
        imageName.isEmpty() ? QString() : namedImage(imageName).value_or(QString());
    const SessionBusModule::Delivery delivery =
        bus->notify({appName_, title, text, image, clicked, label, std::move(action)}, error);
    if (delivery == SessionBusModule::Delivery::Failed) {
        log_.log_message(3, QStringLiteral("Error:    desktop notification failed: %1").arg(error));
    }
    return delivery == SessionBusModule::Delivery::Delivered;
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

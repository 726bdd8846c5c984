// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop_alerts.h"

#include "support/alerts.h"
#include "support/support_mail.h"

int SupportAlerts::alert_apptitled(const QString& message, const QString& defaultButton,
                                   const QString& alternateButton, const QString& otherButton) {
    return alerts_.alert_apptitled(message, defaultButton, alternateButton, otherButton);
}

int SupportAlerts::alert(const QString& title, const QString& message, const QString& defaultButton,
                         const QString& alternateButton, const QString& otherButton) {
    return alerts_.alert(title, message, defaultButton, alternateButton, otherButton);
}

void SupportFeedbackAlert::alert_feedback(const QString& message, const QString& details,
                                          bool fatal) {
    mail_.alert_feedback(message, details, fatal);
}

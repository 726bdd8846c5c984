// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop_alerts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

int MessageBoxAlerts::alert_apptitled(const QString& message, const QString& defaultButton,
                                      const QString& alternateButton, const QString& otherButton) {
    return alert(appName_, message, defaultButton, alternateButton, otherButton);
}

int MessageBoxAlerts::alert(const QString& title, const QString& message,
                            const QString& defaultButton, const QString& alternateButton,
                            const QString& otherButton) {
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(title);
    box.setText(title);
    box.setInformativeText(message);
    QList<QAbstractButton*> buttons;
    const QString first = defaultButton.isEmpty() ? QStringLiteral("OK") : defaultButton;
    buttons.append(box.addButton(first, QMessageBox::AcceptRole));
    if (!alternateButton.isEmpty()) {
        buttons.append(box.addButton(alternateButton, QMessageBox::RejectRole));
    }
    if (!otherButton.isEmpty()) {
        buttons.append(box.addButton(otherButton, QMessageBox::ActionRole));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.constFirst()));
    log_.log_message(5, QStringLiteral("Alert: %1 - %2").arg(title, message));
    box.exec();
    // Closing the box without a button counts as the last button shown.
    const qsizetype index = buttons.indexOf(box.clickedButton());
    const int result = 1000 + int(index < 0 ? buttons.size() - 1 : index);
    log_.log_message(5, QStringLiteral("Alert: finished %1").arg(result));
    return result;
}

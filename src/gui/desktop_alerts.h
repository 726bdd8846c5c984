// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"

#include <QString>

// Modal alerts of the desktop: the controller's application-titled ones and
// the window actions' titled ones. Answers 1000, 1001, 1002 for the first,
// second and third button.
class DesktopAlerts : public AlertPresenter {
  public:
    virtual int alert(const QString& title, const QString& message, const QString& defaultButton,
                      const QString& alternateButton, const QString& otherButton) = 0;
};

// Alerts as message boxes, each logged with its title, message and answer.
class MessageBoxAlerts final : public DesktopAlerts {
  public:
    MessageBoxAlerts(Logger& log, QString appName) : log_(log), appName_(std::move(appName)) {}

    int alert_apptitled(const QString& message, const QString& defaultButton,
                        const QString& alternateButton, const QString& otherButton) override;
    int alert(const QString& title, const QString& message, const QString& defaultButton,
              const QString& alternateButton, const QString& otherButton) override;

  private:
    Logger& log_;
    QString appName_;
};

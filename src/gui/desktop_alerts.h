// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"

#include <QString>

class Alerts;
class SupportMail;

// Modal alerts of the desktop: the controller's application-titled ones and
// the window actions' titled ones. Answers 1000, 1001, 1002 for the first,
// second and third button.
class DesktopAlerts : public AlertPresenter {
  public:
    virtual int alert(const QString& title, const QString& message, const QString& defaultButton,
                      const QString& alternateButton, const QString& otherButton) = 0;
};

// The support library's dialogs (logged with title, message and answer).
class SupportAlerts final : public DesktopAlerts {
  public:
    explicit SupportAlerts(Alerts& alerts) : alerts_(alerts) {}

    int alert_apptitled(const QString& message, const QString& defaultButton,
                        const QString& alternateButton, const QString& otherButton) override;
    int alert(const QString& title, const QString& message, const QString& defaultButton,
              const QString& alternateButton, const QString& otherButton) override;

  private:
    Alerts& alerts_;
};

// The evaluation's problem dialog about unexpected drive data: the support
// library's problem report, which the user may send to the maker.
class SupportFeedbackAlert final : public FeedbackAlert {
  public:
    explicit SupportFeedbackAlert(SupportMail& mail) : mail_(mail) {}
    void alert_feedback(const QString& message, const QString& details, bool fatal) override;

  private:
    SupportMail& mail_;
};

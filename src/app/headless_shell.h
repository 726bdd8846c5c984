// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"
#include "app/usage_counting.h"

#include <QString>
#include <QStringList>

#include <functional>

// The check cycle's services for a process without windows.

// Records the icons and tooltip instead of drawing them.
class HeadlessStatusDisplay final : public StatusDisplay {
  public:
    void setTemplateSetting(int setting) override { templateSetting = setting; }
    void setMenubarIcon(const QString& imageName) override { menubarIcon = imageName; }
    void setDockIcon(const QString& imageName) override { dockIcon = imageName; }
    void setMenuTooltip(const QString& text) override { menuTooltip = text; }

    int templateSetting = 0;
    QString menubarIcon;
    QString dockIcon;
    QString menuTooltip;
};

// An alert nobody can see: logged with its title, message and buttons, and
// answered with the first button.
class LoggedAlerts final : public AlertPresenter {
  public:
    LoggedAlerts(Logger& log, QString appName) : log_(log), appName_(std::move(appName)) {}
    int alert_apptitled(const QString& message, const QString& defaultButton,
                        const QString& alternateButton, const QString& otherButton) override;

  private:
    Logger& log_;
    QString appName_;
};

// A desktop notification over the session bus (org.freedesktop.Notifications)
// when there is one with a notification service; else the fallback, and
// without one (or when it declines) a log line.
class DesktopNotifications final : public UserNotifications {
  public:
    DesktopNotifications(Logger& log, QString appName) : log_(log), appName_(std::move(appName)) {}
    void deliverNotification(const QString& title, const QString& text,
                             const QString& imageName) override;
    void deliverNotificationWithAction(const QString& title, const QString& text,
                                       const QString& imageName, const QString& label,
                                       std::function<void()> action) override;

    // Called when the user clicks a notification; empty: notifications offer
    // no action (nothing could answer it).
    std::function<void()> clicked;
    // Shows the notification some other way when there is no notification
    // service; false when it cannot either.
    std::function<bool(const QString& title, const QString& text)> fallback;

  private:
    bool sendOverSessionBus(const QString& title, const QString& text, const QString& imageName,
                            const QString& label = {}, std::function<void()> action = {});

    Logger& log_;
    QString appName_;
};

// E-mail through the process-wide relay client.
class RelayMailSender final : public MailSender {
  public:
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool checkBlocklists,
                        bool testOnly) override;
};

// There is no rating window without a display: the request is only logged.
class NoRatingWindow final : public RatingPresenter {
  public:
    explicit NoRatingWindow(Logger& log) : log_(log) {}
    void showRatingWindow(const QString& questionText) override;

  private:
    Logger& log_;
};

// The problem dialog about unexpected drive data: logged, never answered
// with "send", since nobody could have agreed to send the drive's data.
class LoggedFeedbackAlert final : public FeedbackAlert {
  public:
    explicit LoggedFeedbackAlert(Logger& log) : log_(log) {}
    void alert_feedback(const QString& message, const QString& details, bool fatal) override;

  private:
    Logger& log_;
};

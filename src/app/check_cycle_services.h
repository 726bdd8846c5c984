// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/disk_enumeration.h"

#include <QString>

#include <functional>
#include <optional>

// What the check cycle hands its results to. Each is an interface so the same
// controller runs under the desktop shell, the headless monitor and tests.
// All are called on the main thread.

// Integer and text settings, read at every use (never cached by callers).
class ControllerSettings : public IntSettings {
  public:
    // The text under the key; the empty text when absent.
    virtual QString defaultString(const QString& key) = 0;
    // The text telling the user that damaged settings were reset, taken so
    // that it is told once; empty when there is nothing to tell.
    virtual QString takeSettingsDamageNotice() { return {}; }
};

// The disks a cycle walks, boot disk first.
class DiskSource {
  public:
    virtual ~DiskSource() = default;
    // Absent when the list cannot be made; the cycle then sees no disks.
    virtual std::optional<DiskList> mountedHarddisks(bool resolveBacking) = 0;
    // The node shown to the user ("/dev/nvme0n1"); empty when unknown.
    virtual QString deviceNode(int disk) = 0;
    // The drive's serial number, which per-drive choices are stored under;
    // empty when unknown.
    virtual QString serialNumber(int disk) {
        (void)disk;
        return {};
    }
};

// The dock and menu-bar icons and the status item's tooltip. Images are
// passed by resource name; the shell decides how (and whether) to draw them.
class StatusDisplay {
  public:
    virtual ~StatusDisplay() = default;
    // 0 never a template image, 1 only in the dark appearance, 2 always.
    virtual void setTemplateSetting(int setting) = 0;
    virtual void setMenubarIcon(const QString& imageName) = 0;
    virtual void setDockIcon(const QString& imageName) = 0;
    // Nothing happens while there is no status item.
    virtual void setMenuTooltip(const QString& text) = 0;
};

// A desktop notification (the notification centre's message).
class UserNotifications {
  public:
    virtual ~UserNotifications() = default;
    virtual void deliverNotification(const QString& title, const QString& text,
                                     const QString& imageName) = 0;
    // The same, offering a second action; where nothing can offer it, the
    // plain notification.
    virtual void deliverNotificationWithAction(const QString& title, const QString& text,
                                               const QString& imageName, const QString& label,
                                               std::function<void()> action) {
        (void)label;
        (void)action;
        deliverNotification(title, text, imageName);
    }
};

// Modal alerts: 1000 for the first button, 1001 the second, 1002 the third.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    // Titled with the application name; empty titles are left out.
    virtual int alert_apptitled(const QString& message, const QString& defaultButton,
                                const QString& alternateButton, const QString& otherButton) = 0;
};

// E-mail through the relay: a result code 0 (success) to 8; blocks until
// every recipient (addresses separated by line feeds) was tried.
class MailSender {
  public:
    virtual ~MailSender() = default;
    virtual int sendMailWithCGI(const QString& body, const QString& subject,
                                const std::optional<QString>& to, float timeout,
                                bool checkBlocklists, bool testOnly) = 0;
};

// Usage counting with the rating request.
class UsageCounter {
  public:
    virtual ~UsageCounter() = default;
    virtual void increaseUsagesBy(int uses, int allowRatingsWith, int requestFeedbackWith,
                                  const QString& feedbackText, bool allowFeedbackNow,
                                  bool forceFeedbackNow) = 0;
};

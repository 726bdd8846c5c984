#include "app/settings_defaults.h"

#include "foundation/defaults.h"

#include <mutex>

QVariantMap controllerFallbackDefaults() {
    return {
        {QStringLiteral("NotificationUseAlert"), 1},
        {QStringLiteral("NotificationUseEmail"), 0},
        {QStringLiteral("NotificationTriggerDecrease"), 1},
        {QStringLiteral("NotificationTriggerStatus"), 1},
        {QStringLiteral("NotificationTriggerStatusType"), 0},
        {QStringLiteral("NotificationStatusType"), 0},
        {QStringLiteral("NotificationUseEmailAddress"), QStringLiteral("")},
        {QStringLiteral("NotificationUseAlertType"), 2},
        {QStringLiteral("SSDCheckInterval"), 60},
        {QStringLiteral("ThresholdError"), 30},
        {QStringLiteral("ThresholdWarning"), 50},
        {QStringLiteral("IconsetDock"), 0},
        {QStringLiteral("IconsetMenubar"), 12},
        {QStringLiteral("AllowSSDSubmission"), 1},
        {QStringLiteral("WelcomeShown"), 0},
    };
}

QVariantMap visibilityManagerFallbackDefaults() {
    return {{QStringLiteral("DXVisibilityManagerValue"), 1}};
}

void installFallbackDefaults() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerDefaults(controllerFallbackDefaults());
        registerDefaults(visibilityManagerFallbackDefaults());
    });
}

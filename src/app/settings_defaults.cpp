// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_defaults.h"

#include "foundation/defaults.h"
#include "foundation/logging.h"

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

namespace {

SystemConfiguration& installedSystemConfiguration() {
    static SystemConfiguration config;
    return config;
}

}  // namespace

QVariantMap systemConfigurableKeys() {
    QVariantMap keys = controllerFallbackDefaults();
    // Set by hand only, so without a built-in default, but a fleet may want it.
    keys.insert(QStringLiteral("CheckAllDisks"), 0);
    // E-mail through the administrator's own means (the password never is a
    // setting: it is read from a private file or a systemd credential).
    for (const char* key :
         {"NotificationEmailTransport", "NotificationEmailSender", "NotificationSMTPServer",
          "NotificationSMTPUser", "NotificationSMTPPasswordFile", "NotificationSMTPCAFile",
          "NotificationSendmailPath", "NotificationEmailProgram"}) {
        keys.insert(QString::fromLatin1(key), QString());
    }
    return keys;
}

void installFallbackDefaults() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerDefaults(controllerFallbackDefaults());
        registerDefaults(visibilityManagerFallbackDefaults());
        // Registered after the built-in table, so the administrator's values win
        // over it; the user's stored values still win over both.
        SystemConfiguration& config = installedSystemConfiguration();
        config = readSystemConfiguration(systemConfigurationPath(), systemConfigurableKeys());
        registerDefaults(config.values);
        for (const QString& problem : config.problems) {
            log_message(3, QStringLiteral("Error: system configuration %1").arg(problem));
        }
    });
}

void reloadSystemConfiguration() {
    installFallbackDefaults();
    SystemConfiguration& config = installedSystemConfiguration();
    SystemConfiguration fresh =
        readSystemConfiguration(systemConfigurationPath(), systemConfigurableKeys());
    // The fallback layer only grows: a key the file no longer sets gets its
    // built-in value back, or the value an absent key reads as.
    const QVariantMap builtIn = controllerFallbackDefaults();
    QVariantMap restored;
    for (auto it = config.values.cbegin(); it != config.values.cend(); ++it) {
        if (!fresh.values.contains(it.key())) {
            restored.insert(it.key(), builtIn.contains(it.key())
                                          ? builtIn.value(it.key())
                                          : QVariant(QMetaType(it.value().typeId())));
        }
    }
    registerDefaults(restored);
    registerDefaults(fresh.values);
    for (const QString& problem : fresh.problems) {
        log_message(3, QStringLiteral("Error: system configuration %1").arg(problem));
    }
    config = std::move(fresh);
}

const SystemConfiguration& systemConfiguration() {
    return installedSystemConfiguration();
}

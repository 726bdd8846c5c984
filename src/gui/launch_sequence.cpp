// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/launch_sequence.h"

void LaunchSequence::willFinishLaunching() {
    services_.installFallbackDefaults();
    services_.createSupportLibrary();
    services_.openLogFile(QStringLiteral("Ostrivane.log"), kLogFileLimit, kLogFileLevel);
    services_.createController();
    if (services_.defaultInt(QStringLiteral("AllowSSDSubmission")) == 1) {
        services_.sendLaunchPing();
    }
}

void LaunchSequence::didFinishLaunching() {
    services_.setVersionTexts();
    services_.createVisibilityManager();
    services_.createLoginItemManager();
    services_.checkIntervalChangedByController();
    services_.changeIconset();
    if (services_.defaultInt(QStringLiteral("WelcomeAssistantFinished")) == 0) {
        services_.showAssistant();
    } else if (services_.defaultInt(QStringLiteral("WelcomeShown")) == 0) {
        services_.openMainWindowAfter(kFirstOpenDelayMs);
        services_.setDefaultInt(QStringLiteral("WelcomeShown"), 1);
    }
}

void LaunchSequence::finishSetup() {
    services_.closeAssistant();
    if (services_.defaultInt(QStringLiteral("AssistantAutostart")) != 0) {
        services_.setLaunchesAtLogin(true);
    }
    if (services_.defaultInt(QStringLiteral("AssistantHidedock")) != 0) {
        services_.setVisibilitySetting(2);
    }
    services_.setDefaultInt(QStringLiteral("WelcomeAssistantFinished"), 1);
    services_.synchronizeSettings();
    didFinishLaunching();
}

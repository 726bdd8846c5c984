// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Everything the desktop start-up touches, so the order can be checked
// without a display, a settings store or drives.
class LaunchServices {
  public:
    virtual ~LaunchServices() = default;

    virtual qint64 defaultInt(const QString& key) = 0;
    virtual void setDefaultInt(const QString& key, qint64 value) = 0;
    virtual void synchronizeSettings() = 0;

    virtual void installFallbackDefaults() = 0;
    virtual void createSupportLibrary() = 0;
    virtual void openLogFile(const QString& fileName, qint64 maxSize, int maxFileLevel) = 0;
    // The controller with the disks, settings and shell services behind it.
    virtual void createController() = 0;
    virtual void sendLaunchPing() = 0;

    virtual void setVersionTexts() = 0;
    virtual void createVisibilityManager() = 0;
    virtual void createLoginItemManager() = 0;
    virtual void checkIntervalChangedByController() = 0;
    virtual void changeIconset() = 0;
    virtual void showAssistant() = 0;
    virtual void closeAssistant() = 0;
    virtual void openMainWindowAfter(int milliseconds) = 0;

    virtual void setLaunchesAtLogin(bool launches) = 0;
    virtual void setVisibilitySetting(int setting) = 0;
};

// The application's start-up and the end of the welcome assistant, in the
// order the rest of the program relies on: the log is open before anything
// can log, the first check runs before the icons are chosen, and the main
// window opens by itself only once after the assistant.
class LaunchSequence {
  public:
    explicit LaunchSequence(LaunchServices& services) : services_(services) {}

    // Before the event loop: defaults, support library, log file, launch ping.
    void willFinishLaunching();
    // Managers, first check, icons, then the assistant or the main window.
    void didFinishLaunching();
    // The assistant's last button.
    void finishSetup();

    static constexpr qint64 kLogFileLimit = 26'214'400;
    static constexpr int kLogFileLevel = 5;
    static constexpr int kFirstOpenDelayMs = 500;

  private:
    LaunchServices& services_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/headless_app.h"
#include "app/store_settings.h"
#include "gui/launch_sequence.h"
#include "support/problem_report.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class DesktopAlerts;
class LoginItemManager;
class SupportMail;
class UpdateCheck;
class MainWindow;
class SettingsPane;
class QAction;
class QMenu;
class TrayWatcher;
class VisibilityManager;
#include "gui/welcome_assistant.h"

// The desktop application's controller: the monitoring controller with the
// tray, the taskbar presence, the windows and the dialogs around it.
class DesktopApp final : public QObject, private LaunchServices {
    Q_OBJECT

  public:
    struct Options {
        HeadlessApp::Options headless;
        // The tray's watcher; none: there is no session bus, so no tray.
        TrayWatcher* trayWatcher = nullptr;
        // The keyboard modifiers held now (Alt or Shift is the rescue).
        std::function<Qt::KeyboardModifiers()> modifiers;
        // The command an autostart entry runs.
        QString exec = QStringLiteral("ostrivane");
        // Support requests and product pages; none: only the pages named
        // in the information file open.
        SupportMail* support = nullptr;
        // The update check; none or not configured: no menu command.
        UpdateCheck* updates = nullptr;
        // The settings pane's test e-mail (the result code); none: the relay.
        std::function<int(const QString& to)> sendTestMail;
    };

    DesktopApp(Options options, Logger& log, DesktopAlerts& alerts, QObject* parent = nullptr);
    ~DesktopApp() override;

    // The whole start-up; the assistant or main window follow as the settings say.
    void launch();

    void openMainWindow();
    // The main window at its documentation: page 0 for a sender tagged 99, else page 1.
    void showHelp(const QObject* sender);
    // Asks before quitting; true when the user chose to quit.
    bool terminate();
    // Another launch asked for the application (`rescue`: as with a held Alt).
    void applicationShouldHandleReopen(bool rescue);
    void openURL(quint8 code);
    // What support messages tell about this program and machine.
    ReportFacts supportFacts();

    AppDelegate* controller() { return app_ ? &app_->controller() : nullptr; }
    VisibilityManager* visibilityManager() const { return visibility_.get(); }
    LoginItemManager* loginItemManager() const { return loginItems_.get(); }
    MainWindow* mainWindow() const { return mainWindow_.get(); }
    WelcomeAssistant* assistantWindow() const { return assistant_.data(); }
    QMenu* statusItemMenu() const { return statusItemMenu_.get(); }
    QString version() const { return version_; }
    QString build() const { return build_; }

    static QString quitMessage(int visibilitySetting);

  Q_SIGNALS:
    void quitRequested();

  private:
    class DisplayForwarder;

    qint64 defaultInt(const QString& key) override;
    void setDefaultInt(const QString& key, qint64 value) override;
    void synchronizeSettings() override;
    void installFallbackDefaults() override;
    void createSupportLibrary() override;
    void openLogFile(const QString& fileName, qint64 maxSize, int maxFileLevel) override;
    void createController() override;
    void sendLaunchPing() override;
    void setVersionTexts() override;
    void createVisibilityManager() override;
    void createLoginItemManager() override;
    void checkIntervalChangedByController() override;
    void changeIconset() override;
    void showAssistant() override;
    void closeAssistant() override;
    void openMainWindowAfter(int milliseconds) override;
    void setLaunchesAtLogin(bool launches) override;
    void setVisibilitySetting(int setting) override;

    SettingsPane* makeSettingsPane();
    void buildStatusItemMenu();
    void updateStatusItemMenu();
    void applyDockPresence();

    Options options_;
    Logger& log_;
    DesktopAlerts& alerts_;
    StoreSettings settings_;
    LaunchSequence sequence_;
    std::unique_ptr<DisplayForwarder> display_;
    // A recorded machine's history, apart from the user's own (outlives the app's file).
    std::unique_ptr<QTemporaryDir> machineState_;
    std::unique_ptr<HeadlessApp> app_;
    std::unique_ptr<VisibilityManager> visibility_;
    std::unique_ptr<LoginItemManager> loginItems_;
    std::unique_ptr<QMenu> statusItemMenu_;
    QList<QAction*> statusTextActions_;
    std::unique_ptr<MainWindow> mainWindow_;
    QPointer<WelcomeAssistant> assistant_;
    QString version_;
    QString build_;
    QString logFile_;
    QString historyFile_;
    bool darkMode_ = false;
};

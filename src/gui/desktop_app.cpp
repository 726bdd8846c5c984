// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop_app.h"

#include "app/settings_defaults.h"
#include "core/dx_server_logging.h"
#include "delivery/dx_email_sender.h"
#include "disks/platform/linux/linux_host_facts.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"
#include "gui/desktop_alerts.h"
#include "gui/login_item_manager.h"
#include "gui/main_window.h"
#include "gui/settings_pane.h"
#include "gui/tray_watcher.h"
#include "gui/visibility_manager.h"
#include "gui/welcome_assistant.h"
#include "support/support_mail.h"
#include "support/update_check.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>
#include <QTimer>

// The controller draws into whichever visibility manager is current: the
// assistant's end replaces the manager, the controller stays.
class DesktopApp::DisplayForwarder final : public StatusDisplay {
  public:
    explicit DisplayForwarder(DesktopApp& app) : app_(app) {}
    void setTemplateSetting(int setting) override {
        if (app_.visibility_) {
            app_.visibility_->setTemplateSetting(setting);
        }
    }
    void setMenubarIcon(const QString& imageName) override {
        if (app_.visibility_) {
            app_.visibility_->setMenubarIcon(imageName);
        }
    }
    void setDockIcon(const QString& imageName) override {
        if (app_.visibility_) {
            app_.visibility_->setDockIcon(imageName);
        }
    }
    void setMenuTooltip(const QString& text) override {
        if (app_.visibility_) {
            app_.visibility_->setMenuTooltip(text);
        }
    }

  private:
    DesktopApp& app_;
};

DesktopApp::DesktopApp(Options options, Logger& log, DesktopAlerts& alerts, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      log_(log),
      alerts_(alerts),
      sequence_(*this),
      display_(std::make_unique<DisplayForwarder>(*this)) {
    if (options_.trayWatcher != nullptr) {
        connect(options_.trayWatcher, &TrayWatcher::availabilityChanged, this,
                [this](bool available) {
                    if (visibility_) {
                        visibility_->setTrayAvailable(available);
                    }
                });
    }
}

DesktopApp::~DesktopApp() {
    // The windows and the tray refer to the controller: they go first.
    delete assistant_.data();
    mainWindow_.reset();
    visibility_.reset();
}

void DesktopApp::launch() {
    sequence_.willFinishLaunching();
    sequence_.didFinishLaunching();
}

qint64 DesktopApp::defaultInt(const QString& key) {
    return ::defaultInt(key);
}

void DesktopApp::setDefaultInt(const QString& key, qint64 value) {
    ::setDefaultInt(key, value);
}

void DesktopApp::synchronizeSettings() {
    ::synchronize();
}

void DesktopApp::installFallbackDefaults() {
    ::installFallbackDefaults();
}

void DesktopApp::createSupportLibrary() {
    // The tray item's id and title come from these.
    QGuiApplication::setApplicationName(WendleLib::shared().appName());
    QGuiApplication::setDesktopFileName(QStringLiteral("ostrivane"));
}

void DesktopApp::openLogFile(const QString& fileName, qint64 maxSize, int maxFileLevel) {
    const QString folder = WendleLib::shared().suppDir();
    if (folder.isEmpty()) {
        return;  // already reported by the support library; nowhere to log
    }
    // On a fresh installation the folder does not exist yet.
    QDir().mkpath(folder);
    logFile_ = folder + QLatin1Char('/') + fileName;
    log_open_file(logFile_, maxSize, quint8(maxFileLevel));
}

void DesktopApp::createController() {
    // Noted once: the icons chosen for a dark panel stay for the process.
    const QPalette palette = QApplication::palette();
    darkMode_ = palette.color(QPalette::Window).lightness() < 128;
    HeadlessApp::Options headless = options_.headless;
    headless.display = display_.get();
    headless.alerts = &alerts_;
    headless.darkMode = darkMode_;
    // A click on the notification opens the window, as the notification
    // centre's click does.
    headless.notificationClicked = [this] { openMainWindow(); };
    // Without a notification service, the tray's balloon when there is a tray.
    headless.notificationFallback = [this](const QString& title, const QString& text) {
        QSystemTrayIcon* item = visibility_ ? visibility_->statusItem() : nullptr;
        if (item == nullptr || !QSystemTrayIcon::supportsMessages()) {
            return false;
        }
        item->showMessage(title, text, QSystemTrayIcon::Warning);
        return true;
    };
    // The desktop records the health history as the monitor does; a recorded
    // machine's checks go to a file of their own, thrown away at the end.
    if (headless.historyPath.isEmpty()) {
        if (headless.machine.isEmpty()) {
            headless.historyPath = HealthHistory::defaultPath();
        } else {
            if (!machineState_) {
                machineState_ = std::make_unique<QTemporaryDir>();
            }
            if (machineState_->isValid()) {
                headless.historyPath = machineState_->filePath(QStringLiteral("history.sqlite3"));
            }
        }
    }
    historyFile_ = headless.historyPath;
    app_ = std::make_unique<HeadlessApp>(headless, log_);
    buildStatusItemMenu();
    connect(&app_->controller(), &AppDelegate::statusChanged, this,
            &DesktopApp::updateStatusItemMenu);
}

void DesktopApp::sendLaunchPing() {
    DXServerLogging::shared().log(QStringLiteral("linux-desktop"), QStringLiteral("ping"));
}

void DesktopApp::setVersionTexts() {
    const WendleLib& lib = WendleLib::shared();
    version_ =
        QStringLiteral("%1 %2").arg(localized(QStringLiteral("Version:")), lib.appVersionString());
    build_ =
        QStringLiteral("%1 %2").arg(localized(QStringLiteral("Build:"))).arg(lib.appBuildNumber());
}

void DesktopApp::createVisibilityManager() {
    const bool tray = options_.trayWatcher != nullptr && options_.trayWatcher->available();
    visibility_ =
        std::make_unique<VisibilityManager>(settings_, log_, tray, darkMode_, options_.modifiers);
    visibility_->setTemplateSetting(0);
    visibility_->setStatusItemMenu(statusItemMenu_.get());
    connect(visibility_.get(), &VisibilityManager::statusItemActivated, this,
            &DesktopApp::openMainWindow);
    connect(visibility_.get(), &VisibilityManager::dockPresenceChanged, this,
            &DesktopApp::applyDockPresence);
    applyDockPresence();
}

void DesktopApp::createLoginItemManager() {
    loginItems_ = std::make_unique<LoginItemManager>(QStringLiteral("ostrivane"), options_.exec);
}

void DesktopApp::checkIntervalChangedByController() {
    app_->controller().checkIntervalChanged(&app_->controller());
}

void DesktopApp::changeIconset() {
    app_->controller().changeIconset();
}

void DesktopApp::showAssistant() {
    if (assistant_.isNull()) {
        assistant_ = new WelcomeAssistant(settings_);
        assistant_->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(assistant_.data(), &WelcomeAssistant::finishSetup, this,
                [this] { sequence_.finishSetup(); });
    }
    assistant_->show();
    assistant_->raise();
    assistant_->activateWindow();
}

void DesktopApp::closeAssistant() {
    if (WelcomeAssistant* assistant = assistant_.data()) {
        assistant_.clear();
        assistant->close();
        // Called from the assistant's own button: it goes once that returned.
        assistant->deleteLater();
    }
}

void DesktopApp::openMainWindowAfter(int milliseconds) {
    QTimer::singleShot(milliseconds, this, &DesktopApp::openMainWindow);
}

void DesktopApp::setLaunchesAtLogin(bool launches) {
    if (loginItems_) {
        loginItems_->setLaunchesAtLogin(launches);
    }
}

void DesktopApp::setVisibilitySetting(int setting) {
    if (visibility_) {
        visibility_->setVisibilitySetting(quint8(setting));
    }
}

void DesktopApp::buildStatusItemMenu() {
    statusItemMenu_ = std::make_unique<QMenu>();
    for (int line = 0; line < 3; ++line) {
        QAction* text = statusItemMenu_->addAction(QString());
        text->setEnabled(false);
        statusTextActions_.append(text);
    }
    statusItemMenu_->addSeparator();
    QAction* check = statusItemMenu_->addAction(localized(QStringLiteral("Check now")));
    check->setProperty("tag", 66);
    connect(check, &QAction::triggered, this,
            [this, check] { app_->controller().checkIntervalChanged(check); });
    connect(statusItemMenu_->addAction(localized(QStringLiteral("Open Ostrivane"))),
            &QAction::triggered, this, &DesktopApp::openMainWindow);
    if (options_.updates != nullptr && options_.updates->configured()) {
        connect(statusItemMenu_->addAction(localized(QStringLiteral("Check for Updates…"))),
                &QAction::triggered, this, [this] { options_.updates->checkForUpdatesAction(); });
    }
    statusItemMenu_->addSeparator();
    connect(statusItemMenu_->addAction(localized(QStringLiteral("Quit"))), &QAction::triggered,
            this, [this] { terminate(); });
    updateStatusItemMenu();
}

void DesktopApp::updateStatusItemMenu() {
    const AppDelegate& controller = app_->controller();
    const QString texts[] = {controller.statusSummaryText(), controller.statusDetailText(),
                             controller.statusTimeText()};
    for (int line = 0; line < 3; ++line) {
        statusTextActions_[line]->setText(texts[line]);
        statusTextActions_[line]->setVisible(!texts[line].isEmpty());
    }
}

void DesktopApp::applyDockPresence() {
    if (mainWindow_ && visibility_) {
        mainWindow_->setInTaskbar(visibility_->dockShownInTaskbar());
    }
}

void DesktopApp::openMainWindow() {
    if (!app_) {
        return;
    }
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<MainWindow>(
            app_->controller(), MainWindow::Texts{version_, build_, logFile_, historyFile_},
            [this](quint8 code) { openURL(code); });
        mainWindow_->setSettingsPane(makeSettingsPane());
        mainWindow_->toolbarClicked(0);
        applyDockPresence();
    }
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
    app_->controller().increaseUsages(false, true);
}

SettingsPane* DesktopApp::makeSettingsPane() {
    SettingsPane::Services services{app_->controller(), alerts_};
    services.setVisibilitySetting = [this](int setting) { setVisibilitySetting(setting); };
    // The window comes back once the taskbar presence has changed.
    services.changeAppVisibility = [this] { openMainWindowAfter(1000); };
    services.launchesAtLogin = [this] { return loginItems_ && loginItems_->launchesAtLogin(); };
    services.setLaunchesAtLogin = [this](bool launches) { setLaunchesAtLogin(launches); };
    services.sendTestMail = options_.sendTestMail ? options_.sendTestMail : [](const QString& to) {
        return DXEmailSender::shared().sendMailWithCGI(
            localized(QString::fromLatin1(DXEmailSender::kTestBody)),
            QString::fromLatin1(DXEmailSender::kTestSubject), to, 10, false, false);
    };
    services.serverLog = [](const QString& message, const QString& file) {
        DXServerLogging::shared().log(message, file);
    };
    return new SettingsPane(std::move(services));
}

void DesktopApp::showHelp(const QObject* sender) {
    openMainWindow();
    if (mainWindow_) {
        mainWindow_->showHelp(sender);
    }
}

QString DesktopApp::quitMessage(int visibilitySetting) {
    const QString advice =
        visibilitySetting == 1 || visibilitySetting == 3
            ? localized(QStringLiteral("To have Ostrivane running all the time without wasting "
                                       "space in the Dock consider changing the preferences to "
                                       "display only in the Menubar. "))
            : QString();
    return localized(QStringLiteral("Ostrivane can only check your SSD health while it is "
                                    "running. %1Are you sure you want to quit Ostrivane?"))
        .arg(advice);
}

bool DesktopApp::terminate() {
    const int setting = visibility_ ? visibility_->visibilitySetting() : 0;
    const int answer =
        alerts_.alert(localized(QStringLiteral("Quit Ostrivane?")), quitMessage(setting),
                      localized(QStringLiteral("Quit Ostrivane")),
                      localized(QStringLiteral("Continue running")), {});
    if (answer != 1000) {
        return false;
    }
    Q_EMIT quitRequested();
    return true;
}

void DesktopApp::applicationShouldHandleReopen(bool rescue) {
    if (!visibility_) {
        return;  // still starting: the start-up opens what it should
    }
    visibility_->handleAppReopen(rescue);
    openMainWindow();
}

ReportFacts DesktopApp::supportFacts() {
    if (!app_) {
        return ReportFacts::forRunningApp({}, {}, true);
    }
    DXHostInformation& host = app_->host();
    return ReportFacts::forRunningApp(host.machineType(), host.host().macAddress(),
                                      host.host().isUserAdmin());
}

void DesktopApp::openURL(quint8 code) {
    if (options_.support != nullptr) {
        options_.support->openURL(code);
        return;
    }
    const QVariantMap info = WendleLib::shared().infoDictionary();
    QString page;
    if (code == 3) {
        page = info.value(QStringLiteral("VendorProductPage")).toString();
    } else if (code == 4) {
        page = info.value(QStringLiteral("StoreProductPage")).toString();
    }
    if (page.isEmpty()) {
        log_.log_message(5, QStringLiteral("Info: no page for link %1").arg(code));
        return;
    }
    QDesktopServices::openUrl(QUrl(page));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop_app.h"
#include "disks/drive_access.h"
#include "gui/access_advice_logger.h"
#include "gui/attribute_popup.h"
#include "gui/desktop_alerts.h"
#include "gui/login_item_manager.h"
#include "gui/main_window.h"
#include "gui/ssd_table_model.h"
#include "gui/tray_watcher.h"
#include "gui/visibility_manager.h"
#include "gui/welcome_assistant.h"
#include "support/message_box_runner.h"
#include "support/update_check.h"

#include "app/process_logger.h"
#include "app/store_settings.h"
#include "ext/localization.h"
#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"
#include "gui_test_support.h"
#include "private_bus.h"

#include <QAction>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// Records every dialog and answers with the scripted button.
class ScriptedAlerts final : public DesktopAlerts {
  public:
    int alert_apptitled(const QString& message, const QString&, const QString&,
                        const QString&) override {
        messages.append(message);
        return 1000;
    }
    int alert(const QString& title, const QString& message, const QString& defaultButton,
              const QString& alternateButton, const QString&) override {
        titles.append(title);
        messages.append(message);
        buttons.append(defaultButton + QLatin1Char('|') + alternateButton);
        return answer;
    }
    int answer = 1000;
    QStringList titles, messages, buttons;
};

const QString kDemo = QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo");

class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* key :
             {"WelcomeAssistantFinished", "WelcomeShown", "AssistantAutostart", "AssistantHidedock",
              "DXVisibilityManagerValue", "DXVisibilityManagerOptionValue"}) {
            removeDefault(QString::fromLatin1(key));
        }
        // Nothing leaves the machine: no launch ping, no reports.
        setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
        setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
    }
    std::unique_ptr<DesktopApp> makeApp(Qt::KeyboardModifiers held = Qt::NoModifier,
                                        TrayWatcher* watcher = nullptr,
                                        UpdateCheck* updates = nullptr) {
        DesktopApp::Options options;
        options.updates = updates;
        options.trayWatcher = watcher;
        options.headless.machine = kDemo;
        // These tests look at what a finished check shows; reading the drives
        // off the main thread is tested with the controller.
        options.headless.workOffMainThread = false;
        options.modifiers = [this, held] { return heldNow ? heldNow : held; };
        options.exec = QStringLiteral("/usr/bin/ostrivane");
        return std::make_unique<DesktopApp>(options, log, alerts);
    }
    void startedBefore() {
        setDefaultInt(QStringLiteral("WelcomeAssistantFinished"), 1);
        setDefaultInt(QStringLiteral("WelcomeShown"), 1);
    }
    // A second start on the demo machine with the drive pane open.
    std::unique_ptr<DesktopApp> launchedWithWindow() {
        startedBefore();
        auto app = makeApp();
        app->launch();
        app->openMainWindow();
        QCoreApplication::processEvents();
        return app;
    }

    ProcessLogger log;
    ScriptedAlerts alerts;
    Qt::KeyboardModifiers heldNow = Qt::NoModifier;
};

TEST_F(Desktop, FirstStartShowsTheAssistantAndNoMainWindow) {
    auto app = makeApp();
    app->launch();
    ASSERT_NE(app->assistantWindow(), nullptr);
    EXPECT_TRUE(app->assistantWindow()->isVisible());
    EXPECT_EQ(app->mainWindow(), nullptr);
    EXPECT_EQ(app->controller()->ssdArray().size(), 2u);
    EXPECT_EQ(app->version(), QStringLiteral("Version: ") + WendleLib::shared().appVersionString());
}

TEST_F(Desktop, FinishSetupWithEachChoice) {
    for (const bool autostart : {false, true}) {
        for (const bool hidedock : {false, true}) {
            SetUp();
            auto app = makeApp();
            app->launch();
            WelcomeAssistant* assistant = app->assistantWindow();
            ASSERT_NE(assistant, nullptr);
            assistant->autostartBox()->setChecked(autostart);
            assistant->hidedockBox()->setChecked(hidedock);
            EXPECT_EQ(defaultInt(QStringLiteral("AssistantAutostart")), autostart ? 1 : 0);
            assistant->accept();

            EXPECT_EQ(app->assistantWindow(), nullptr);
            EXPECT_EQ(defaultInt(QStringLiteral("WelcomeAssistantFinished")), 1);
            EXPECT_EQ(app->loginItemManager()->launchesAtLogin(), autostart);
            EXPECT_EQ(app->visibilityManager()->visibilitySetting(), hidedock ? 2 : 1);
            EXPECT_EQ(defaultInt(QStringLiteral("WelcomeShown")), 1);
            // The main window follows half a second later.
            EXPECT_EQ(app->mainWindow(), nullptr);
            EXPECT_TRUE(waitUntil([&] { return app->mainWindow() != nullptr; }, 3000));
            app->loginItemManager()->setLaunchesAtLogin(false);
        }
    }
}

TEST_F(Desktop, ToolbarWithANumberOrATaggedControl) {
    startedBefore();
    auto app = makeApp();
    app->launch();
    EXPECT_EQ(app->mainWindow(), nullptr);  // built on first open only
    app->openMainWindow();
    MainWindow* window = app->mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->currentPane(), 0);
    EXPECT_EQ(window->logReloads(), 0);

    QSignalSpy shown(window, &MainWindow::logfileShown);
    window->toolbarClicked(2);
    EXPECT_EQ(window->currentPane(), 2);
    EXPECT_EQ(window->logReloads(), 1);
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 1; }));
    EXPECT_TRUE(window->logfileTextView()->toPlainText().contains(QStringLiteral("Games")));

    QAction* about = window->toolbar()->actions().at(3);
    window->toolbarClicked(about);
    EXPECT_EQ(window->currentPane(), 3);
    EXPECT_EQ(window->logReloads(), 1);
    QObject tagged;
    tagged.setProperty("tag", 2);
    window->toolbarClicked(&tagged);
    EXPECT_EQ(window->currentPane(), 2);
    EXPECT_EQ(window->logReloads(), 2);
    window->toolbarClicked(4);
    window->toolbarClicked(-1);
    EXPECT_EQ(window->currentPane(), 2);

    // Clicking the toolbar's own item does the same.
    window->toolbar()->actions().at(1)->trigger();
    EXPECT_EQ(window->currentPane(), 1);
    EXPECT_TRUE(window->toolbar()->actions().at(1)->isChecked());
    EXPECT_FALSE(window->toolbar()->actions().at(2)->isChecked());

    // Closing hides the window; the program goes on.
    window->close();
    EXPECT_FALSE(window->isVisible());
    app->openMainWindow();
    EXPECT_EQ(app->mainWindow(), window);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(Desktop, DoubleClickShowsTheSelectedDrivesAttributes) {
    auto app = launchedWithWindow();
    MainWindow* window = app->mainWindow();
    window->viewSSDClicked();
    EXPECT_FALSE(window->attributePopup()->isVisible());

    window->tableView()->selectRow(1);
    window->viewSSDClicked();
    EXPECT_TRUE(window->attributePopup()->isVisible());
    const SSD& games = *app->controller()->ssdArray().at(1);
    // The evaluated attributes, then what the drive says of its own wear.
    EXPECT_EQ(window->attributePopup()->text(), games.fullAttributeInformation() +
                                                    QStringLiteral("\n\n") +
                                                    games.ownWearSummary(Wording::Shown));
    EXPECT_TRUE(games.ownWearSummary(Wording::Shown)
                    .startsWith(QLatin1String("own wear indicator: 37 % used")));
    EXPECT_FALSE(games.fullAttributeInformation().isEmpty());
    window->attributePopup()->hide();

    // A new check replaces the list: the selection goes with it.
    app->controller()->performCheck();
    window->viewSSDClicked();
    EXPECT_FALSE(window->attributePopup()->isVisible());
}

TEST_F(Desktop, QuitAsksAndAdvisesOnTheDockOnlyWhenItIsShown) {
    startedBefore();
    auto app = makeApp();
    app->launch();
    QSignalSpy quit(app.get(), &DesktopApp::quitRequested);
    const QString advice = QStringLiteral(
        "To have Ostrivane running all the time without wasting space in the Dock consider "
        "changing the preferences to display only in the Menubar. ");
    for (const quint8 setting : {0, 1, 2, 3}) {
        app->visibilityManager()->setVisibilitySetting(setting);
        alerts.answer = 1001;
        EXPECT_FALSE(app->terminate());
        const QString message = alerts.messages.constLast();
        EXPECT_EQ(message.contains(advice), setting == 1 || setting == 3) << int(setting);
        EXPECT_EQ(message, QStringLiteral("Ostrivane can only check your SSD health while it is "
                                          "running. %1Are you sure you want to quit Ostrivane?")
                               .arg(setting % 2 ? advice : QString()));
    }
    EXPECT_EQ(alerts.titles.constLast(), QStringLiteral("Quit Ostrivane?"));
    EXPECT_EQ(alerts.buttons.constLast(), QStringLiteral("Quit Ostrivane|Continue running"));
    EXPECT_EQ(quit.size(), 0);
    alerts.answer = 1000;
    EXPECT_TRUE(app->terminate());
    EXPECT_EQ(quit.size(), 1);
}

TEST_F(Desktop, ReopenOpensTheWindowAndAHeldModifierUnhides) {
    startedBefore();
    setDefaultInt(QStringLiteral("DXVisibilityManagerValue"), 0);
    auto app = makeApp();
    app->launch();
    EXPECT_EQ(app->visibilityManager()->visibilitySetting(), 0);
    app->applicationShouldHandleReopen(false);
    ASSERT_NE(app->mainWindow(), nullptr);
    EXPECT_TRUE(app->mainWindow()->isVisible());
    EXPECT_EQ(app->visibilityManager()->visibilitySetting(), 0);

    heldNow = Qt::AltModifier;
    app->mainWindow()->close();
    app->applicationShouldHandleReopen(false);
    EXPECT_EQ(app->visibilityManager()->visibilitySetting(), 1);
    EXPECT_EQ(defaultInt(QStringLiteral("DXVisibilityManagerValue")), 1);
    EXPECT_TRUE(app->mainWindow()->isVisible());
    EXPECT_EQ(app->mainWindow()->windowType(), Qt::Window);

    // With a tray, "menu bar only" keeps the window out of the taskbar.
    app->visibilityManager()->setTrayAvailable(true);
    app->visibilityManager()->setVisibilitySetting(2);
    EXPECT_EQ(app->mainWindow()->windowType(), Qt::Tool);
    EXPECT_TRUE(app->mainWindow()->isVisible());
    app->visibilityManager()->setVisibilitySetting(3);
    EXPECT_EQ(app->mainWindow()->windowType(), Qt::Window);
}

TEST_F(Desktop, TheStatusMenuShowsTheStatusAndChecksNow) {
    startedBefore();
    auto app = makeApp();
    app->launch();
    QStringList texts;
    QAction* checkNow = nullptr;
    for (QAction* action : app->statusItemMenu()->actions()) {
        texts.append(action->text());
        if (action->property("tag").toInt() == 66) {
            checkNow = action;
        }
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Status: OK")));
    EXPECT_TRUE(texts.contains(QStringLiteral("SSD Health of your SSD(s) is fine!")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Open Ostrivane")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Quit")));
    // This build names no update feed: no update command.
    EXPECT_FALSE(texts.contains(QStringLiteral("Check for Updates…")));
    ASSERT_NE(checkNow, nullptr);
    EXPECT_EQ(checkNow->text(), QStringLiteral("Check now"));
    QSignalSpy checked(app->controller(), &AppDelegate::checkFinished);
    checkNow->trigger();
    EXPECT_EQ(checked.size(), 1);

    // The tray item carries the menu and the tooltip of the last check.
    VisibilityManager* visibility = app->visibilityManager();
    visibility->setTrayAvailable(true);
    visibility->setVisibilitySetting(3);
    ASSERT_NE(visibility->statusItem(), nullptr);
    EXPECT_EQ(visibility->statusItem()->contextMenu(), app->statusItemMenu());
    EXPECT_EQ(visibility->menuTooltip(),
              QStringLiteral("Ostrivane v%1\n\nDisk: Mirror, Système, /home Health: 93%\n"
                             "Disk: Games Health: 63%\n")
                  .arg(WendleLib::shared().appVersionString()));
    EXPECT_EQ(visibility->menubarIconName(), QStringLiteral("iconset_menu_13_ok"));
    EXPECT_EQ(visibility->dockIconName(), QStringLiteral("iconset_dock_1_ok"));
}

TEST_F(Desktop, TheTrayFollowsThePanelAndTheWindowItsTaskbarEntry) {
    PrivateBus bus;
    if (bus.address().isEmpty()) {
        GTEST_SKIP() << "no dbus-daemon";
    }
    startedBefore();
    setDefaultInt(QStringLiteral("DXVisibilityManagerValue"), 2);
    QDBusConnection connection =
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("desktop"));
    {
        TrayWatcher watcher(connection);
        auto app = makeApp(Qt::NoModifier, &watcher);
        app->launch();
        VisibilityManager* visibility = app->visibilityManager();
        app->openMainWindow();
        // Menu bar only, but no panel yet: the window stands in.
        EXPECT_EQ(visibility->statusItem(), nullptr);
        EXPECT_EQ(app->mainWindow()->windowType(), Qt::Window);

        QDBusConnection panel =
            QDBusConnection::connectToBus(bus.address(), QStringLiteral("panel"));
        ASSERT_TRUE(panel.registerService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return visibility->statusItem() != nullptr; }));
        EXPECT_EQ(app->mainWindow()->windowType(), Qt::Tool);
        EXPECT_TRUE(app->mainWindow()->isVisible());

        ASSERT_TRUE(panel.unregisterService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return visibility->statusItem() == nullptr; }));
        EXPECT_EQ(app->mainWindow()->windowType(), Qt::Window);
        ASSERT_TRUE(panel.registerService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return visibility->statusItem() != nullptr; }));
        QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
}

TEST(AccessAdvice, TheUserIsToldOnceHowToEnableTheService) {
    QStringList told;
    AccessAdviceLogger log([&told](const QString& advice) { told.append(advice); });
    log.log_message(3, QStringLiteral("Error: something else"));
    log.log_message(3, smartAccessAdvice());
    log.log_message(3, smartAccessAdvice());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.constFirst().startsWith(QStringLiteral("S.M.A.R.T. data can only be read")));
    EXPECT_TRUE(told.constFirst().contains(QStringLiteral("ostrivane-smart.socket")));
}

// The demo machine's two drives in the drive pane, no cell or title cut off.
void expectDemoDrivesUncut(MainWindow& window) {
    QTableView* table = window.tableView();
    const SSDTableModel* model = window.model();
    ASSERT_EQ(model->rowCount(), 2);
    const QStringList names{QStringLiteral("Mirror, Système, /home"), QStringLiteral("Games")};
    const QStringList health{QStringLiteral("93%"), QStringLiteral("63%")};
    const QFontMetrics metrics(table->font());
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(model->index(row, SSDTableModel::Name).data().toString(), names[row]);
        EXPECT_EQ(model->index(row, SSDTableModel::Health).data().toString(), health[row]);
        for (int column = 0; column < SSDTableModel::ColumnCount; ++column) {
            const QString text = model->index(row, column).data().toString();
            EXPECT_GE(table->columnWidth(column), metrics.horizontalAdvance(text) + 6)
                << "cut: " << text.toStdString();
        }
    }
    for (int column = 0; column < SSDTableModel::ColumnCount; ++column) {
        const QString title = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        EXPECT_GE(table->horizontalHeader()->sectionSize(column),
                  QFontMetrics(table->horizontalHeader()->font()).horizontalAdvance(title))
            << "cut: " << title.toStdString();
    }
}

// Renders the drive pane on the demo machine; the PNG is for people to look at.
TEST_F(Desktop, ScreenshotOfTheDrivePaneShowsEveryDriveUncut) {
    auto app = launchedWithWindow();
    MainWindow* window = app->mainWindow();
    const QString path = QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/main_window_drives.png");
    ASSERT_TRUE(window->grab().save(path));
    window->toolbarClicked(3);
    ASSERT_TRUE(
        window->grab().save(QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/main_window_about.png")));
    window->toolbarClicked(0);

    QTableView* table = window->tableView();
    const SSDTableModel* model = window->model();
    expectDemoDrivesUncut(*window);
    EXPECT_TRUE(window->summaryLabel()->text().startsWith(QStringLiteral("Status: OK\n")));
    EXPECT_EQ(model->index(1, SSDTableModel::Health).data(SSDTableModel::HealthStateRole), 3);
    setDefaultInt(QStringLiteral("ThresholdWarning"), 63);
    EXPECT_EQ(model->index(1, SSDTableModel::Health).data(SSDTableModel::HealthStateRole), 2);
    setDefaultInt(QStringLiteral("ThresholdError"), 63);
    EXPECT_EQ(model->index(1, SSDTableModel::Health).data(SSDTableModel::HealthStateRole), 1);
    removeDefault(QStringLiteral("ThresholdWarning"));
    removeDefault(QStringLiteral("ThresholdError"));

    table->selectRow(0);
    window->viewSSDClicked();
    AttributePopup* popup = window->attributePopup();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->text().contains(QStringLiteral("Wear_Levelling_Count")));
    ASSERT_TRUE(
        popup->grab().save(QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/attribute_popup.png")));
    popup->hide();
}

// German texts are longer; the pane must still show them whole, and the
// evaluation's reason must reach it translated.
TEST_F(Desktop, TheDrivePaneInGermanShowsTranslatedStatusesUncut) {
    ASSERT_TRUE(install_translation(QLocale(QLocale::German, QLocale::Germany)));
    const auto english = qScopeGuard([] { install_translation(QLocale(QLocale::English)); });
    auto app = launchedWithWindow();
    MainWindow* window = app->mainWindow();
    ASSERT_TRUE(
        window->grab().save(QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/main_window_drives_de.png")));
    expectDemoDrivesUncut(*window);
    const SSDTableModel* model = window->model();
    EXPECT_EQ(model->index(0, SSDTableModel::Status).data().toString(),
              QStringLiteral("93% (Wear_Levelling_Count: 93 [Schwelle: 0])"));
    EXPECT_TRUE(model->index(1, SSDTableModel::Status)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("eigene Verschleißanzeige: 37 % verbraucht")));
    // What is kept for records stays English.
    EXPECT_EQ(app->controller()->ssdArray().at(0)->status(),
              QStringLiteral("93% (Wear_Levelling_Count: 93 [threshold: 0])"));
    window->tableView()->selectRow(0);
    window->viewSSDClicked();
    EXPECT_TRUE(window->attributePopup()->text().contains(
        QStringLiteral("Reallocated_Sector_Count (5):\t100 [Schwelle: 10]")));
    window->attributePopup()->hide();
}

TEST_F(Desktop, ScreenshotOfTheAssistantPages) {
    StoreSettings settings;
    WelcomeAssistant assistant(settings);
    assistant.show();
    for (int page = 0; page < 3; ++page) {
        QCoreApplication::processEvents();
        ASSERT_TRUE(assistant.grab().save(
            QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/assistant_%1.png").arg(page)));
        if (page == 1) {
            EXPECT_TRUE(assistant.autostartBox()->isVisible());
            EXPECT_GE(assistant.autostartBox()->width(),
                      assistant.autostartBox()->sizeHint().width());
        }
        assistant.next();
    }
    EXPECT_TRUE(assistant.hidedockBox()->isVisible());
}

}  // namespace

TEST_F(Desktop, AConfiguredUpdateFeedAddsTheUpdateCommand) {
    startedBefore();
    MessageBoxRunner runner;
    Alerts dialogs(runner, QStringLiteral("Ostrivane"), QStringLiteral("1"));
    DesktopUrlOpener opener;
    UpdateCheck updates(dialogs, opener, QStringLiteral("https://127.0.0.1:1/feed"),
                        QStringLiteral("1"), 1, {});
    auto app = makeApp(Qt::NoModifier, nullptr, &updates);
    app->launch();
    QStringList texts;
    for (QAction* action : app->statusItemMenu()->actions()) {
        texts.append(action->text());
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Check for Updates…")));
}

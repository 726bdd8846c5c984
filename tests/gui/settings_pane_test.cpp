// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings_pane.h"

#include "app/app_delegate.h"
#include "app/process_logger.h"
#include "foundation/defaults.h"
#include "foundation/settings_store.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/login_item_manager.h"
#include "gui/main_window.h"
#include "gui/visibility_manager.h"
#include "gui_test_support.h"
#include "ui/on_off_switch.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

class AnsweringAlerts final : public DesktopAlerts {
  public:
    int alert_apptitled(const QString& message, const QString&, const QString&,
                        const QString&) override {
        messages.append(message);
        return answers.isEmpty() ? 1000 : answers.takeFirst();
    }
    int alert(const QString&, const QString& message, const QString&, const QString&,
              const QString&) override {
        messages.append(message);
        return 1000;
    }
    QList<int> answers;
    QStringList messages;
};

const QString kDemo = QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo");

const char* const kKeys[] = {"SSDCheckInterval",
                             "ThresholdWarning",
                             "ThresholdError",
                             "NotificationTriggerDecrease",
                             "NotificationTriggerStatus",
                             "NotificationTriggerStatusType",
                             "NotificationUseAlert",
                             "NotificationUseAlertType",
                             "NotificationUseEmail",
                             "NotificationUseEmailAddress",
                             "IconsetDock",
                             "IconsetMenubar",
                             "AllowSSDSubmission",
                             "CheckAllDisks",
                             "DXVisibilityManagerValue",
                             "DiagnosticsEnabled"};

class SettingsPaneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* key : kKeys) {
            removeDefault(QString::fromLatin1(key));
        }
        setDefaultInt(QStringLiteral("WelcomeAssistantFinished"), 1);
        setDefaultInt(QStringLiteral("WelcomeShown"), 1);
        setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
        setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
        DesktopApp::Options options;
        options.headless.machine = kDemo;
        options.headless.workOffMainThread = false;
        options.modifiers = [] { return Qt::NoModifier; };
        options.exec = QStringLiteral("/usr/bin/ostrivane");
        options.sendTestMail = [this](const QString& to) {
            mailedTo = to;
            mailedOnMainThread = QThread::currentThread() == qApp->thread();
            // Long enough for the progress sheet to be seen.
            QThread::msleep(150);
            return mailResult.load();
        };
        app = std::make_unique<DesktopApp>(options, log, alerts);
        app->launch();
        app->openMainWindow();
        app->mainWindow()->toolbarClicked(1);
        pane = qobject_cast<SettingsPane*>(app->mainWindow()->pane(1));
        ASSERT_NE(pane, nullptr);
    }
    void TearDown() override {
        if (app && app->loginItemManager()) {
            app->loginItemManager()->setLaunchesAtLogin(false);
        }
    }

    // As the user picks an entry.
    static void choose(QComboBox* box, const QVariant& value) {
        const int index = box->findData(value);
        ASSERT_GE(index, 0) << box->objectName().toStdString();
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
    static void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }
    OnOffSwitch* toggle(const char* key) { return pane->switchFor(QLatin1String(key)); }

    ProcessLogger log;
    AnsweringAlerts alerts;
    std::unique_ptr<DesktopApp> app;
    SettingsPane* pane = nullptr;
    QString mailedTo;
    bool mailedOnMainThread = true;
    std::atomic<int> mailResult{0};
};

TEST_F(SettingsPaneTest, ShowsTheFallbacksOfAFreshInstallation) {
    EXPECT_EQ(app->mainWindow()->pane(1)->objectName(), QStringLiteral("settingsView"));
    EXPECT_EQ(pane->intervalBox()->currentData().toInt(), 60);
    EXPECT_EQ(pane->warningBox()->value(), 50);
    EXPECT_EQ(pane->errorBox()->value(), 30);
    EXPECT_EQ(toggle("NotificationTriggerDecrease")->checkState(), Qt::Checked);
    EXPECT_EQ(toggle("NotificationUseEmail")->checkState(), Qt::Unchecked);
    EXPECT_EQ(pane->alertTypeBox()->currentData().toInt(), 2);
    EXPECT_EQ(pane->menuIconsetBox()->currentText(), QStringLiteral("Black Sign"));
    EXPECT_EQ(pane->dockIconsetBox()->currentData().toInt(), 0);
    EXPECT_EQ(pane->visibilityBox()->currentData().toInt(), 1);
    EXPECT_TRUE(pane->emailField()->toPlainText().isEmpty());
    EXPECT_FALSE(pane->testEmailButton()->isEnabled());
    EXPECT_FALSE(pane->emailHint()->isVisible());
}

TEST_F(SettingsPaneTest, EverySettingGoesFromThePaneToTheStore) {
    choose(pane->statusTypeBox(), 1);
    EXPECT_EQ(defaultInt(QStringLiteral("NotificationTriggerStatusType")), 1);
    choose(pane->alertTypeBox(), 0);
    EXPECT_EQ(defaultInt(QStringLiteral("NotificationUseAlertType")), 0);
    pane->warningBox()->setValue(60);
    pane->errorBox()->setValue(20);
    EXPECT_EQ(defaultInt(QStringLiteral("ThresholdWarning")), 60);
    EXPECT_EQ(defaultInt(QStringLiteral("ThresholdError")), 20);
    for (const char* key :
         {"NotificationTriggerDecrease", "NotificationTriggerStatus", "NotificationUseAlert",
          "NotificationUseEmail", "CheckAllDisks", "DiagnosticsEnabled"}) {
        const qint64 before = defaultInt(QLatin1String(key)) != 0;
        click(toggle(key));
        EXPECT_EQ(defaultInt(QLatin1String(key)), before ? 0 : 1) << key;
        click(toggle(key));
        EXPECT_EQ(defaultInt(QLatin1String(key)), before ? 1 : 0) << key;
    }
    pane->emailField()->setPlainText(QStringLiteral("anna@example.org\nbob@example.net"));
    EXPECT_EQ(defaultString(QStringLiteral("NotificationUseEmailAddress")),
              QStringLiteral("anna@example.org\nbob@example.net"));

    // Anonymous reports: on is exactly 1, half way (status changes only) 2.
    OnOffSwitch* reports = toggle("AllowSSDSubmission");
    EXPECT_TRUE(reports->allowsMixedState());
    click(reports);  // off -> half way
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 2);
    click(reports);
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 1);
    click(reports);
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 0);

    click(toggle("launchAtLogin"));
    EXPECT_TRUE(app->loginItemManager()->launchesAtLogin());
    EXPECT_TRUE(QFile::exists(app->loginItemManager()->userEntryPath()));
    click(toggle("launchAtLogin"));
    EXPECT_FALSE(app->loginItemManager()->launchesAtLogin());
}

TEST_F(SettingsPaneTest, AValueWrittenElsewhereShowsWithinASecond) {
    QProcess cli;
    cli.start(QStringLiteral(OSTRIVANE_CLI_PATH),
              {QStringLiteral("defaults"), QStringLiteral("write"),
               QStringLiteral("ThresholdWarning"), QStringLiteral("-int"), QStringLiteral("44")});
    ASSERT_TRUE(cli.waitForFinished(10000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(waitUntil([&] { return pane->warningBox()->value() == 44; }, 1000));

    struct External {
        const char* key;
        QVariant value;
        std::function<bool()> shown;
    };
    const External writes[] = {
        {"SSDCheckInterval", 240, [&] { return pane->intervalBox()->currentData() == 240; }},
        {"SSDCheckInterval", 7, [&] { return pane->intervalBox()->currentText() == "7"; }},
        {"ThresholdError", 12, [&] { return pane->errorBox()->value() == 12; }},
        {"NotificationTriggerStatus", 0,
         [&] { return toggle("NotificationTriggerStatus")->checkState() == Qt::Unchecked; }},
        {"NotificationTriggerStatusType", 1,
         [&] { return pane->statusTypeBox()->currentData() == 1; }},
        {"NotificationUseAlertType", 1, [&] { return pane->alertTypeBox()->currentData() == 1; }},
        {"NotificationUseEmail", 1,
         [&] { return toggle("NotificationUseEmail")->checkState() == Qt::Checked; }},
        {"NotificationUseEmailAddress", QStringLiteral("ops@example.com"),
         [&] { return pane->emailField()->toPlainText() == "ops@example.com"; }},
        {"IconsetDock", 2, [&] { return pane->dockIconsetBox()->currentData() == 2; }},
        {"IconsetMenubar", 4, [&] { return pane->menuIconsetBox()->currentText() == "Signs"; }},
        {"AllowSSDSubmission", 2,
         [&] { return toggle("AllowSSDSubmission")->checkState() == Qt::PartiallyChecked; }},
        {"CheckAllDisks", 1, [&] { return toggle("CheckAllDisks")->checkState() == Qt::Checked; }},
        {"DXVisibilityManagerValue", 3, [&] { return pane->visibilityBox()->currentData() == 3; }},
    };
    for (const External& write : writes) {
        setDefaultObject(QLatin1String(write.key), write.value);
        EXPECT_TRUE(waitUntil(write.shown, 1000)) << write.key;
    }
    // Hidden, the pane stops watching; shown again, it reads the store at once.
    app->mainWindow()->toolbarClicked(0);
    EXPECT_FALSE(pane->isWatchingStore());
    setDefaultInt(QStringLiteral("ThresholdError"), 13);
    app->mainWindow()->toolbarClicked(1);
    EXPECT_TRUE(pane->isWatchingStore());
    EXPECT_EQ(pane->errorBox()->value(), 13);

    // Shown from the store, the controls wrote nothing back.
    EXPECT_EQ(defaultInt(QStringLiteral("SSDCheckInterval")), 7);
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 2);
    // The e-mail address enables its controls through the bindings.
    EXPECT_TRUE(pane->emailField()->isEnabled());
    EXPECT_TRUE(pane->testEmailButton()->isEnabled());
}

TEST_F(SettingsPaneTest, ThresholdsThatDoNotLeaveWarningAboveErrorAreRefused) {
    SettingsStore& store = SettingsStore::shared();
    for (const int warning : {30, 20, 0}) {
        pane->warningBox()->setValue(warning);
        EXPECT_EQ(pane->warningBox()->value(), 50) << warning;
        EXPECT_FALSE(pane->thresholdMessage()->isHidden());
        EXPECT_TRUE(pane->thresholdMessage()->text().contains(QStringLiteral("must be above")));
    }
    for (const int error : {50, 100}) {
        pane->errorBox()->setValue(error);
        EXPECT_EQ(pane->errorBox()->value(), 30) << error;
    }
    // Nothing stored at all, not even the fallbacks.
    EXPECT_FALSE(store.storedValue(QStringLiteral("ThresholdWarning")).isValid());
    EXPECT_FALSE(store.storedValue(QStringLiteral("ThresholdError")).isValid());

    pane->errorBox()->setValue(49);
    EXPECT_EQ(defaultInt(QStringLiteral("ThresholdError")), 49);
    EXPECT_TRUE(pane->thresholdMessage()->isHidden());
    EXPECT_FALSE(store.storedValue(QStringLiteral("ThresholdWarning")).isValid());
}

TEST_F(SettingsPaneTest, AnIntervalRestartsTheTimerAndOnlyCheckNowChecks) {
    AppDelegate& controller = *app->controller();
    QSignalSpy checks(&controller, &AppDelegate::checkFinished);
    choose(pane->intervalBox(), 15);
    EXPECT_EQ(defaultInt(QStringLiteral("SSDCheckInterval")), 15);
    EXPECT_EQ(controller.checkTimer()->interval(), 15 * 60 * 1000);
    EXPECT_EQ(checks.count(), 0);
    EXPECT_EQ(pane->checkNowButton()->property("tag").toInt(), 66);
    click(pane->checkNowButton());
    EXPECT_TRUE(waitUntil([&] { return checks.count() == 1; }));
    EXPECT_EQ(controller.checkTimer()->interval(), 15 * 60 * 1000);
}

TEST_F(SettingsPaneTest, TestEmailOnlyWithValidAddressesAndItsAlerts) {
    QPlainTextEdit* field = pane->emailField();
    QPushButton* button = pane->testEmailButton();
    field->setPlainText(QStringLiteral("anna@example"));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(pane->emailHint()->isHidden());
    field->setPlainText(QStringLiteral("anna@example.org\nnot an address"));
    EXPECT_FALSE(button->isEnabled());
    field->setPlainText(QStringLiteral("anna@example.org"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(pane->emailHint()->isHidden());

    // Cancel sends nothing.
    alerts.answers = {1001};
    click(button);
    ASSERT_EQ(alerts.messages.size(), 1);
    EXPECT_TRUE(alerts.messages[0].startsWith(QStringLiteral("Click OK to test the e-mail")));
    QCoreApplication::processEvents();
    EXPECT_TRUE(mailedTo.isEmpty());

    // A failure names the result; the send runs on a worker behind a sheet.
    mailResult = 8;
    QSignalSpy finished(pane, &SettingsPane::testEmailFinished);
    click(button);
    EXPECT_FALSE(button->isEnabled());  // no second send meanwhile
    QWidget* window = pane->window();
    EXPECT_TRUE(waitUntil([&] {
        return window->property("WDProgressSheet").isValid() &&
               window->property("WDProgressSheet").value<QObject*>();
    }));
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    EXPECT_EQ(mailedTo, QStringLiteral("anna@example.org"));
    EXPECT_FALSE(mailedOnMainThread);
    ASSERT_EQ(alerts.messages.size(), 3);
    EXPECT_EQ(alerts.messages[2], QStringLiteral("Unable to send test e-mail (error: %1)")
                                      .arg(AppDelegate::emailResultName(8)));
    EXPECT_TRUE(waitUntil(
        [&] { return window->property("WDProgressSheet").value<QObject*>() == nullptr; }));
    EXPECT_TRUE(button->isEnabled());

    // Success is silent.
    mailResult = 0;
    click(button);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 2; }));
    EXPECT_EQ(alerts.messages.size(), 4);
}

TEST_F(SettingsPaneTest, VisibilityAndIconSetsTakeEffect) {
    choose(pane->visibilityBox(), 3);
    EXPECT_EQ(app->visibilityManager()->visibilitySetting(), 3);
    EXPECT_EQ(defaultInt(QStringLiteral("DXVisibilityManagerValue")), 3);
    // The window comes back a second later, after the taskbar changed.
    app->mainWindow()->hide();
    EXPECT_TRUE(waitUntil([&] { return app->mainWindow()->isVisible(); }, 3000));

    const QList<QLabel*> previews = pane->previews();
    ASSERT_EQ(previews.size(), 6);
    for (QLabel* preview : previews) {
        EXPECT_FALSE(preview->pixmap().isNull()) << preview->objectName().toStdString();
    }
    EXPECT_TRUE(previews[0]->toolTip().startsWith(QStringLiteral("iconset_dock_1_warning")));
    EXPECT_TRUE(previews[4]->toolTip().startsWith(QStringLiteral("iconset_menu_13_ok")));
    choose(pane->dockIconsetBox(), 2);
    choose(pane->menuIconsetBox(), 4);
    EXPECT_EQ(defaultInt(QStringLiteral("IconsetDock")), 2);
    EXPECT_EQ(defaultInt(QStringLiteral("IconsetMenubar")), 4);
    EXPECT_TRUE(previews[2]->toolTip().startsWith(QStringLiteral("iconset_dock_3_error")));
    EXPECT_TRUE(previews[3]->toolTip().startsWith(QStringLiteral("iconset_menu_5_warning")));
    EXPECT_EQ(app->visibilityManager()->dockIconName(), QStringLiteral("iconset_dock_3_ok"));
}

TEST_F(SettingsPaneTest, DiagnosticsTellTheReportService) {
    QStringList sent;
    SettingsPane::Services services{*app->controller(), alerts};
    services.serverLog = [&](const QString& message, const QString& file) {
        sent.append(file + QLatin1Char(':') + message);
    };
    SettingsPane standalone(services);
    standalone.show();
    OnOffSwitch* diagnostics = standalone.switchFor(QLatin1String(SettingsPane::kDiagnosticsKey));
    ASSERT_NE(diagnostics, nullptr);
    click(diagnostics);
    click(diagnostics);
    EXPECT_EQ(sent, (QStringList{QStringLiteral("diagnostics:turned_on"),
                                 QStringLiteral("diagnostics:turned_off")}));
    // Set from the store, it tells nobody.
    setDefaultInt(QLatin1String(SettingsPane::kDiagnosticsKey), 1);
    standalone.refresh();
    EXPECT_EQ(diagnostics->checkState(), Qt::Checked);
    EXPECT_EQ(sent.size(), 2);
}

// The PNG is for people to look at (and the README); the test checks that
// every text is whole and nothing needs scrolling at the window's size.
TEST_F(SettingsPaneTest, ScreenshotShowsEveryControlUncut) {
    setDefaultString(QStringLiteral("NotificationUseEmailAddress"),
                     QStringLiteral("ops@example.com\nanna@example.org"));
    setDefaultInt(QStringLiteral("NotificationUseEmail"), 1);
    setDefaultInt(QStringLiteral("NotificationUseAlert"), 1);
    MainWindow* window = app->mainWindow();
    window->resize(1040, 520);
    pane->refresh();
    QCoreApplication::processEvents();
    auto* scroll = pane->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    const QString path = QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/main_window_settings.png");
    ASSERT_TRUE(window->grab().save(path));

    const QRect visible = scroll->viewport()->rect();
    int texts = 0;
    for (QWidget* widget : pane->findChildren<QWidget*>()) {
        // The controls, not the scroll area's own parts.
        if (!widget->isVisible() || !scroll->widget()->isAncestorOf(widget)) {
            continue;
        }
        const QRect inViewport(widget->mapTo(scroll->viewport(), QPoint(0, 0)), widget->size());
        EXPECT_TRUE(visible.contains(inViewport)) << widget->objectName().toStdString();
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
            EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
                << "cut: " << label->text().toStdString();
            texts += !label->text().isEmpty();
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            EXPECT_GE(box->width(), metrics.horizontalAdvance(box->currentText()) + 24)
                << "cut: " << box->currentText().toStdString();
            ++texts;
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_GE(button->width(), metrics.horizontalAdvance(button->text()) + 8)
                << "cut: " << button->text().toStdString();
            ++texts;
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_GE(group->width(), metrics.horizontalAdvance(group->title()) + 16);
        }
    }
    // The landmarks are there: the groups' labels, boxes and buttons.
    EXPECT_GE(texts, 20);
}

}  // namespace

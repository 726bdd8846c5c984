// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class AppDelegate;
class DesktopAlerts;
class OnOffSwitch;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

// The settings pane of the main window. Every control reads its key from the
// settings store and writes it back when the user changes it; a value
// written elsewhere (another process, `ostrivane-cli defaults write`) shows
// within the poll interval, as the store's change counter tells.
class SettingsPane final : public QWidget {
    Q_OBJECT

  public:
    struct Services {
        Services(AppDelegate& controller, DesktopAlerts& alerts)
            : controller(controller), alerts(alerts) {}
        AppDelegate& controller;
        DesktopAlerts& alerts;
        // The visibility setting, through the visibility manager.
        std::function<void(int setting)> setVisibilitySetting;
        // Brings the main window back after the taskbar presence changed.
        std::function<void()> changeAppVisibility;
        std::function<bool()> launchesAtLogin;
        std::function<void(bool launches)> setLaunchesAtLogin;
        // Sends the test e-mail to the addresses; the e-mail result code.
        // Runs on a worker.
        std::function<int(const QString& to)> sendTestMail;
        // A message to the maker's report service.
        std::function<void(const QString& message, const QString& file)> serverLog;
        int pollMilliseconds = 250;
    };

    explicit SettingsPane(Services services, QWidget* parent = nullptr);
    ~SettingsPane() override;

    // Reads every control's value from the store again.
    void refresh();
    bool isWatchingStore() const;
    // Asks, then sends the test e-mail on a worker behind a progress sheet.
    void testEmail();

    // The check intervals offered, in minutes.
    static const QList<int>& intervalChoices();
    // How many dock icon sets the installation has.
    static int dockIconsetCount();

    QComboBox* intervalBox() const { return interval_; }
    QPushButton* checkNowButton() const { return checkNow_; }
    QSpinBox* warningBox() const { return warning_; }
    QSpinBox* errorBox() const { return error_; }
    QLabel* thresholdMessage() const { return thresholdMessage_; }
    OnOffSwitch* switchFor(const QString& name) const;
    QComboBox* statusTypeBox() const { return statusType_; }
    QComboBox* alertTypeBox() const { return alertType_; }
    QPlainTextEdit* emailField() const { return email_; }
    QLabel* emailHint() const { return emailHint_; }
    QPushButton* testEmailButton() const { return testEmail_; }
    QComboBox* visibilityBox() const { return visibility_; }
    QComboBox* dockIconsetBox() const { return dockSet_; }
    QComboBox* menuIconsetBox() const { return menuSet_; }
    // The six previews: dock warning, OK, error, then the menu's.
    QList<QLabel*> previews() const { return previews_; }

    static constexpr const char* kDiagnosticsKey = "DiagnosticsEnabled";

  Q_SIGNALS:
    void testEmailFinished(int result);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QWidget* makeChecksGroup();
    QWidget* makeNotificationsGroup();
    QWidget* makeAppearanceGroup();
    QWidget* makeSystemGroup();
    OnOffSwitch* addSwitch(const QString& key, const QString& title, QWidget* row);
    void thresholdEdited();
    void intervalChosen();
    void updateEnabledStates();
    void updateIconsetPreviews();
    void pollStore();

    Services services_;
    QComboBox* interval_ = nullptr;
    QPushButton* checkNow_ = nullptr;
    QSpinBox* warning_ = nullptr;
    QSpinBox* error_ = nullptr;
    QLabel* thresholdMessage_ = nullptr;
    QList<OnOffSwitch*> switches_;
    QComboBox* statusType_ = nullptr;
    QComboBox* alertType_ = nullptr;
    QPlainTextEdit* email_ = nullptr;
    QLabel* emailHint_ = nullptr;
    QPushButton* testEmail_ = nullptr;
    QComboBox* visibility_ = nullptr;
    QComboBox* dockSet_ = nullptr;
    QComboBox* menuSet_ = nullptr;
    QList<QLabel*> previews_;
    // Runs only while the pane is shown: a hidden pane wakes nobody up.
    QTimer* poll_ = nullptr;
    quint64 lastChangeCount_ = 0;
    bool sending_ = false;
};

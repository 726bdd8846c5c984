// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings_pane.h"

#include "app/app_delegate.h"
#include "ext/scheduling.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "foundation/settings_store.h"
#include "gui/desktop_alerts.h"
#include "support/progress_sheets.h"
#include "ui/on_off_switch.h"
#include "ui/value_transformers.h"
#include "ui/widget_extensions.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kInterval = QStringLiteral("SSDCheckInterval");
const QString kWarning = QStringLiteral("ThresholdWarning");
const QString kError = QStringLiteral("ThresholdError");
const QString kStatusType = QStringLiteral("NotificationTriggerStatusType");
const QString kAlertType = QStringLiteral("NotificationUseAlertType");
const QString kAddress = QStringLiteral("NotificationUseEmailAddress");
const QString kVisibility = QStringLiteral("DXVisibilityManagerValue");
const QString kDockSet = QStringLiteral("IconsetDock");
const QString kMenuSet = QStringLiteral("IconsetMenubar");
const QString kSubmission = QStringLiteral("AllowSSDSubmission");
const QString kLaunchAtLogin = QStringLiteral("launchAtLogin");
constexpr int kPreviewSize = 24;

// Selects the entry holding the value; a value the list does not offer
// (written elsewhere) gets an entry of its own, so the pane never lies.
void selectValue(QComboBox* box, qint64 value) {
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(QString::number(value), value);
        index = box->count() - 1;
    }
    if (box->currentIndex() != index) {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(index);
    }
}

QString intervalTitle(int minutes) {
    if (minutes % 60 == 0) {
        const int hours = minutes / 60;
        return hours == 1 ? localized(QStringLiteral("every hour"))
                          : localized(QStringLiteral("every %1 hours")).arg(hours);
    }
    return localized(QStringLiteral("every %1 minutes")).arg(minutes);
}

QLabel* wrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

}  // namespace

SettingsPane::SettingsPane(Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("settingsView"));
    auto* content = new QWidget;
    auto* grid = new QGridLayout(content);
    grid->addWidget(makeChecksGroup(), 0, 0);
    grid->addWidget(makeNotificationsGroup(), 1, 0);
    grid->addWidget(makeAppearanceGroup(), 0, 1);
    grid->addWidget(makeSystemGroup(), 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    // A small window scrolls rather than squeezing the controls.
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    poll_ = new QTimer(this);
    poll_->setInterval(services_.pollMilliseconds);
    connect(poll_, &QTimer::timeout, this, &SettingsPane::pollStore);
    refresh();
}

SettingsPane::~SettingsPane() = default;

const QList<int>& SettingsPane::intervalChoices() {
    static const QList<int> choices{15, 30, 60, 120, 240, 480, 720, 1440};
    return choices;
}

int SettingsPane::dockIconsetCount() {
    int count = 0;
    while (resourcePath(QStringLiteral("iconset_dock_%1_ok.png").arg(count + 1))) {
        ++count;
    }
    return count;
}

QWidget* SettingsPane::makeChecksGroup() {
    auto* group = new QGroupBox(localized(QStringLiteral("Checks")));
    auto* form = new QFormLayout(group);

    interval_ = new QComboBox;
    interval_->setObjectName(kInterval);
    for (int minutes : intervalChoices()) {
        interval_->addItem(intervalTitle(minutes), minutes);
    }
    connect(interval_, &QComboBox::activated, this, &SettingsPane::intervalChosen);
    checkNow_ = new QPushButton(localized(QStringLiteral("Check now")));
    checkNow_->setObjectName(QStringLiteral("checkNowButton"));
    checkNow_->setProperty("tag", 66);
    connect(checkNow_, &QPushButton::clicked, this,
            [this] { services_.controller.checkIntervalChanged(checkNow_); });
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(interval_, 1);
    intervalRow->addWidget(checkNow_);
    form->addRow(localized(QStringLiteral("Check the drives")), intervalRow);

    for (QSpinBox** box : {&warning_, &error_}) {
        *box = new QSpinBox;
        (*box)->setRange(0, 100);
        (*box)->setSuffix(QStringLiteral(" %"));
        // Only a finished entry counts: "4" on the way to "45" is no threshold.
        (*box)->setKeyboardTracking(false);
        connect(*box, &QSpinBox::valueChanged, this, &SettingsPane::thresholdEdited);
    }
    warning_->setObjectName(kWarning);
    error_->setObjectName(kError);
    form->addRow(localized(QStringLiteral("Warning at or below")), warning_);
    form->addRow(localized(QStringLiteral("Error at or below")), error_);
    thresholdMessage_ = wrappedLabel(QString());
    thresholdMessage_->setObjectName(QStringLiteral("thresholdMessage"));
    thresholdMessage_->setStyleSheet(QStringLiteral("color: #b00020;"));
    thresholdMessage_->hide();
    form->addRow(thresholdMessage_);
    return group;
}

QWidget* SettingsPane::makeNotificationsGroup() {
    auto* group = new QGroupBox(localized(QStringLiteral("Notifications")));
    auto* form = new QFormLayout(group);
    auto row = [&](const QString& key, const QString& title, QWidget* extra = nullptr) {
        auto* line = new QWidget;
        auto* layout = new QHBoxLayout(line);
        layout->setContentsMargins(0, 0, 0, 0);
        OnOffSwitch* button = addSwitch(key, title, line);
        layout->addWidget(button);
        if (extra != nullptr) {
            layout->addWidget(extra, 1);
        } else {
            layout->addStretch(1);
        }
        form->addRow(title, line);
    };
    row(QStringLiteral("NotificationTriggerDecrease"),
        localized(QStringLiteral("Health decreased")));
    statusType_ = new QComboBox;
    statusType_->setObjectName(kStatusType);
    statusType_->addItem(localized(QStringLiteral("warning or error")), 0);
    statusType_->addItem(localized(QStringLiteral("error only")), 1);
    connect(statusType_, &QComboBox::activated, this,
            [this] { setDefaultInt(kStatusType, statusType_->currentData().toInt()); });
    row(QStringLiteral("NotificationTriggerStatus"), localized(QStringLiteral("Threshold reached")),
        statusType_);
    alertType_ = new QComboBox;
    alertType_->setObjectName(kAlertType);
    alertType_->addItem(localized(QStringLiteral("desktop notification")), 0);
    alertType_->addItem(localized(QStringLiteral("dialog")), 1);
    alertType_->addItem(localized(QStringLiteral("notification and dialog")), 2);
    connect(alertType_, &QComboBox::activated, this,
            [this] { setDefaultInt(kAlertType, alertType_->currentData().toInt()); });
    row(QStringLiteral("NotificationUseAlert"), localized(QStringLiteral("Show on screen")),
        alertType_);
    row(QStringLiteral("NotificationUseEmail"), localized(QStringLiteral("Send an e-mail")));

    email_ = new QPlainTextEdit;
    email_->setObjectName(kAddress);
    email_->setPlaceholderText(localized(QStringLiteral("you@example.com (one address a line)")));
    email_->setTabChangesFocus(true);
    email_->setFixedHeight(email_->fontMetrics().lineSpacing() * 3 + 12);
    connect(email_, &QPlainTextEdit::textChanged, this, [this] {
        if (defaultString(kAddress).value_or(QString()) != email_->toPlainText()) {
            setDefaultString(kAddress, email_->toPlainText());
        }
        updateEnabledStates();
    });
    testEmail_ = new QPushButton(localized(QStringLiteral("Test e-mail")));
    testEmail_->setObjectName(QStringLiteral("testEmailButton"));
    connect(testEmail_, &QPushButton::clicked, this, &SettingsPane::testEmail);
    auto* emailColumn = new QVBoxLayout;
    emailColumn->addWidget(email_);
    emailHint_ =
        wrappedLabel(localized(QStringLiteral("Not a valid e-mail address on every line.")));
    emailHint_->setObjectName(QStringLiteral("emailHint"));
    emailColumn->addWidget(emailHint_);
    emailColumn->addWidget(testEmail_, 0, Qt::AlignLeft);
    form->addRow(localized(QStringLiteral("Addresses")), emailColumn);
    return group;
}

QWidget* SettingsPane::makeAppearanceGroup() {
    auto* group = new QGroupBox(localized(QStringLiteral("Appearance")));
    auto* form = new QFormLayout(group);
    visibility_ = new QComboBox;
    visibility_->setObjectName(QStringLiteral("visibilityBox"));
    visibility_->addItem(localized(QStringLiteral("in the taskbar")), 1);
    visibility_->addItem(localized(QStringLiteral("in the panel's tray")), 2);
    visibility_->addItem(localized(QStringLiteral("in the taskbar and the tray")), 3);
    visibility_->addItem(localized(QStringLiteral("hidden")), 0);
    connect(visibility_, &QComboBox::activated, this, [this] {
        if (services_.setVisibilitySetting) {
            services_.setVisibilitySetting(visibility_->currentData().toInt());
        }
        if (services_.changeAppVisibility) {
            services_.changeAppVisibility();
        }
    });
    form->addRow(localized(QStringLiteral("Show Ostrivane")), visibility_);

    const QStringList names = AppDelegate::menuIconsetNames();
    dockSet_ = new QComboBox;
    dockSet_->setObjectName(kDockSet);
    for (int set = 0; set < std::max(1, dockIconsetCount()); ++set) {
        dockSet_->addItem(localized(names.value(set)), set);
    }
    menuSet_ = new QComboBox;
    menuSet_->setObjectName(kMenuSet);
    for (int set = 0; set < names.size(); ++set) {
        menuSet_->addItem(localized(names[set]), set);
    }
    for (QComboBox* box : {dockSet_, menuSet_}) {
        connect(box, &QComboBox::activated, this, [this, box] {
            setDefaultInt(box->objectName(), box->currentData().toInt());
            services_.controller.changeIconset(box);
            updateIconsetPreviews();
        });
    }
    auto previewRow = [this](QComboBox* box, const char* prefix) {
        auto* layout = new QHBoxLayout;
        layout->addWidget(box, 1);
        for (const char* state : {"Warning", "OK", "Error"}) {
            auto* preview = new QLabel;
            preview->setObjectName(QLatin1String(prefix) + QLatin1String(state) +
                                   QStringLiteral("Preview"));
            preview->setFixedSize(kPreviewSize + 2, kPreviewSize + 2);
            preview->setAlignment(Qt::AlignCenter);
            layout->addWidget(preview);
            previews_.append(preview);
        }
        return layout;
    };
    form->addRow(localized(QStringLiteral("Taskbar icons")), previewRow(dockSet_, "dockIcon"));
    form->addRow(localized(QStringLiteral("Tray icons")), previewRow(menuSet_, "menuIcon"));
    return group;
}

QWidget* SettingsPane::makeSystemGroup() {
    auto* group = new QGroupBox(localized(QStringLiteral("System")));
    auto* form = new QFormLayout(group);
    const struct {
        QString key, title;
    } rows[] = {
        {kLaunchAtLogin, localized(QStringLiteral("Start at login"))},
        {kSubmission, localized(QStringLiteral("Send anonymous drive reports"))},
        {QString::fromLatin1(kDiagnosticsKey), localized(QStringLiteral("Diagnostics"))},
        {QStringLiteral("CheckAllDisks"), localized(QStringLiteral("Check every disk as an SSD"))},
    };
    for (const auto& row : rows) {
        form->addRow(row.title, addSwitch(row.key, row.title, group));
    }
    switchFor(kSubmission)
        ->setToolTip(localized(QStringLiteral(
            "Half way: report status changes only, without drive data or the launch report.")));
    switchFor(kSubmission)->setAllowsMixedState(true);
    return group;
}

OnOffSwitch* SettingsPane::addSwitch(const QString& key, const QString& title, QWidget* row) {
    auto* button = new OnOffSwitch(row);
    button->setObjectName(key);
    button->setAccessibleName(title);
    switches_.append(button);
    // Only the user's changes are written: a switch set from the store must
    // not write back what it just read.
    connect(button, &QAbstractButton::clicked, this, [this, button, key] {
        const Qt::CheckState state = button->checkState();
        if (key == kLaunchAtLogin) {
            if (services_.setLaunchesAtLogin) {
                services_.setLaunchesAtLogin(state == Qt::Checked);
            }
        } else if (key == kSubmission) {
            // Half way keeps status tracking without drive data or the launch report.
            setDefaultInt(key, state == Qt::Checked ? 1 : state == Qt::Unchecked ? 0 : 2);
        } else {
            setDefaultInt(key, state == Qt::Checked ? 1 : 0);
            if (key == QLatin1String(kDiagnosticsKey) && services_.serverLog) {
                services_.serverLog(
                    QStringLiteral("turned_%1")
                        .arg(state != Qt::Unchecked ? QStringLiteral("on") : QStringLiteral("off")),
                    QStringLiteral("diagnostics"));
            }
        }
        updateEnabledStates();
    });
    return button;
}

OnOffSwitch* SettingsPane::switchFor(const QString& name) const {
    for (OnOffSwitch* button : switches_) {
        if (button->objectName() == name) {
            return button;
        }
    }
    return nullptr;
}

void SettingsPane::intervalChosen() {
    setDefaultInt(kInterval, interval_->currentData().toLongLong());
    // Restarts the timer without checking: the box carries no check-now tag.
    services_.controller.checkIntervalChanged(interval_);
}

void SettingsPane::thresholdEdited() {
    const int warning = warning_->value();
    const int error = error_->value();
    if (warning <= error) {
        const QString message =
            localized(QStringLiteral("The warning threshold (%1 %) must be above the error "
                                     "threshold (%2 %); nothing was changed."))
                .arg(warning)
                .arg(error);
        log_message(5, QStringLiteral("Info: refused thresholds: %1").arg(message));
        // Back to what is stored, so the pane shows what is in effect.
        const QSignalBlocker warningBlocker(warning_);
        const QSignalBlocker errorBlocker(error_);
        warning_->setValue(int(defaultInt(kWarning)));
        error_->setValue(int(defaultInt(kError)));
        thresholdMessage_->setText(message);
        thresholdMessage_->show();
        return;
    }
    thresholdMessage_->hide();
    if (defaultInt(kWarning) != warning) {
        setDefaultInt(kWarning, warning);
    }
    if (defaultInt(kError) != error) {
        setDefaultInt(kError, error);
    }
}

void SettingsPane::refresh() {
    selectValue(interval_, defaultInt(kInterval));
    {
        const QSignalBlocker warningBlocker(warning_);
        const QSignalBlocker errorBlocker(error_);
        warning_->setValue(int(std::clamp<qint64>(defaultInt(kWarning), 0, 100)));
        error_->setValue(int(std::clamp<qint64>(defaultInt(kError), 0, 100)));
    }
    selectValue(statusType_, defaultInt(kStatusType) == 0 ? 0 : 1);
    selectValue(alertType_, defaultInt(kAlertType));
    selectValue(visibility_, defaultInt(kVisibility));
    selectValue(dockSet_, defaultInt(kDockSet));
    selectValue(menuSet_, defaultInt(kMenuSet));
    const QString address = defaultString(kAddress).value_or(QString());
    if (email_->toPlainText() != address) {
        const QSignalBlocker blocker(email_);
        email_->setPlainText(address);
    }
    for (OnOffSwitch* button : switches_) {
        const QString key = button->objectName();
        Qt::CheckState state = Qt::Unchecked;
        if (key == kLaunchAtLogin) {
            state = services_.launchesAtLogin && services_.launchesAtLogin() ? Qt::Checked
                                                                             : Qt::Unchecked;
        } else {
            const qint64 value = defaultInt(key);
            state = value == 0                         ? Qt::Unchecked
                    : value == 1 || key != kSubmission ? Qt::Checked
                                                       : Qt::PartiallyChecked;
        }
        button->setCheckState(state);
    }
    updateEnabledStates();
    updateIconsetPreviews();
    if (const std::optional<quint64> count = SettingsStore::shared().changeCount()) {
        lastChangeCount_ = *count;
    }
}

void SettingsPane::updateEnabledStates() {
    const auto on = [](const QString& key) {
        return ValueTransformer::transformedBool(QStringLiteral("Differentto0ValueTransformer"),
                                                 defaultInt(key));
    };
    statusType_->setEnabled(on(QStringLiteral("NotificationTriggerStatus")));
    alertType_->setEnabled(on(QStringLiteral("NotificationUseAlert")));
    email_->setEnabled(on(QStringLiteral("NotificationUseEmail")));
    const QString addresses = email_->toPlainText();
    testEmail_->setEnabled(
        !sending_ &&
        ValueTransformer::transformedBool(QStringLiteral("ValidEmailValueTransformer"), addresses));
    // The hint only once something was typed.
    emailHint_->setVisible(
        ValueTransformer::transformedBool(QStringLiteral("InvalidEmailValueTransformer"),
                                          addresses) &&
        ValueTransformer::transformedBool(QStringLiteral("Largerthan0ValueTransformer"),
                                          addresses.trimmed().size()));
}

void SettingsPane::updateIconsetPreviews() {
    AppDelegate& controller = services_.controller;
    controller.updateIconsetPaths();
    const std::optional<QUrl> urls[] = {
        controller.dockIconWarningURL, controller.dockIconOKURL, controller.dockIconErrorURL,
        controller.menuIconWarningURL, controller.menuIconOKURL, controller.menuIconErrorURL};
    for (int index = 0; index < previews_.size(); ++index) {
        QLabel* preview = previews_[index];
        const QImage image = urls[index] ? QImage(urls[index]->toLocalFile()) : QImage();
        if (image.isNull()) {
            preview->setPixmap(QPixmap());
            preview->setText(QStringLiteral("–"));
            preview->setToolTip(QString());
            continue;
        }
        const qreal ratio = devicePixelRatioF();
        QImage scaled = WidgetExtensions::resizedImage(
            image, QSize(int(kPreviewSize * ratio), int(kPreviewSize * ratio)));
        scaled.setDevicePixelRatio(ratio);
        preview->setPixmap(QPixmap::fromImage(scaled));
        preview->setToolTip(urls[index]->fileName());
    }
}

void SettingsPane::pollStore() {
    const std::optional<quint64> count = SettingsStore::shared().changeCount();
    // Without a counter (a store in memory only) nobody else can write.
    if (count && *count != lastChangeCount_) {
        refresh();
    }
}

void SettingsPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The autostart entry is a file, not a counted setting: read it on each visit.
    refresh();
    poll_->start();
}

void SettingsPane::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    poll_->stop();
}

bool SettingsPane::isWatchingStore() const {
    return poll_->isActive();
}

void SettingsPane::testEmail() {
    const int answer = services_.alerts.alert_apptitled(
        localized(QStringLiteral("Click OK to test the e-mail delivery to your chosen deliver "
                                 "address(es). Please check if your receive the TEST e-mail to "
                                 "your address(es) Within a few minutes.")),
        localized(QStringLiteral("OK")), localized(QStringLiteral("Cancel")), QString());
    if (answer != 1000 || sending_ || !services_.sendTestMail) {
        return;
    }
    sending_ = true;
    updateEnabledStates();
    QWidget* sheetWindow = window();
    ProgressSheets::beginProgress(sheetWindow,
                                  localized(QStringLiteral("Sending the test e-mail…")));
    const QString to = defaultString(kAddress).value_or(QString());
    QPointer<SettingsPane> self(this);
    QPointer<QWidget> sheetOwner(sheetWindow);
    auto send = services_.sendTestMail;
    run_in_background([self, sheetOwner, send, to] {
        const int result = send(to);
        run_on_main_after(0, [self, sheetOwner, result] {
            if (sheetOwner) {
                ProgressSheets::endProgress(sheetOwner);
            }
            if (!self) {
                return;
            }
            self->sending_ = false;
            self->updateEnabledStates();
            if (result != 0) {
                self->services_.alerts.alert_apptitled(
                    localized(QStringLiteral("Unable to send test e-mail (error: %1)"))
                        .arg(AppDelegate::emailResultName(result)),
                    localized(QStringLiteral("OK")), QString(), QString());
            }
            Q_EMIT self->testEmailFinished(result);
        });
    });
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/alerts.h"

#include "foundation/defaults.h"
#include "foundation/logging.h"

#include <QCoreApplication>
#include <QThread>

namespace {

constexpr int kLogLevel = 3;
constexpr qsizetype kMatrixEntryLimit = 150;
constexpr qsizetype kMatrixEntryKept = 70;

QString oneLine(QString text) {
    return text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
}

QStringList firstThree(const QStringList& buttons) {
    QStringList used;
    for (const QString& title : buttons) {
        if (used.size() == 3) {
            break;
        }
        if (!title.isEmpty()) {
            used.append(title);
        }
    }
    return used;
}

// The suppression dialogs come back to the main thread on their own; the
// caller does not wait for the answer.
void onMainWithoutWaiting(std::function<void()> work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

AlertPanel makePanel(const QString& title, const QString& message, const QStringList& buttons,
                     AlertPanel::Accessory accessory) {
    AlertPanel panel;
    panel.title = title;
    panel.message = message;
    panel.buttons = buttons;
    panel.accessory = accessory;
    return panel;
}

}  // namespace

Alerts::Alerts(AlertRunner& runner, QString appName, QString versionString)
    : runner_(runner), appName_(std::move(appName)), versionString_(std::move(versionString)) {}

int Alerts::alert(const QString& title, const QString& message, const QString& defaultButton,
                  const QString& alternateButton, const QString& otherButton) {
    log_message(kLogLevel, QStringLiteral("Alert: %1 - %2").arg(oneLine(title), oneLine(message)));
    AlertPanel panel;
    panel.title = title;
    panel.message = message;
    panel.buttons = firstThree({defaultButton, alternateButton, otherButton});
    const int code = runner_.run(panel).code;
    log_message(kLogLevel, QStringLiteral("Alert: finished %1").arg(code));
    return code;
}

int Alerts::alert_apptitled(const QString& message, const QString& defaultButton,
                            const QString& alternateButton, const QString& otherButton) {
    return alert(appName_, message, defaultButton, alternateButton, otherButton);
}

int Alerts::runAccessory(AlertPanel panel, const QString& before, AlertAnswer& answer) {
    log_message(kLogLevel, before);
    panel.buttons = firstThree(panel.buttons);
    panel.bringToFront = false;
    answer = runner_.run(panel);
    return answer.code;
}

int Alerts::alert_input(const QString& prompt, const QStringList& buttons, QString& text) {
    AlertPanel panel = makePanel(prompt, {}, buttons, AlertPanel::Accessory::Input);
    panel.text = text;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Input: %1@").arg(oneLine(prompt)), answer);
    text = answer.text;
    log_message(kLogLevel, QStringLiteral("Alert Input: finished %1").arg(code));
    return code;
}

int Alerts::alert_inputsecure(const QString& prompt, const QStringList& buttons, QString& text) {
    AlertPanel panel = makePanel(prompt, {}, buttons, AlertPanel::Accessory::SecureInput);
    panel.text = text;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Input: %1@").arg(oneLine(prompt)), answer);
    text = answer.text;
    log_message(kLogLevel, QStringLiteral("Alert Input: finished %1").arg(code));
    return code;
}

int Alerts::alert_checkbox(const QString& title, const QString& message, const QStringList& buttons,
                           const QString& checkboxTitle, bool& state) {
    AlertPanel panel = makePanel(title, message, buttons, AlertPanel::Accessory::Checkbox);
    panel.checkboxTitle = checkboxTitle;
    panel.checked = state;
    AlertAnswer answer;
    const int code = runAccessory(
        panel, QStringLiteral("Alert Checkbox: %1 - %2").arg(oneLine(title), oneLine(message)),
        answer);
    state = answer.checked;
    log_message(kLogLevel,
                QStringLiteral("Alert Checkbox: finished %1 %2").arg(code).arg(state ? 1 : 0));
    return code;
}

int Alerts::alert_colorwell(const QString& title, const QStringList& buttons, QColor& color) {
    AlertPanel panel = makePanel(title, {}, buttons, AlertPanel::Accessory::Colorwell);
    panel.color = color;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Colorwell: %1").arg(oneLine(title)), answer);
    if (answer.color.isValid()) {
        color = answer.color;
    }
    log_message(kLogLevel, QStringLiteral("Alert Colorwell: finished %1").arg(code));
    return code;
}

int Alerts::alert_inputtext(const QString& title, const QStringList& buttons, QString& text) {
    AlertPanel panel = makePanel(title, {}, buttons, AlertPanel::Accessory::InputText);
    panel.text = text;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Inputtext: %1").arg(oneLine(title)), answer);
    text = answer.text;
    log_message(kLogLevel,
                QStringLiteral("Alert Inputtext: finished %1 %2").arg(code).arg(oneLine(text)));
    return code;
}

int Alerts::alert_outputtext(const QString& title, const QStringList& buttons,
                             const QString& text) {
    AlertPanel panel = makePanel(title, {}, buttons, AlertPanel::Accessory::OutputText);
    panel.text = text;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Outputtext: %1").arg(oneLine(title)), answer);
    log_message(kLogLevel, QStringLiteral("Alert Outputtext: finished %1").arg(code));
    return code;
}

int Alerts::alert_selectionpopup(const QString& title, const QStringList& entries,
                                 const QStringList& buttons, int& index) {
    AlertPanel panel = makePanel(title, {}, buttons, AlertPanel::Accessory::SelectionPopup);
    panel.entries = entries;
    AlertAnswer answer;
    const int code =
        runAccessory(panel, QStringLiteral("Alert Selectionpopup: %1").arg(oneLine(title)), answer);
    index = answer.index;
    log_message(kLogLevel,
                QStringLiteral("Alert Selectionpopup: finished %1 %2").arg(code).arg(index));
    return code;
}

int Alerts::alert_selectionmatrix(const QString& title, const QStringList& entries,
                                  const QStringList& buttons, int& row) {
    AlertPanel panel = makePanel(title, {}, buttons, AlertPanel::Accessory::SelectionMatrix);
    for (const QString& entry : entries) {
        panel.entries.append(matrixEntry(entry));
    }
    AlertAnswer answer;
    const int code = runAccessory(
        panel, QStringLiteral("Alert Selectionmatrix: %1").arg(oneLine(title)), answer);
    row = answer.index;
    log_message(kLogLevel,
                QStringLiteral("Alert Selectionmatrix: finished %1 %2").arg(code).arg(row));
    return code;
}

QString Alerts::matrixEntry(const QString& entry) {
    if (entry.size() <= kMatrixEntryLimit) {
        return entry;
    }
    return QStringLiteral("%1 […] %2")
        .arg(entry.left(kMatrixEntryKept), entry.right(kMatrixEntryKept));
}

QString Alerts::suppressionKey(const QString& identifier, const QString& versionString) {
    return QStringLiteral("_%1_%2_asked").arg(identifier, versionString);
}

QString Alerts::suppressionKeyEver(const QString& identifier) {
    return QStringLiteral("_%1_asked").arg(identifier);
}

void Alerts::alert_dontwarnagain(const QString& identifier, const QString& title,
                                 const QString& message, const QString& button,
                                 const QString& boxTitle) {
    askUnlessSuppressed(suppressionKey(identifier, versionString_), QStringLiteral("Dontwarnagain"),
                        title, message, button, boxTitle);
}

void Alerts::alert_dontwarnagainever(const QString& identifier, const QString& title,
                                     const QString& message, const QString& button,
                                     const QString& boxTitle) {
    askUnlessSuppressed(suppressionKeyEver(identifier), QStringLiteral("Dontwarnagainever"), title,
                        message, button, boxTitle);
}

void Alerts::askUnlessSuppressed(const QString& key, const QString& logName, const QString& title,
                                 const QString& message, const QString& button,
                                 const QString& boxTitle) {
    onMainWithoutWaiting([this, key, logName, title, message, button, boxTitle] {
        if (defaultInt(key) != 0) {
            return;
        }
        AlertPanel panel =
            makePanel(title, message, firstThree({button}), AlertPanel::Accessory::Suppression);
        panel.checkboxTitle = boxTitle;
        log_message(
            kLogLevel,
            QStringLiteral("Alert %1: %2 - %3").arg(logName, oneLine(title), oneLine(message)));
        const AlertAnswer answer = runner_.run(panel);
        log_message(kLogLevel, QStringLiteral("Alert %1: finished").arg(logName));
        setDefaultInt(key, answer.checked ? 1 : 0);
    });
}

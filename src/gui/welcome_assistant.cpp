// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/welcome_assistant.h"

#include "app/check_cycle_services.h"
#include "ext/text.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QWizardPage>

namespace {

QWizardPage* makePage(const QString& title, const QString& text, QWidget* control = nullptr) {
    auto* page = new QWizardPage;
    page->setTitle(title);
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    if (control != nullptr) {
        layout->addWidget(control);
    }
    layout->addStretch(1);
    return page;
}

}  // namespace

WelcomeAssistant::WelcomeAssistant(ControllerSettings& settings, QWidget* parent)
    : QWizard(parent), settings_(settings) {
    setObjectName(QStringLiteral("WelcomeWindow"));
    setWindowTitle(localized(QStringLiteral("Welcome to Ostrivane")));
    setWizardStyle(QWizard::ClassicStyle);
    // The setup ends only through its last button, which applies the choices.
    setOption(QWizard::NoCancelButton);
    autostart_ = bound(localized(QStringLiteral("Start Ostrivane when I log in")),
                       QStringLiteral("AssistantAutostart"));
    hidedock_ = bound(localized(QStringLiteral("Show Ostrivane only in the system tray")),
                      QStringLiteral("AssistantHidedock"));
    addPage(makePage(localized(QStringLiteral("Welcome to Ostrivane")),
                     localized(QStringLiteral(
                         "Ostrivane watches the health of your solid-state drives and tells you "
                         "when it decreases or falls below a threshold."))));
    addPage(makePage(
        localized(QStringLiteral("Start at login")),
        localized(QStringLiteral("Ostrivane can only check your drives while it is running.")),
        autostart_));
    addPage(makePage(localized(QStringLiteral("Where Ostrivane shows itself")),
                     localized(QStringLiteral(
                         "Ostrivane can stay out of the taskbar and show its status in the system "
                         "tray only.")),
                     hidedock_));
    setButtonText(QWizard::FinishButton, localized(QStringLiteral("Finish")));
    connect(this, &QWizard::accepted, this, &WelcomeAssistant::finishSetup);
}

QCheckBox* WelcomeAssistant::bound(const QString& text, const QString& key) {
    auto* box = new QCheckBox(text);
    box->setChecked(settings_.defaultInt(key) != 0);
    connect(box, &QCheckBox::toggled, this,
            [this, key](bool checked) { settings_.setDefaultInt(key, checked ? 1 : 0); });
    return box;
}

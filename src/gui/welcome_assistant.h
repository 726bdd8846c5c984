// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWizard>

class ControllerSettings;
class QCheckBox;

// The first-start assistant: explains the program and asks whether it should
// start at login and stay out of the taskbar. Its choices are settings
// ("AssistantAutostart", "AssistantHidedock") that finishing the setup applies.
class WelcomeAssistant final : public QWizard {
    Q_OBJECT

  public:
    explicit WelcomeAssistant(ControllerSettings& settings, QWidget* parent = nullptr);

    QCheckBox* autostartBox() const { return autostart_; }
    QCheckBox* hidedockBox() const { return hidedock_; }

  Q_SIGNALS:
    // The last button: the controller finishes the setup.
    void finishSetup();

  private:
    QCheckBox* bound(const QString& text, const QString& key);

    ControllerSettings& settings_;
    QCheckBox* autostart_ = nullptr;
    QCheckBox* hidedock_ = nullptr;
};

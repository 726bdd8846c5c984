// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// One alert panel as the dialogs describe it, and the user's answer. The
// panel is handed to an AlertRunner, which shows it (or, in tests, answers
// it) and returns without knowing what the panel is for.

struct AlertPanel {
    enum class Accessory {
        None,
        Input,            // single-line text field
        SecureInput,      // the same with hidden typing
        Checkbox,         // a check box with `checkboxTitle`
        Colorwell,        // a colour button showing `color`
        InputText,        // an editable scrolling text view
        OutputText,       // the same, read-only
        SelectionPopup,   // a pop-up menu of `entries`
        SelectionMatrix,  // a column of radio buttons, one per entry
        Suppression,      // the panel's own "do not show again" box
    };

    QString title;
    QString message;
    // At most three, first the default; empty: one platform "OK" button.
    QStringList buttons;
    Accessory accessory = Accessory::None;
    QString text;
    QString checkboxTitle;
    bool checked = false;
    QColor color;
    QStringList entries;
    // Off for the panels with an accessory control: they leave the
    // application where it is among the others.
    bool bringToFront = true;
};

struct AlertAnswer {
    // 1000 for the first button, 1001 the second, 1002 the third.
    int code = 1000;
    QString text;
    bool checked = false;
    QColor color;
    int index = 0;
};

// Shows a panel modally and waits for the answer. Called on the main thread.
class AlertRunner {
  public:
    virtual ~AlertRunner() = default;
    virtual AlertAnswer run(const AlertPanel& panel) = 0;
};

constexpr int kAlertFirstButton = 1000;
constexpr int kAlertSecondButton = 1001;
constexpr int kAlertThirdButton = 1002;

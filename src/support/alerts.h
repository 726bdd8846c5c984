// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/alert_panel.h"

#include <QColor>
#include <QString>
#include <QStringList>

// The application's modal dialogs. Each is logged at level 3 before it is
// shown and again with the outcome, titles and messages on one line, so the
// log tells every question the user saw and what was clicked.
//
// All but the "do not warn again" dialogs must be called on the main thread
// and block it until answered; those two may be called from any thread and
// move there themselves, without waiting.
class Alerts {
  public:
    Alerts(AlertRunner& runner, QString appName, QString versionString);

    int alert(const QString& title, const QString& message, const QString& defaultButton,
              const QString& alternateButton = {}, const QString& otherButton = {});
    int alert_apptitled(const QString& message, const QString& defaultButton,
                        const QString& alternateButton = {}, const QString& otherButton = {});

    // The accessory variants: of `buttons` the first three are used.
    int alert_input(const QString& prompt, const QStringList& buttons, QString& text);
    int alert_inputsecure(const QString& prompt, const QStringList& buttons, QString& text);
    int alert_checkbox(const QString& title, const QString& message, const QStringList& buttons,
                       const QString& checkboxTitle, bool& state);
    int alert_colorwell(const QString& title, const QStringList& buttons, QColor& color);
    int alert_inputtext(const QString& title, const QStringList& buttons, QString& text);
    int alert_outputtext(const QString& title, const QStringList& buttons, const QString& text);
    int alert_selectionpopup(const QString& title, const QStringList& entries,
                             const QStringList& buttons, int& index);
    int alert_selectionmatrix(const QString& title, const QStringList& entries,
                              const QStringList& buttons, int& row);

    // Asked until the box is ticked: again after each update of the version.
    void alert_dontwarnagain(const QString& identifier, const QString& title,
                             const QString& message, const QString& button,
                             const QString& boxTitle);
    // Asked until the box is ticked, whatever the version.
    void alert_dontwarnagainever(const QString& identifier, const QString& title,
                                 const QString& message, const QString& button,
                                 const QString& boxTitle);

    QString appName() const { return appName_; }
    QString versionString() const { return versionString_; }

    // The settings keys that hold a suppression box's state.
    static QString suppressionKey(const QString& identifier, const QString& versionString);
    static QString suppressionKeyEver(const QString& identifier);
    // A radio-button row's text: entries over 150 characters keep their
    // first and last 70 around " […] ".
    static QString matrixEntry(const QString& entry);

  private:
    int runAccessory(AlertPanel panel, const QString& before, AlertAnswer& answer);
    void askUnlessSuppressed(const QString& key, const QString& logName, const QString& title,
                             const QString& message, const QString& button,
                             const QString& boxTitle);

    AlertRunner& runner_;
    QString appName_;
    QString versionString_;
};

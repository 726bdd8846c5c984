// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Start at login through an XDG autostart entry. The state is always read
// from the files, so a switch bound to it shows what really happens.
class LoginItemManager {
  public:
    // `desktopFileName` without ".desktop"; `exec` is the entry's command.
    LoginItemManager(QString desktopFileName, QString exec);

    // An entry in the user's or a system autostart folder that is not hidden.
    bool launchesAtLogin() const;
    // Setting the current state again changes nothing on disk.
    void setLaunchesAtLogin(bool wanted);

    QString userEntryPath() const;
    // The first system-wide entry of the same name; empty when there is none.
    QString systemEntryPath() const;

  private:
    QString fileName_;
    QString exec_;
};

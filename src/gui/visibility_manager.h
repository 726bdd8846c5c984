// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include <QMenu>
class QSystemTrayIcon;

// Where the application shows itself: 0 nowhere, 1 in the taskbar (the
// "dock"), 2 in the tray (the "menu bar"), 3 in both. On Linux the dock icon
// is the main window's taskbar entry with the dock image as its icon; the
// status item is a tray icon, which exists only while a panel offers a tray.
// Without a tray, settings 0 and 2 would leave the program invisible, so
// they behave as if the dock icon were shown.
class VisibilityManager final : public QObject, public StatusDisplay {
    Q_OBJECT

  public:
    using Modifiers = std::function<Qt::KeyboardModifiers()>;

    // Reads the setting and the option; a held Alt or Shift turns a stored
    // 0 into 1 so a hidden application can be brought back.
    VisibilityManager(ControllerSettings& settings, Logger& log, bool trayAvailable, bool darkMode,
                      Modifiers modifiers, QObject* parent = nullptr);
    ~VisibilityManager() override;

    quint8 visibilitySetting() const { return setting_; }
    void setVisibilitySetting(quint8 setting);
    quint8 visibilityOption() const { return option_; }
    void setVisibilityOption(quint8 option);

    bool permanentlyVisibleInDock() const { return setting_ == 1 || setting_ == 3; }
    bool visibleInMenubar() const { return setting_ == 2 || setting_ == 3; }
    bool currentlyVisibleInDock() const;
    // What the taskbar really shows: the dock, or its stand-in when a setting
    // relies on a tray that does not exist.
    bool dockShownInTaskbar() const;

    bool trayAvailable() const { return trayAvailable_; }
    // A new watcher (also after a panel restart) gets a new tray icon.
    void setTrayAvailable(bool available);

    void setTemplateSetting(int setting) override { templateSetting_ = setting; }
    int templateSetting() const { return templateSetting_; }
    void setMenubarIcon(const QString& imageName) override;
    void setDockIcon(const QString& imageName) override;
    void setMenuTooltip(const QString& text) override;
    QString menuTooltip() const;
    QString menubarIconName() const { return menubarIconName_; }
    QString dockIconName() const { return dockIconName_; }
    QIcon dockIcon() const { return dockIcon_; }
    // Whether the tray image was last drawn light, for a dark panel.
    bool menubarIconIsTemplate() const { return menubarIsTemplate_; }

    void setStatusItemMenu(QMenu* menu) { statusItemMenu_ = menu; }
    QSystemTrayIcon* statusItem() const { return statusItem_.get(); }

    // The user opened the application again; `rescue` acts as a held modifier.
    void handleAppReopen(bool rescue = false);
    void handleWindowOpened();
    void handleWindowClosed();

    // A template image: every pixel light, keeping the shape, for a dark panel.
    static QIcon templateIcon(const QIcon& icon);

  Q_SIGNALS:
    void visibilitySettingDidChange();
    // The taskbar presence changed: windows update their flags.
    void dockPresenceChanged(bool shown);
    void statusItemActivated();

  private:
    void redisplay();
    void showOrHideDockIcon();
    void updateStatusItem();
    void noteMissingTray();
    bool modifierHeld() const;

    ControllerSettings& settings_;
    Logger& log_;
    Modifiers modifiers_;
    quint8 setting_ = 0;
    quint8 option_ = 0;
    int templateSetting_ = 0;
    bool darkMode_ = false;
    bool trayAvailable_ = false;
    bool windowIsOpen_ = false;
    bool dockIconIsCurrentlyVisible_ = false;
    bool loggedMissingTray_ = false;
    bool menubarIsTemplate_ = false;
    QString menubarIconName_;
    QString dockIconName_;
    QIcon menubarIcon_;
    QIcon dockIcon_;
    QString tooltip_;
    QPointer<QMenu> statusItemMenu_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
};

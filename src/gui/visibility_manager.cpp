// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/visibility_manager.h"

#include "ext/text.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace {

const QString kSettingKey = QStringLiteral("DXVisibilityManagerValue");
const QString kOptionKey = QStringLiteral("DXVisibilityManagerOptionValue");

QIcon iconNamed(const QString& name) {
    if (name.isEmpty()) {
        return {};
    }
    // A missing image is logged by the lookup; the icon stays empty.
    const std::optional<QString> path = namedImage(name);
    return path ? QIcon(*path) : QIcon();
}

}  // namespace

VisibilityManager::VisibilityManager(ControllerSettings& settings, Logger& log, bool trayAvailable,
                                     bool darkMode, Modifiers modifiers, QObject* parent)
    : QObject(parent),
      settings_(settings),
      log_(log),
      modifiers_(std::move(modifiers)),
      darkMode_(darkMode),
      trayAvailable_(trayAvailable) {
    option_ = quint8(settings_.defaultInt(kOptionKey));
    quint8 setting = quint8(settings_.defaultInt(kSettingKey));
    if (setting == 0 && modifierHeld()) {
        setting = 1;
    }
    setVisibilitySetting(setting);
}

VisibilityManager::~VisibilityManager() = default;

bool VisibilityManager::modifierHeld() const {
    return modifiers_ && (modifiers_() & (Qt::AltModifier | Qt::ShiftModifier));
}

bool VisibilityManager::currentlyVisibleInDock() const {
    return permanentlyVisibleInDock() || (setting_ == 2 && option_ == 1 && windowIsOpen_);
}

bool VisibilityManager::dockShownInTaskbar() const {
    return currentlyVisibleInDock() || (!trayAvailable_ && (setting_ == 0 || setting_ == 2));
}

void VisibilityManager::setVisibilitySetting(quint8 setting) {
    setting_ = setting;
    redisplay();
    settings_.setDefaultInt(kSettingKey, setting);
    Q_EMIT visibilitySettingDidChange();
}

void VisibilityManager::setVisibilityOption(quint8 option) {
    option_ = option;
    redisplay();
    settings_.setDefaultInt(kOptionKey, option);
    Q_EMIT visibilitySettingDidChange();
}

void VisibilityManager::setTrayAvailable(bool available) {
    trayAvailable_ = available;
    // The old icon belongs to a watcher that is gone; a new one registers
    // with the new watcher.
    statusItem_.reset();
    redisplay();
}

void VisibilityManager::redisplay() {
    showOrHideDockIcon();
    updateStatusItem();
    if (!dockIcon_.isNull() && dockShownInTaskbar()) {
        QGuiApplication::setWindowIcon(dockIcon_);
    }
    noteMissingTray();
}

void VisibilityManager::showOrHideDockIcon() {
    const bool wanted = dockShownInTaskbar();
    if (dockIconIsCurrentlyVisible_ != wanted) {
        dockIconIsCurrentlyVisible_ = wanted;
        Q_EMIT dockPresenceChanged(wanted);
    }
}

void VisibilityManager::noteMissingTray() {
    if (!trayAvailable_ && (setting_ == 0 || setting_ == 2) && !loggedMissingTray_) {
        loggedMissingTray_ = true;
        log_.log_message(5, QStringLiteral("Info: no system tray on this desktop (no %1 on the "
                                           "session bus): showing Ostrivane in the taskbar "
                                           "instead")
                                .arg(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }
}

void VisibilityManager::setMenubarIcon(const QString& imageName) {
    menubarIsTemplate_ = templateSetting_ == 2 || (templateSetting_ == 1 && darkMode_);
    if (imageName != menubarIconName_) {
        menubarIconName_ = imageName;
        menubarIcon_ = iconNamed(imageName);
    }
    updateStatusItem();
}

void VisibilityManager::updateStatusItem() {
    if (!visibleInMenubar() || !trayAvailable_) {
        statusItem_.reset();
        return;
    }
    if (!statusItem_) {
        statusItem_ = std::make_unique<QSystemTrayIcon>();
        connect(
            statusItem_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    Q_EMIT statusItemActivated();
                }
            });
        statusItem_->setToolTip(tooltip_);
    }
    statusItem_->setContextMenu(statusItemMenu_.data());
    QIcon icon = menubarIcon_;
    if (icon.isNull()) {
        // An item without an image would be an invisible gap in the panel.
        icon = QIcon::fromTheme(QStringLiteral("drive-harddisk-solidstate"),
                                QIcon::fromTheme(QStringLiteral("drive-harddisk")));
    }
    statusItem_->setIcon(menubarIsTemplate_ ? templateIcon(icon) : icon);
    statusItem_->show();
}

void VisibilityManager::setDockIcon(const QString& imageName) {
    if (imageName != dockIconName_) {
        dockIconName_ = imageName;
        dockIcon_ = iconNamed(imageName);
    }
    if (dockShownInTaskbar() && !dockIcon_.isNull()) {
        QGuiApplication::setWindowIcon(dockIcon_);
    }
}

void VisibilityManager::setMenuTooltip(const QString& text) {
    // Kept for a tray icon made later (the panel may start after us).
    tooltip_ = text;
    if (statusItem_) {
        statusItem_->setToolTip(text);
    }
}

QString VisibilityManager::menuTooltip() const {
    return statusItem_ ? statusItem_->toolTip() : QString();
}

void VisibilityManager::handleAppReopen(bool rescue) {
    if ((rescue || modifierHeld()) && setting_ == 0) {
        setVisibilitySetting(1);
    }
}

void VisibilityManager::handleWindowOpened() {
    windowIsOpen_ = true;
    redisplay();
}

void VisibilityManager::handleWindowClosed() {
    windowIsOpen_ = false;
    redisplay();
}

QIcon VisibilityManager::templateIcon(const QIcon& icon) {
    if (icon.isNull()) {
        return icon;
    }
    QIcon light;
    const QList<QSize> sizes =
        icon.availableSizes().isEmpty() ? QList<QSize>{QSize(22, 22)} : icon.availableSizes();
    for (const QSize& size : sizes) {
        QPixmap pixmap = icon.pixmap(size);
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), QColor(0xf2, 0xf2, 0xf2));
        painter.end();
        light.addPixmap(pixmap);
    }
    return light;
}

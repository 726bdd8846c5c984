// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tray_watcher.h"
#include "gui/visibility_manager.h"

#include "gui_test_support.h"
#include "private_bus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace {

class MemorySettings final : public ControllerSettings {
  public:
    qint64 defaultInt(const QString& key) override { return values.value(key); }
    void setDefaultInt(const QString& key, qint64 value) override { values.insert(key, value); }
    QString defaultString(const QString&) override { return {}; }
    QHash<QString, qint64> values;
};

class CountingLog final : public Logger {
  public:
    void log_message(int, const QString& text) override { lines.append(text); }
    QStringList lines;
};

struct Presence {
    bool statusItem;
    bool taskbar;
};

Presence presenceOf(const VisibilityManager& manager) {
    return {manager.statusItem() != nullptr, manager.dockShownInTaskbar()};
}

TEST(Visibility, EachSettingWithAndWithoutATray) {
    // {setting, tray}: status item, taskbar entry.
    struct Case {
        quint8 setting;
        bool tray;
        Presence expected;
    };
    const Case cases[] = {
        {0, true, {false, false}},
        {1, true, {false, true}},
        {2, true, {true, false}},
        {3, true, {true, true}},
        // Without a tray nothing may leave the program invisible.
        {0, false, {false, true}},
        {1, false, {false, true}},
        {2, false, {false, true}},
        {3, false, {false, true}},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        settings.values[QStringLiteral("DXVisibilityManagerValue")] = c.setting;
        CountingLog log;
        VisibilityManager manager(settings, log, c.tray, false, {});
        const Presence seen = presenceOf(manager);
        EXPECT_EQ(seen.statusItem, c.expected.statusItem) << int(c.setting) << c.tray;
        EXPECT_EQ(seen.taskbar, c.expected.taskbar) << int(c.setting) << c.tray;
        EXPECT_EQ(manager.visibilitySetting(), c.setting);
        EXPECT_EQ(manager.visibleInMenubar(), c.setting >= 2);
        EXPECT_EQ(manager.permanentlyVisibleInDock(), c.setting % 2 == 1);
        const bool stoodIn = !c.tray && c.setting % 2 == 0;
        EXPECT_EQ(log.lines.size(), stoodIn ? 1 : 0) << int(c.setting) << c.tray;
    }
}

TEST(Visibility, MissingTrayIsLoggedOnceAndATrayThatAppearsIsUsed) {
    MemorySettings settings;
    settings.values[QStringLiteral("DXVisibilityManagerValue")] = 2;
    CountingLog log;
    VisibilityManager manager(settings, log, false, false, {});
    QSignalSpy presence(&manager, &VisibilityManager::dockPresenceChanged);
    manager.setVisibilitySetting(0);
    manager.setVisibilitySetting(2);
    EXPECT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(manager.dockShownInTaskbar());

    manager.setMenuTooltip(QStringLiteral("Ostrivane v1\n\nDisk: a Health: 90%\n"));
    EXPECT_EQ(manager.menuTooltip(), QString());  // nothing to show it on yet

    manager.setTrayAvailable(true);
    ASSERT_NE(manager.statusItem(), nullptr);
    EXPECT_FALSE(manager.dockShownInTaskbar());
    EXPECT_EQ(presence.size(), 1);
    // The tooltip of the last check reaches a tray that came later.
    EXPECT_EQ(manager.menuTooltip(), QStringLiteral("Ostrivane v1\n\nDisk: a Health: 90%\n"));

    // A panel restart: a new icon for the new watcher.
    const QSystemTrayIcon* before = manager.statusItem();
    manager.setTrayAvailable(false);
    EXPECT_EQ(manager.statusItem(), nullptr);
    EXPECT_TRUE(manager.dockShownInTaskbar());
    manager.setTrayAvailable(true);
    EXPECT_NE(manager.statusItem(), nullptr);
    static_cast<void>(before);
}

TEST(Visibility, ChangesArePersistedAndAnnounced) {
    MemorySettings settings;
    settings.values[QStringLiteral("DXVisibilityManagerValue")] = 1;
    CountingLog log;
    VisibilityManager manager(settings, log, true, false, {});
    QSignalSpy changed(&manager, &VisibilityManager::visibilitySettingDidChange);
    manager.setVisibilitySetting(3);
    manager.setVisibilityOption(1);
    EXPECT_EQ(settings.values.value(QStringLiteral("DXVisibilityManagerValue")), 3);
    EXPECT_EQ(settings.values.value(QStringLiteral("DXVisibilityManagerOptionValue")), 1);
    EXPECT_EQ(changed.size(), 2);

    // Menu bar only, with the option: the taskbar entry follows the window.
    manager.setVisibilitySetting(2);
    EXPECT_FALSE(manager.dockShownInTaskbar());
    manager.handleWindowOpened();
    EXPECT_TRUE(manager.currentlyVisibleInDock());
    manager.handleWindowClosed();
    EXPECT_FALSE(manager.currentlyVisibleInDock());
}

TEST(Visibility, AHeldModifierBringsBackOnlyAFullyHiddenApplication) {
    for (const Qt::KeyboardModifiers held :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::AltModifier),
          Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        const bool rescue = held & (Qt::AltModifier | Qt::ShiftModifier);
        for (const quint8 stored : {0, 2}) {
            MemorySettings settings;
            settings.values[QStringLiteral("DXVisibilityManagerValue")] = stored;
            CountingLog log;
            VisibilityManager atLaunch(settings, log, true, false, [held] { return held; });
            EXPECT_EQ(atLaunch.visibilitySetting(), stored == 0 && rescue ? 1 : stored);

            Qt::KeyboardModifiers now = Qt::NoModifier;
            settings.values[QStringLiteral("DXVisibilityManagerValue")] = stored;
            VisibilityManager running(settings, log, true, false, [&now] { return now; });
            running.handleAppReopen();
            EXPECT_EQ(running.visibilitySetting(), stored);
            now = held;
            running.handleAppReopen();
            EXPECT_EQ(running.visibilitySetting(), stored == 0 && rescue ? 1 : stored);
            // --show is the rescue without a key.
            running.setVisibilitySetting(stored);
            now = Qt::NoModifier;
            running.handleAppReopen(true);
            EXPECT_EQ(running.visibilitySetting(), stored == 0 ? 1 : stored);
        }
    }
}

TEST(Visibility, TemplateImagesAreDrawnLight) {
    QPixmap dark(16, 16);
    dark.fill(Qt::transparent);
    QPainter painter(&dark);
    painter.fillRect(4, 4, 8, 8, Qt::black);
    painter.end();
    const QImage light = VisibilityManager::templateIcon(QIcon(dark))
                             .pixmap(16, 16)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(QColor(light.pixel(8, 8)).lightness(), 200);
    EXPECT_EQ(qAlpha(light.pixel(0, 0)), 0);  // the shape is kept
}

TEST(TrayWatcher, FollowsTheStatusNotifierWatcherOnTheBus) {
    PrivateBus bus;
    if (bus.address().isEmpty()) {
        GTEST_SKIP() << "no dbus-daemon";
    }
    QDBusConnection app = QDBusConnection::connectToBus(bus.address(), QStringLiteral("app"));
    ASSERT_TRUE(app.isConnected());
    TrayWatcher watcher(app);
    EXPECT_FALSE(watcher.available());
    QSignalSpy changes(&watcher, &TrayWatcher::availabilityChanged);

    {
        QDBusConnection panel =
            QDBusConnection::connectToBus(bus.address(), QStringLiteral("panel"));
        ASSERT_TRUE(panel.registerService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return watcher.available(); }));
        // The panel restarts: its name goes and comes back.
        ASSERT_TRUE(panel.unregisterService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return !watcher.available(); }));
        ASSERT_TRUE(panel.registerService(TrayWatcher::kWatcherService));
        ASSERT_TRUE(waitUntil([&] { return watcher.available(); }));
        QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
    }
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 4; }));
    EXPECT_EQ(changes.at(0).at(0).toBool(), true);
    EXPECT_EQ(changes.at(1).at(0).toBool(), false);
    EXPECT_EQ(changes.at(2).at(0).toBool(), true);
    EXPECT_EQ(changes.at(3).at(0).toBool(), false);
    // A watcher that is already there when the program starts is seen at once.
    QDBusConnection panel = QDBusConnection::connectToBus(bus.address(), QStringLiteral("panel2"));
    ASSERT_TRUE(panel.registerService(TrayWatcher::kWatcherService));
    EXPECT_TRUE(TrayWatcher(app).available());
    QDBusConnection::disconnectFromBus(QStringLiteral("panel2"));
    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
}

}  // namespace

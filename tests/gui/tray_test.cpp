// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/process_logger.h"
#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/main_window.h"
#include "gui/tray_watcher.h"
#include "gui/visibility_manager.h"
#include "gui_test_support.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class AnswerFirst final : public DesktopAlerts {
  public:
    int alert_apptitled(const QString&, const QString&, const QString&, const QString&) override {
        return 1000;
    }
    int alert(const QString&, const QString&, const QString&, const QString&,
              const QString&) override {
        return 1001;
    }
};

// The panel's watcher, started and stopped as a panel restart would.
class StandInWatcher {
  public:
    bool start() {
        output_.clear();
        process_.start(QStringLiteral(OSTRIVANE_TRAY_STANDIN_PATH));
        return waitForLine(QStringLiteral("ready"));
    }
    void stop() {
        process_.closeWriteChannel();
        process_.waitForFinished(5000);
    }
    bool waitForLine(const QString& prefix) {
        return waitUntil([&] {
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
            return lineStartingWith(prefix).has_value();
        });
    }
    std::optional<QString> lineStartingWith(const QString& prefix) const {
        for (const QString& line : output_.split(QLatin1Char('\n'))) {
            if (line.startsWith(prefix)) {
                return line;
            }
        }
        return std::nullopt;
    }
    ~StandInWatcher() { stop(); }

  private:
    QProcess process_;
    QString output_;
};

// The item lives in this process: a blocking call would wait for itself, so
// every call runs while the events go on.
QDBusMessage callItem(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(message, 5000);
    waitUntil([&] { return pending.isFinished(); });
    return pending.reply();
}

QVariant itemProperty(const QString& service, const QString& path, const QString& name) {
    const QDBusMessage reply =
        callItem(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                 QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), name});
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
               ? reply.arguments().constFirst().value<QDBusVariant>().variant()
               : QVariant();
}

// The item's tooltip: (icon name, pixmaps, title, description).
QString toolTipOf(const QString& service, const QString& path) {
    const QVariant value = itemProperty(service, path, QStringLiteral("ToolTip"));
    if (!value.canConvert<QDBusArgument>()) {
        return QStringLiteral("(no tooltip)");
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    QString icon, title, description;
    argument.beginStructure();
    argument >> icon;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0, height = 0;
        QByteArray data;
        argument.beginStructure();
        argument >> width >> height >> data;
        argument.endStructure();
    }
    argument.endArray();
    argument >> title >> description;
    argument.endStructure();
    return title + QLatin1Char('|') + description;
}

TEST(RealTray, RegistersOnlyWithAWatcherCarriesTheTooltipAndComesBack) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !QDBusConnection::sessionBus().isConnected()) {
        GTEST_SKIP() << "needs its own X server and session bus";
    }
    for (const char* key : {"WelcomeAssistantFinished", "WelcomeShown"}) {
        setDefaultInt(QString::fromLatin1(key), 1);
    }
    setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
    setDefaultInt(QStringLiteral("DXVisibilityManagerValue"), 2);

    ProcessLogger log;
    AnswerFirst alerts;
    DesktopApp::Options options;
    options.headless.machine = QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo");
    options.trayWatcher = TrayWatcher::forSessionBus(nullptr);
    DesktopApp app(options, log, alerts);
    app.launch();
    VisibilityManager* visibility = app.visibilityManager();
    EXPECT_EQ(visibility->statusItem(), nullptr);
    EXPECT_TRUE(visibility->dockShownInTaskbar());

    StandInWatcher panel;
    ASSERT_TRUE(panel.start());
    ASSERT_TRUE(panel.waitForLine(QStringLiteral("registered ")));
    ASSERT_NE(visibility->statusItem(), nullptr);
    EXPECT_FALSE(visibility->dockShownInTaskbar());

    // "registered :1.5/StatusNotifierItem" or a well-known name of the item.
    QString item = panel.lineStartingWith(QStringLiteral("registered ")).value().mid(11);
    QString path = QStringLiteral("/StatusNotifierItem");
    if (item.contains(QLatin1Char('/'))) {
        path = item.mid(item.indexOf(QLatin1Char('/')));
        item = item.left(item.indexOf(QLatin1Char('/')));
    }
    EXPECT_EQ(itemProperty(item, path, QStringLiteral("Title")).toString(),
              QStringLiteral("Ostrivane"));
    // Qt 6.4 names the item after the application.
    EXPECT_EQ(itemProperty(item, path, QStringLiteral("Id")).toString(),
              QStringLiteral("Ostrivane"));
    const QString tooltip = toolTipOf(item, path);
    EXPECT_TRUE(tooltip.contains(QStringLiteral("Disk: Games Health: 63%")))
        << tooltip.toStdString();
    const QVariant menu = itemProperty(item, path, QStringLiteral("Menu"));
    EXPECT_TRUE(menu.canConvert<QDBusObjectPath>());
    EXPECT_NE(menu.value<QDBusObjectPath>().path(), QStringLiteral("/"));

    // Clicking the item opens the window.
    callItem(item, path, QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"),
             {0, 0});
    ASSERT_TRUE(waitUntil([&] { return app.mainWindow() && app.mainWindow()->isVisible(); }));

    // The panel restarts: the item goes and registers with the new watcher.
    panel.stop();
    ASSERT_TRUE(waitUntil([&] { return visibility->statusItem() == nullptr; }));
    EXPECT_TRUE(visibility->dockShownInTaskbar());
    ASSERT_TRUE(panel.start());
    EXPECT_TRUE(panel.waitForLine(QStringLiteral("registered ")));
    EXPECT_NE(visibility->statusItem(), nullptr);
}

}  // namespace

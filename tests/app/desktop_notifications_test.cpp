// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop notifications of the headless shell against a private session bus
// (a dbus-daemon of the test's own) with a notification service of the
// test's own: the Notify call as the service sees it, an error answer, and no
// service at all, each ending as the right log lines.
#include "app/headless_shell.h"

#include "test_support.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <mutex>

namespace {

class Lines final : public Logger {
  public:
    void log_message(int level, const QString& text) override {
        lines.append(QStringLiteral("%1 %2").arg(level).arg(text));
    }
    QStringList lines;
};

// Answers Notify on its own thread, so it can answer while the caller waits.
class NotificationService final : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const std::lock_guard lock(mutex);
        if (message.member() == QLatin1String("GetCapabilities")) {
            connection.send(message.createReply(QVariant(capabilities)));
            return true;
        }
        if (message.member() != QLatin1String("Notify")) {
            return false;
        }
        calls.append(message.arguments());
        connection.send(refusal.isEmpty() ? message.createReply(QVariant::fromValue(quint32(7)))
                                          : message.createErrorReply(
                                                QStringLiteral("org.example.Error.Full"), refusal));
        return true;
    }

    std::mutex mutex;
    QList<QVariantList> calls;
    QString refusal;  // answered with this error when not empty
    QStringList capabilities{QStringLiteral("body"), QStringLiteral("actions")};
};

QVariantMap hintsOf(const QVariantList& call) {
    return qdbus_cast<QVariantMap>(call.value(6).value<QDBusArgument>());
}

class DesktopNotificationsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            GTEST_FAIL() << "dbus-daemon is needed (Debian package dbus-daemon)";
        }
        const QString folder = testRoot() + QStringLiteral("/bus");
        QDir().mkpath(folder);
        QFile config(folder + QStringLiteral("/session.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>")
                         .arg(folder)
                         .toUtf8());
        config.close();
        daemon_ = new QProcess;
        daemon_->start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                                QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon_->waitForReadyRead(10000));
        address_ = QString::fromUtf8(daemon_->readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty());
        // The shell asks the session bus of the environment.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    }
    static void TearDownTestSuite() {
        if (daemon_ != nullptr) {
            daemon_->kill();
            daemon_->waitForFinished();
            delete daemon_;
            daemon_ = nullptr;
        }
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    // Puts the service on the bus for the rest of the test.
    void offerService() {
        thread_.start();
        service_.moveToThread(&thread_);
        QDBusConnection bus = QDBusConnection::connectToBus(address_, QStringLiteral("service"));
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(
            bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service_));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }
    void TearDown() override {
        if (thread_.isRunning()) {
            {
                QDBusConnection bus(QStringLiteral("service"));
                bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
                bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
            }
            QDBusConnection::disconnectFromBus(QStringLiteral("service"));
            thread_.quit();
            thread_.wait();
        }
    }

    static inline QProcess* daemon_ = nullptr;
    static inline QString address_;
    QThread thread_;
    NotificationService service_;
    Lines log_;
    DesktopNotifications notifications_{log_, QStringLiteral("Ostrivane")};
};

TEST_F(DesktopNotificationsTest, GoesToTheNotificationServiceWhenThereIsOne) {
    offerService();
    notifications_.deliverNotification(QStringLiteral("Drive health"),
                                       QStringLiteral("Health dropped\nto 80%"), QString());
    const std::lock_guard lock(service_.mutex);
    ASSERT_EQ(service_.calls.size(), 1);
    const QVariantList& call = service_.calls.first();
    ASSERT_EQ(call.size(), 8);
    EXPECT_EQ(call[0].toString(), QStringLiteral("Ostrivane"));
    EXPECT_EQ(call[3].toString(), QStringLiteral("Drive health"));
    EXPECT_EQ(call[4].toString(), QStringLiteral("Health dropped\nto 80%"));
    // Nothing in a headless monitor could answer a click.
    EXPECT_TRUE(call[5].toStringList().isEmpty());
    EXPECT_EQ(call[7].toInt(), -1);
    EXPECT_TRUE(log_.lines.filter(QStringLiteral("Notification:")).isEmpty())
        << log_.lines.join('\n').toStdString();
}

TEST_F(DesktopNotificationsTest, AnErrorAnswerOrNoServiceEndsInTheLog) {
    notifications_.deliverNotification(QStringLiteral("T1"), QStringLiteral("no\nservice"),
                                       QString());
    EXPECT_EQ(log_.lines, QStringList{QStringLiteral("5 Notification: T1 - noservice")});

    service_.refusal = QStringLiteral("too many notifications");
    offerService();
    log_.lines.clear();
    notifications_.deliverNotification(QStringLiteral("T2"), QStringLiteral("text"), QString());
    EXPECT_EQ(log_.lines,
              (QStringList{QStringLiteral("3 Error:    desktop notification failed: too many "
                                          "notifications"),
                           QStringLiteral("5 Notification: T2 - text")}));
}

TEST_F(DesktopNotificationsTest, CarriesTheDockImageAsFileAndIcon) {
    offerService();
    notifications_.deliverNotification(QStringLiteral("T"), QStringLiteral("text"),
                                       QStringLiteral("iconset_dock_1_warning"));
    const std::lock_guard lock(service_.mutex);
    ASSERT_EQ(service_.calls.size(), 1);
    const QVariantList& call = service_.calls.first();
    const QString path = hintsOf(call).value(QStringLiteral("image-path")).toString();
    EXPECT_TRUE(path.endsWith(QLatin1String("/iconset_dock_1_warning.png"))) << path.toStdString();
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    EXPECT_EQ(call[2].toString(), path);
}

// A drive may be named "<A & B>": shown as written, whether or not the
// service reads markup.
TEST_F(DesktopNotificationsTest, EscapesMarkupOnlyForAServiceThatReadsIt) {
    offerService();
    const QString text = QStringLiteral("Disk <A & B> (/dev/sda)");
    notifications_.deliverNotification(QStringLiteral("T"), text, QString());
    {
        const std::lock_guard lock(service_.mutex);
        service_.capabilities.append(QStringLiteral("body-markup"));
    }
    notifications_.deliverNotification(QStringLiteral("T"), text, QString());
    const std::lock_guard lock(service_.mutex);
    ASSERT_EQ(service_.calls.size(), 2);
    EXPECT_EQ(service_.calls[0][4].toString(), text);
    EXPECT_EQ(service_.calls[1][4].toString(), QStringLiteral("Disk &lt;A &amp; B&gt; (/dev/sda)"));
    EXPECT_EQ(service_.calls[1][3].toString(), QStringLiteral("T"));
}

TEST_F(DesktopNotificationsTest, ADefaultActionAnswersTheClickOnItsNotification) {
    offerService();
    int clicks = 0;
    notifications_.clicked = [&clicks] { ++clicks; };
    notifications_.deliverNotification(QStringLiteral("T"), QStringLiteral("text"), QString());
    {
        const std::lock_guard lock(service_.mutex);
        ASSERT_EQ(service_.calls.size(), 1);
        EXPECT_EQ(service_.calls[0][5].toStringList().value(0), QStringLiteral("default"));
        EXPECT_EQ(service_.calls[0][5].toStringList().size(), 2);
    }
    const auto invoke = [](quint32 id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        ASSERT_TRUE(QDBusConnection(QStringLiteral("service")).send(signal));
    };
    const auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    // Another notification's click, and another action of ours, are not ours.
    invoke(8, QStringLiteral("default"));
    invoke(7, QStringLiteral("other"));
    settle();
    EXPECT_EQ(clicks, 0);
    invoke(7, QStringLiteral("default"));
    settle();
    EXPECT_EQ(clicks, 1);
    notifications_.clicked = nullptr;
}

TEST_F(DesktopNotificationsTest, ASecondActionAnswersOnlyItsOwnKey) {
    offerService();
    int chosen = 0;
    notifications_.deliverNotificationWithAction(QStringLiteral("T"), QStringLiteral("text"),
                                                 QString(), QStringLiteral("Remind"),
                                                 [&chosen] { ++chosen; });
    {
        const std::lock_guard lock(service_.mutex);
        ASSERT_EQ(service_.calls.size(), 1);
        EXPECT_EQ(service_.calls[0][5].toStringList(),
                  (QStringList{QStringLiteral("remind"), QStringLiteral("Remind")}));
    }
    const auto invoke = [](quint32 id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        ASSERT_TRUE(QDBusConnection(QStringLiteral("service")).send(signal));
    };
    const auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    invoke(7, QStringLiteral("default"));  // a click is not the action
    invoke(8, QStringLiteral("remind"));   // another notification's
    settle();
    EXPECT_EQ(chosen, 0);
    invoke(7, QStringLiteral("remind"));
    settle();
    EXPECT_EQ(chosen, 1);
}

TEST_F(DesktopNotificationsTest, WithoutAServiceTheFallbackShowsIt) {
    QStringList shown;
    notifications_.fallback = [&shown](const QString& title, const QString& text) {
        shown << title + QLatin1Char('|') + text;
        return true;
    };
    notifications_.deliverNotification(QStringLiteral("T"), QStringLiteral("text"), QString());
    EXPECT_EQ(shown, QStringList{QStringLiteral("T|text")});
    EXPECT_TRUE(log_.lines.isEmpty()) << log_.lines.join('\n').toStdString();

    // A fallback that cannot show it leaves the log line.
    notifications_.fallback = [](const QString&, const QString&) { return false; };
    notifications_.deliverNotification(QStringLiteral("T"), QStringLiteral("text"), QString());
    EXPECT_EQ(log_.lines, QStringList{QStringLiteral("5 Notification: T - text")});
}

}  // namespace

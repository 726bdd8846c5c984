// Desktop notifications of the headless shell against a private session bus
// (a dbus-daemon of the test's own) with a notification service of the
// test's own: the Notify call as the service sees it, an error answer, and no
// service at all, each ending as the right log lines.
#include "app/headless_shell.h"

#include "test_support.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

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
        if (message.member() != QLatin1String("Notify")) {
            return false;
        }
        const std::lock_guard lock(mutex);
        calls.append(message.arguments());
        connection.send(refusal.isEmpty() ? message.createReply(QVariant::fromValue(quint32(7)))
                                          : message.createErrorReply(
                                                QStringLiteral("org.example.Error.Full"), refusal));
        return true;
    }

    std::mutex mutex;
    QList<QVariantList> calls;
    QString refusal;  // answered with this error when not empty
};

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

}  // namespace

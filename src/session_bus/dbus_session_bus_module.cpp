// SPDX-License-Identifier: GPL-3.0-or-later
// The session-bus module: desktop notifications with Qt D-Bus, kept out of the
// program's own binary so that libdbus and the libraries it brings are mapped
// only in a process that shows a notification.
#include "app/session_bus_module.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace {

constexpr int kCallTimeoutMs = 5000;
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kActionKey = QStringLiteral("remind");

// The service's signals about the notifications sent from here.
class NotificationSignals final : public QObject {
    Q_OBJECT

  public:
    QHash<quint32, std::function<void()>> clicks;
    QHash<quint32, std::function<void()>> actions;

  public Q_SLOTS:
    void actionInvoked(quint32 id, const QString& key) {
        std::function<void()> answer;
        if (key == QLatin1String("default")) {
            answer = clicks.value(id);
        } else if (key == kActionKey) {
            answer = actions.value(id);
        }
        if (answer) {
            answer();
        }
    }
    void notificationClosed(quint32 id, quint32) {
        clicks.remove(id);
        actions.remove(id);
    }
};

class DBusSessionBusModule final : public SessionBusModule {
  public:
    Delivery notify(const Notification& notification, QString& error) override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface() ||
            !bus.interface()->isServiceRegistered(kService).value()) {
            return Delivery::NoService;
        }
        QVariantMap hints;
        if (!notification.imagePath.isEmpty()) {
            hints.insert(QStringLiteral("image-path"), notification.imagePath);
        }
        QStringList actions;
        if (notification.clicked) {
            listen(bus);
            actions << QStringLiteral("default") << QStringLiteral("Open");
        }
        if (notification.action && !notification.actionLabel.isEmpty()) {
            listen(bus);
            actions << kActionKey << notification.actionLabel;
        }
        // A service that reads markup would take "<" in a drive's name for a tag.
        const QString body = readsMarkup(bus) ? escaped(notification.text) : notification.text;
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        call << notification.appName << quint32(0) << notification.imagePath << notification.title
             << body << actions << hints << qint32(-1);
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            error = reply.errorMessage();
            return Delivery::Failed;
        }
        if (notification.clicked && !reply.arguments().isEmpty()) {
            signals_.clicks.insert(reply.arguments().first().toUInt(), notification.clicked);
        }
        if (notification.action && !reply.arguments().isEmpty()) {
            signals_.actions.insert(reply.arguments().first().toUInt(), notification.action);
        }
        return Delivery::Delivered;
    }

  private:
    static QString escaped(QString text) {
        return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
            .replace(QLatin1Char('<'), QLatin1String("&lt;"))
            .replace(QLatin1Char('>'), QLatin1String("&gt;"));
    }
    // Asked at every notification: the service may have been replaced.
    static bool readsMarkup(QDBusConnection& bus) {
        const QDBusMessage reply =
            bus.call(QDBusMessage::createMethodCall(kService, kPath, kService,
                                                    QStringLiteral("GetCapabilities")),
                     QDBus::Block, kCallTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
               reply.arguments().first().toStringList().contains(QStringLiteral("body-markup"));
    }

    void listen(QDBusConnection& bus) {
        if (listening_) {
            return;
        }
        listening_ = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"),
                                 &signals_, SLOT(actionInvoked(quint32, QString))) &&
                     bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"),
                                 &signals_, SLOT(notificationClosed(quint32, quint32)));
    }

    NotificationSignals signals_;
    bool listening_ = false;
};

}  // namespace

extern "C" Q_DECL_EXPORT SessionBusModule* ostrivane_session_bus_module() {
    static DBusSessionBusModule module;
    return &module;
}

#include "dbus_session_bus_module.moc"

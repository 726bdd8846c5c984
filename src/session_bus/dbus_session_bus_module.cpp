// The session-bus module: desktop notifications with Qt D-Bus, kept out of the
// program's own binary so that libdbus and the libraries it brings are mapped
// only in a process that shows a notification.
#include "app/session_bus_module.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

constexpr int kCallTimeoutMs = 5000;

class DBusSessionBusModule final : public SessionBusModule {
  public:
    Delivery notify(const QString& appName, const QString& title, const QString& text,
                    const QString& imagePath, QString& error) override {
        const QString service = QStringLiteral("org.freedesktop.Notifications");
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface() ||
            !bus.interface()->isServiceRegistered(service).value()) {
            return Delivery::NoService;
        }
        QVariantMap hints;
        if (!imagePath.isEmpty()) {
            hints.insert(QStringLiteral("image-path"), imagePath);
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/Notifications"), service,
            QStringLiteral("Notify"));
        call << appName << quint32(0) << QString() << title << text << QStringList() << hints
             << qint32(-1);
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            error = reply.errorMessage();
            return Delivery::Failed;
        }
        return Delivery::Delivered;
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT SessionBusModule* ostrivane_session_bus_module() {
    static DBusSessionBusModule module;
    return &module;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/single_instance.h"

#include "foundation/logging.h"

#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kReopenRescue = QByteArrayLiteral("reopen show\n");

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {
    // Only this user may reach the socket.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    return;
                }
                const QByteArray line = socket->readLine(64);
                socket->disconnectFromServer();
                if (line == kReopen || line == kReopenRescue) {
                    Q_EMIT reopenRequested(line == kReopenRescue);
                }
            });
        }
    });
}

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime + QStringLiteral("/ostrivane.socket");
    }
    return QDir::tempPath() + QStringLiteral("/ostrivane-%1.socket").arg(::getuid());
}

bool SingleInstance::handOver(const QString& socketPath, bool rescue, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(rescue ? kReopenRescue : kReopen);
    socket.waitForBytesWritten(timeoutMs);
    // The first instance closes the connection once it has read the line.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

SingleInstance::Role SingleInstance::start(bool rescue, int timeoutMs) {
    if (handOver(path_, rescue, timeoutMs)) {
        return Role::Handed;
    }
    // Nobody answered: a crashed instance left its socket file behind.
    QLocalServer::removeServer(path_);
    if (!server_.listen(path_)) {
        log_message(
            3, QStringLiteral("Error: cannot listen on %1: %2").arg(path_, server_.errorString()));
        return Role::Failed;
    }
    return Role::First;
}

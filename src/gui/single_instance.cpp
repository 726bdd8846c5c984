// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/single_instance.h"

#include "foundation/logging.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kReopenRescue = QByteArrayLiteral("reopen show\n");
// Longer than any request: a client that sends more is not one of ours.
constexpr qsizetype kMaxRequest = 64;

std::optional<sockaddr_un> addressOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.isEmpty() || std::size_t(name.size()) >= sizeof address.sun_path) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

// Waits for `events` on `fd` until the deadline; false on time-out or error.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

struct SingleInstance::Client {
    QByteArray request;
    std::unique_ptr<QSocketNotifier> notifier;
};

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() {
    const QList<int> fds = clients_.keys();
    for (const int fd : fds) {
        dropClient(fd);
    }
    if (listener_ >= 0) {
        listening_.reset();
        ::close(listener_);
    }
}

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime + QStringLiteral("/ostrivane.socket");
    }
    return QDir::tempPath() + QStringLiteral("/ostrivane-%1.socket").arg(::getuid());
}

bool SingleInstance::handOver(const QString& socketPath, bool rescue, int timeoutMs) {
    const std::optional<sockaddr_un> address = addressOf(socketPath);
    if (!address) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    if (!connected && (errno == EINPROGRESS || errno == EAGAIN)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = waitFor(fd, POLLOUT, deadline) &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    if (!connected) {
        ::close(fd);
        return false;
    }
    const QByteArray& request = rescue ? kReopenRescue : kReopen;
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.constData() + sent, std::size_t(request.size() - sent),
                                 MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, deadline)) {
            continue;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    // The first instance closes the connection once it has read the line.
    char ignored[16];
    while (waitFor(fd, POLLIN, deadline) && ::recv(fd, ignored, sizeof ignored, 0) > 0) {
    }
    ::close(fd);
    return true;
}

SingleInstance::Role SingleInstance::start(bool rescue, int timeoutMs) {
    if (handOver(path_, rescue, timeoutMs)) {
        return Role::Handed;
    }
    const std::optional<sockaddr_un> address = addressOf(path_);
    const int fd = address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0) : -1;
    if (fd < 0) {
        log_message(3, QStringLiteral("Error: cannot listen on %1: %2")
                           .arg(path_, address ? QString::fromLocal8Bit(std::strerror(errno))
                                               : QStringLiteral("path too long")));
        return Role::Failed;
    }
    // Nobody answered: a crashed instance left its socket file behind.
    ::unlink(address->sun_path);
    // Only this user may reach the socket.
    const mode_t previous = ::umask(0077);
    const bool bound =
        ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::umask(previous);
    if (!bound || ::listen(fd, 8) != 0) {
        log_message(3, QStringLiteral("Error: cannot listen on %1: %2")
                           .arg(path_, QString::fromLocal8Bit(std::strerror(errno))));
        ::close(fd);
        return Role::Failed;
    }
    listener_ = fd;
    listening_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(listening_.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return Role::First;
}

void SingleInstance::release() {
    if (listener_ < 0) {
        return;
    }
    listening_.reset();
    ::close(listener_);
    listener_ = -1;
    if (const std::optional<sockaddr_un> address = addressOf(path_)) {
        ::unlink(address->sun_path);
    }
}

void SingleInstance::acceptClients() {
    while (true) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            return;  // EAGAIN: all taken; anything else: the next wake-up tries again
        }
        auto client = std::make_shared<Client>();
        client->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(client->notifier.get(), &QSocketNotifier::activated, this,
                [this, fd] { readClient(fd); });
        clients_.insert(fd, client);
    }
}

void SingleInstance::readClient(int fd) {
    const std::shared_ptr<Client> client = clients_.value(fd);
    if (!client) {
        return;
    }
    char buffer[kMaxRequest];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (n <= 0) {
        dropClient(fd);
        return;
    }
    client->request.append(buffer, n);
    const qsizetype end = client->request.indexOf('\n');
    if (end < 0 && client->request.size() < kMaxRequest) {
        return;  // the rest of the line is still on its way
    }
    const QByteArray line = end < 0 ? QByteArray() : client->request.left(end + 1);
    dropClient(fd);
    if (line == kReopen || line == kReopenRescue) {
        Q_EMIT reopenRequested(line == kReopenRescue);
    }
}

void SingleInstance::dropClient(int fd) {
    const std::shared_ptr<Client> client = clients_.take(fd);
    if (client) {
        client->notifier.reset();
        ::close(fd);
    }
}

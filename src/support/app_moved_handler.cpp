// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/app_moved_handler.h"

#include "ext/text.h"
#include "foundation/logging.h"
#include "support/alerts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>

namespace {

constexpr std::size_t kPathBuffer = 4096;

void drain(int fd) {
    std::array<char, 4096> buffer{};
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
}

}  // namespace

DXAppMovedHandler::DXAppMovedHandler(Services services, QString root, int latencyMs)
    : services_(std::move(services)), root_(std::move(root)) {
    latency_.setSingleShot(true);
    latency_.setInterval(latencyMs);
    QObject::connect(&latency_, &QTimer::timeout, [this] { check(); });
}

DXAppMovedHandler::~DXAppMovedHandler() {
    inotify_.reset();
    mounts_.reset();
    for (const int fd : {rootFd_, inotifyFd_, mountsFd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool DXAppMovedHandler::startMoveObservation() {
    if (rootFd_ >= 0) {
        return true;
    }
    rootFd_ = ::open(QFile::encodeName(root_).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    inotifyFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd_ >= 0) {
        watchRootAndAbove();
        inotify_ = std::make_unique<QSocketNotifier>(inotifyFd_, QSocketNotifier::Read);
        QObject::connect(inotify_.get(), &QSocketNotifier::activated, [this] {
            drain(inotifyFd_);
            changed();
        });
    }
    // The kernel marks the mount table with POLLPRI when it changes.
    mountsFd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (mountsFd_ >= 0) {
        drain(mountsFd_);
        mounts_ = std::make_unique<QSocketNotifier>(mountsFd_, QSocketNotifier::Exception);
        QObject::connect(mounts_.get(), &QSocketNotifier::activated, [this] {
            ::lseek(mountsFd_, 0, SEEK_SET);
            drain(mountsFd_);
            changed();
        });
    }
    if (rootFd_ < 0) {
        log_message(3, QStringLiteral("Error: cannot watch the installation at %1").arg(root_));
    }
    return rootFd_ >= 0;
}

void DXAppMovedHandler::watchRootAndAbove() {
    // Only the moves of the root itself and of the folders above it: what
    // happens inside the installation does not move it.
    QString path = QDir::cleanPath(root_);
    while (!path.isEmpty() && path != QLatin1String("/")) {
        ::inotify_add_watch(inotifyFd_, QFile::encodeName(path).constData(),
                            IN_MOVE_SELF | IN_ONLYDIR);
        path = QFileInfo(path).path();
    }
}

QString DXAppMovedHandler::currentRoot() const {
    if (rootFd_ < 0) {
        return {};
    }
    std::array<char, kPathBuffer> buffer{};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(rootFd_);
    const ssize_t size = ::readlink(link.constData(), buffer.data(), buffer.size() - 1);
    if (size <= 0) {
        return {};
    }
    const QString path = QFile::decodeName(QByteArray(buffer.data(), size));
    // A folder that was removed, or one outside this process's view of the
    // file system, has no path to start from.
    if (!path.startsWith(QLatin1Char('/')) || path.endsWith(QLatin1String(" (deleted)"))) {
        return {};
    }
    return path;
}

void DXAppMovedHandler::changed() {
    if (!handled_) {
        // Events of one move come in bursts: one look after they settled.
        latency_.start();
    }
}

void DXAppMovedHandler::check() {
    const QString now = currentRoot();
    if (handled_ || now == root_) {
        return;
    }
    handled_ = true;
    log_message(5, QStringLiteral("Info: move detection triggered, offering to restart app"));
    const QString name = services_.alerts.appName();
    services_.alerts.alert_apptitled(
        localized(
            QStringLiteral("%1 has been moved, but applications should never be moved while they "
                           "are running."))
            .arg(name),
        localized(QStringLiteral("Restart %1")).arg(name));
    if (now.isEmpty() || !services_.launch(now)) {
        services_.alerts.alert_apptitled(
            localized(QStringLiteral("%1 could not restart itself. Please do so yourself."))
                .arg(name),
            localized(QStringLiteral("Quit")));
    }
    services_.quit();
}

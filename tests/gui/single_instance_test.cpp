// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/single_instance.h"

#include "gui_test_support.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>

namespace {

// A later launch runs in its own process; a thread stands in for it, since
// its hand-over blocks until the first instance has read the request.
SingleInstance::Role startElsewhere(const QString& path, bool rescue) {
    auto role = std::async(std::launch::async, [path, rescue] {
        SingleInstance later(path);
        return later.start(rescue);
    });
    while (role.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return role.get();
}

TEST(SingleInstance, ALaterLaunchHandsItsRequestToTheFirst) {
    EXPECT_EQ(SingleInstance::defaultSocketPath(),
              qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/ostrivane.socket"));
    const QString path = testRoot() + QStringLiteral("/XDG_RUNTIME_DIR/handover.socket");
    SingleInstance first(path);
    ASSERT_EQ(first.start(false), SingleInstance::Role::First);
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);

    EXPECT_EQ(startElsewhere(path, false), SingleInstance::Role::Handed);
    EXPECT_EQ(startElsewhere(path, true), SingleInstance::Role::Handed);
    ASSERT_TRUE(waitUntil([&] { return reopened.size() == 2; }));
    EXPECT_FALSE(reopened.at(0).at(0).toBool());
    EXPECT_TRUE(reopened.at(1).at(0).toBool());
}

TEST(SingleInstance, TheSocketOfACrashedInstanceIsTakenOver) {
    const QString path = testRoot() + QStringLiteral("/XDG_RUNTIME_DIR/stale.socket");
    // A socket file nobody listens on, as a killed instance leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));

    SingleInstance first(path);
    ASSERT_EQ(first.start(false, 200), SingleInstance::Role::First);
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    EXPECT_EQ(startElsewhere(path, false), SingleInstance::Role::Handed);
    EXPECT_TRUE(waitUntil([&] { return reopened.size() == 1; }));
}

TEST(SingleInstance, SomethingElseOnTheSocketIsNotAReopenRequest) {
    const QString path = testRoot() + QStringLiteral("/XDG_RUNTIME_DIR/garbage.socket");
    SingleInstance first(path);
    ASSERT_EQ(first.start(false), SingleInstance::Role::First);
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    auto sent = std::async(std::launch::async, [path] {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(1000)) {
            socket.write("reopen now please\n");
            socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(1000);
        }
    });
    while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(reopened.size(), 0);
}

}  // namespace

TEST(SingleInstance, AReleasedInstanceIsNoLongerHandedTo) {
    const QString path = testRoot() + QStringLiteral("/XDG_RUNTIME_DIR/released.socket");
    SingleInstance quitting(path);
    ASSERT_EQ(quitting.start(false), SingleInstance::Role::First);
    quitting.release();
    EXPECT_FALSE(QFileInfo::exists(path));
    // The copy started while the first one quits becomes the first itself.
    EXPECT_EQ(startElsewhere(path, false), SingleInstance::Role::First);
    quitting.release();
}

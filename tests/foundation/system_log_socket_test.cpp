// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/system_log_socket.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A listening datagram socket at a path, as a log daemon holds /dev/log.
class BoundSocket {
  public:
    explicit BoundSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_DGRAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        bound_ = fd_ >= 0 &&
                 ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~BoundSocket() { ::close(fd_); }
    bool bound() const { return bound_; }

  private:
    int fd_;
    bool bound_ = false;
};

class SystemLogSocketTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/log";
    std::chrono::steady_clock::time_point now{1h};
    SystemLogSocket socket{path, 5s, [this] { return now; }};
};

TEST_F(SystemLogSocketTest, ADaemonStartedLaterIsFoundWithinTheInterval) {
    EXPECT_FALSE(socket.exists());
    BoundSocket daemon(path);
    ASSERT_TRUE(daemon.bound());
    now += 4s;
    EXPECT_FALSE(socket.exists());  // not looked at again yet
    now += 1s;
    EXPECT_TRUE(socket.exists());
}

TEST_F(SystemLogSocketTest, ADaemonGoneIsNoticedWithinTheInterval) {
    {
        BoundSocket daemon(path);
        ASSERT_TRUE(daemon.bound());
        EXPECT_TRUE(socket.exists());
        ::unlink(path.c_str());
    }
    EXPECT_TRUE(socket.exists());
    now += 5s;
    EXPECT_FALSE(socket.exists());
}

TEST_F(SystemLogSocketTest, AFileThatIsNoSocketDoesNotCount) {
    std::ofstream(path) << "not a socket";
    EXPECT_FALSE(socket.exists());
}

TEST(SystemLogSocket, AZeroIntervalLooksEveryTime) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/log";
    SystemLogSocket socket(path, 0s);
    EXPECT_FALSE(socket.exists());
    BoundSocket daemon(path);
    ASSERT_TRUE(daemon.bound());
    EXPECT_TRUE(socket.exists());
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/system_log_socket.h"

#include <sys/stat.h>

SystemLogSocket::SystemLogSocket(std::string path, std::chrono::nanoseconds interval, Clock clock)
    : path_(std::move(path)), interval_(interval), clock_(std::move(clock)) {}

bool SystemLogSocket::exists() {
    const std::int64_t now = clock_().time_since_epoch().count();
    const std::int64_t next = nextLook_.load(std::memory_order_acquire);
    if (next != 0 && now < next) {
        return exists_.load(std::memory_order_relaxed);
    }
    // Two threads may both look at the boundary; both then store the same answer.
    const bool found = look();
    exists_.store(found, std::memory_order_relaxed);
    nextLook_.store(now + std::chrono::nanoseconds(interval_).count(), std::memory_order_release);
    return found;
}

bool SystemLogSocket::look() const {
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

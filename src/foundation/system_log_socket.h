// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// Whether the system log's socket exists, looked at again at most once per
// interval. Without a log daemon, glibc's syslog() tries socket() and
// connect() anew for every message, which costs more than the rest of a log
// line; with this, a daemon started later is still found within an interval.
class SystemLogSocket {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::seconds kDefaultInterval{5};

    explicit SystemLogSocket(std::string path, std::chrono::nanoseconds interval = kDefaultInterval,
                             Clock clock = &std::chrono::steady_clock::now);

    bool exists();

  private:
    bool look() const;

    std::string path_;
    std::chrono::nanoseconds interval_;
    Clock clock_;
    // Nanoseconds on the clock after which to look again; 0 before the first look.
    std::atomic<std::int64_t> nextLook_{0};
    std::atomic<bool> exists_{false};
};

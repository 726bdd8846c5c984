// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/helper_protocol.h"
#include "disks/platform/smart_access.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class SysfsDisks;

// Drive commands through ostrivane-smart-helper on its Unix socket. One
// connection carries the commands of a whole check: it is kept while
// commands follow each other and opened anew when the helper has gone away
// (idle, or at its limit of requests). The protocol is found from sysfs here,
// which needs no privileges. When the socket cannot be reached, every command
// fails with "not privileged" and `unavailable` is called (once per client).
class HelperClient final : public SmartAccess {
  public:
    static constexpr std::chrono::seconds kAnswerTimeout{30};
    // Well below the helper's idle time-out, so a kept connection is not
    // used just as the helper gives up on it.
    static constexpr std::chrono::milliseconds kReuseWithin{kHelperIdleTimeoutMs / 2};

    explicit HelperClient(std::string socketPath = kSmartSocketPath, std::string sysRoot = "/sys",
                          std::function<void()> unavailable = {});
    ~HelperClient() override;
    HelperClient(const HelperClient&) = delete;
    HelperClient& operator=(const HelperClient&) = delete;

    SmartProtocol protocolOf(const std::string& disk) override;
    bool hasDisk(const std::string& disk) override;
    AtaStatusAnswer ataReturnStatus(const std::string& disk) override;
    PageAnswer ataReadData(const std::string& disk) override;
    PageAnswer ataReadThresholds(const std::string& disk) override;
    PageAnswer nvmeHealthLog(const std::string& disk) override;
    PageAnswer ataDeviceStatistics(const std::string& disk, std::uint8_t page) override;
    PowerModeAnswer ataPowerMode(const std::string& disk) override;

    // Connections opened so far (for tests and measurements).
    int connections() const { return connections_; }

  private:
    HelperAnswer ask(HelperOperation operation, const std::string& disk);
    PageAnswer askPage(HelperOperation operation, const std::string& disk);
    void disconnect();

    std::string socketPath_;
    std::unique_ptr<SysfsDisks> sysfs_;
    std::function<void()> unavailable_;
    bool reported_ = false;

    std::mutex mutex_;  // one question at a time on the kept connection
    int fd_ = -1;
    std::chrono::steady_clock::time_point lastAnswer_;
    int connections_ = 0;
};

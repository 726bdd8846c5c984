#pragma once

#include "disks/platform/helper_protocol.h"
#include "disks/platform/linux/sysfs_disks.h"
#include "disks/platform/smart_access.h"

#include <chrono>
#include <functional>
#include <string>

inline constexpr const char* kSmartSocketPath = "/run/ostrivane/smart.sock";

// Drive commands through ostrivane-smart-helper on its Unix socket: one
// connection per command. The protocol is found from sysfs here, which needs
// no privileges. When the socket cannot be reached, every command fails with
// "not privileged" and `unavailable` is called (once per client).
class HelperClient final : public SmartAccess {
  public:
    static constexpr std::chrono::seconds kAnswerTimeout{30};

    explicit HelperClient(std::string socketPath = kSmartSocketPath, std::string sysRoot = "/sys",
                          std::function<void()> unavailable = {});

    SmartProtocol protocolOf(const std::string& disk) override;
    AtaStatusAnswer ataReturnStatus(const std::string& disk) override;
    PageAnswer ataReadData(const std::string& disk) override;
    PageAnswer ataReadThresholds(const std::string& disk) override;
    PageAnswer nvmeHealthLog(const std::string& disk) override;

  private:
    HelperAnswer ask(HelperOperation operation, const std::string& disk);
    PageAnswer askPage(HelperOperation operation, const std::string& disk);

    std::string socketPath_;
    SysfsDisks sysfs_;
    std::function<void()> unavailable_;
    bool reported_ = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The platform-access contract under the S.M.A.R.T. reader: one call per drive
// command, raw pages and platform result codes out, no parsing or policy. It is
// free of Qt because the privileged helper implements it too.

// Platform result codes. The reader distinguishes success, "no resources"
// (no device or no S.M.A.R.T. interface) and "not responding" (retried);
// everything else is a general failure.
using IOReturn = std::int32_t;
inline constexpr IOReturn kIOReturnSuccess = 0;
inline constexpr IOReturn kIOReturnError = IOReturn(0xE00002BCu);
inline constexpr IOReturn kIOReturnNoResources = IOReturn(0xE00002BEu);
inline constexpr IOReturn kIOReturnNotPrivileged = IOReturn(0xE00002C1u);
inline constexpr IOReturn kIOReturnBadArgument = IOReturn(0xE00002C2u);
inline constexpr IOReturn kIOReturnNotResponding = IOReturn(0xE00002EDu);

enum class SmartProtocol { None, Ata, Nvme };

inline constexpr std::size_t kSmartPageSize = 512;
using SmartPage = std::array<std::uint8_t, kSmartPageSize>;

// `answered`: the drive's verdict was read, which can happen even when the
// command as a whole reported an error (`result` then says which).
struct AtaStatusAnswer {
    IOReturn result = kIOReturnError;
    bool answered = false;
    bool thresholdExceeded = false;
};

// `page` is all zero unless `result` is success.
struct PageAnswer {
    IOReturn result = kIOReturnError;
    SmartPage page{};
};

// The ATA power modes CHECK POWER MODE distinguishes. A disk in standby or
// sleep is not sent anything that would spin it up.
enum class PowerMode { Unknown, Active, Idle, Standby, Sleep };

// `count` is the drive's count register after CHECK POWER MODE (0x00 standby,
// 0x80..0x83 idle, 0xFF active or idle); meaningful only on success.
struct PowerModeAnswer {
    IOReturn result = kIOReturnError;
    std::uint8_t count = 0;
};

// The mode a CHECK POWER MODE answer stands for. A drive in sleep answers no
// command until it is reset, so "not responding" is read as sleep.
inline PowerMode powerModeOf(const PowerModeAnswer& answer) {
    if (answer.result == kIOReturnNotResponding) {
        return PowerMode::Sleep;
    }
    if (answer.result != kIOReturnSuccess) {
        return PowerMode::Unknown;
    }
    switch (answer.count) {
        case 0x00:
        case 0x01:
        case 0x40:  // spun down, answering from its non-volatile cache
            return PowerMode::Standby;
        case 0x80:
        case 0x81:
        case 0x82:
        case 0x83:
            return PowerMode::Idle;
        default:
            return PowerMode::Active;
    }
}

// The Device Statistics log pages the helper reads; no other page of any log.
inline constexpr std::array<std::uint8_t, 4> kDeviceStatisticsPages{0x00, 0x01, 0x05, 0x07};

// A kernel disk name we are willing to look up: 1..32 letters, digits, '-'
// or '_' (so never a path, "." or "..").
inline bool isPlausibleDiskName(std::string_view name) {
    constexpr std::size_t kMaxNameLength = 32;
    return !name.empty() && name.size() <= kMaxNameLength &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

// Every call names a whole disk by its kernel name ("sda", "nvme0n1").
class SmartAccess {
  public:
    virtual ~SmartAccess() = default;
    // None when the disk does not exist or speaks neither ATA nor NVMe.
    virtual SmartProtocol protocolOf(const std::string& disk) = 0;
    // Whether the whole disk exists at all (it may still be neither ATA nor NVMe).
    virtual bool hasDisk(const std::string& disk) {
        return protocolOf(disk) != SmartProtocol::None;
    }
    virtual AtaStatusAnswer ataReturnStatus(const std::string& disk) = 0;
    virtual PageAnswer ataReadData(const std::string& disk) = 0;
    virtual PageAnswer ataReadThresholds(const std::string& disk) = 0;
    virtual PageAnswer nvmeHealthLog(const std::string& disk) = 0;
    // READ LOG EXT of one page of the Device Statistics log (general purpose
    // log 0x04); pages outside kDeviceStatisticsPages are refused.
    virtual PageAnswer ataDeviceStatistics(const std::string& disk, std::uint8_t page) {
        (void)disk;
        (void)page;
        return {kIOReturnNoResources, {}};
    }
    // CHECK POWER MODE, which never spins a disk up.
    virtual PowerModeAnswer ataPowerMode(const std::string& disk) {
        (void)disk;
        return {kIOReturnNoResources, 0};
    }
};

inline bool isDeviceStatisticsPage(std::uint8_t page) {
    return std::find(kDeviceStatisticsPages.begin(), kDeviceStatisticsPages.end(), page) !=
           kDeviceStatisticsPages.end();
}

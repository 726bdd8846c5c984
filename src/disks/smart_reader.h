// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/evaluation_services.h"
#include "disks/disk_name_resolver.h"
#include "disks/platform/smart_access.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// Reads a drive's overall S.M.A.R.T. status and its attribute table through
// the platform access, applying the status and retry rules, the page
// checksums and the NVMe mapping. Nothing is kept between calls.
//
// The ATA "enable operations" and "enable attribute autosave" commands are
// never sent: they change drive state, Linux drives have S.M.A.R.T. enabled
// by the firmware or the installer, and a monitor that quietly rewrites a
// setting the administrator chose would be wrong. RETURN STATUS, READ DATA
// and READ THRESHOLDS answer regardless of the autosave setting.
class SmartReader {
  public:
    using Pause = std::function<void(std::chrono::milliseconds)>;

    static constexpr int kMaxRetries = 50;
    static constexpr std::chrono::milliseconds kRetryPause{100};

    SmartReader(SmartAccess& access, DiskNameResolver& names, Logger& log, Pause pause = {});

    // A value of SMARTStatus. Retries a device that does not respond, up to
    // 50 more probes 100 ms apart; never returns "verified" with an error.
    std::uint8_t getDiskSMARTStatus(int disk);

    // Absent when the table could not be read; never partly filled. Does not retry.
    std::optional<AttributeTable> getDiskSMARTAttributes(int disk);

    // The figures of the Device Statistics log of an ATA disk: the log's
    // directory first, then only the pages it lists. Absent when the disk
    // keeps no such log or vouches for none of the figures.
    std::optional<DeviceStatistics> getDiskDeviceStatistics(int disk);

    // CHECK POWER MODE of an ATA disk; Unknown for any other disk.
    PowerMode getDiskPowerMode(int disk);

  private:
    struct Probe {
        IOReturn result = kIOReturnSuccess;
        std::uint8_t status = 0;
    };
    Probe probe(const std::optional<std::string>& name);
    std::optional<AttributeTable> ataAttributeTable(const std::string& name);
    std::optional<AttributeTable> nvmeAttributeTable(const std::string& name);

    SmartAccess& access_;
    DiskNameResolver& names_;
    Logger& log_;
    Pause pause_;
};

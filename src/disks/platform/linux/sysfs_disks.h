// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/smart_access.h"

#include <sys/types.h>
#include <optional>
#include <string>
#include <string_view>

// What sysfs says about a whole disk. The root is injectable so tests run on
// a fake tree; nothing here needs privileges.
class SysfsDisks {
  public:
    explicit SysfsDisks(std::string sysRoot = "/sys") : root_(std::move(sysRoot)) {}

    // A kernel disk name we are willing to look up: 1..32 letters, digits,
    // '-' or '_' (so never a path, "." or "..").
    static bool isPlausibleName(std::string_view name);

    // An existing whole disk under <root>/block (not a partition).
    bool isWholeDisk(const std::string& name) const;

    // Ata for a SCSI type-0 disk behind an ATA translation (libata or a SAT
    // bridge); Nvme for a namespace with a controller; else None.
    SmartProtocol protocolOf(const std::string& name) const;

    // The device number of the disk's block node, from <root>/block/X/dev.
    std::optional<dev_t> blockDevice(const std::string& name) const;

    // The controller ("nvme0") of an NVMe namespace and its character device number.
    std::optional<std::string> nvmeController(const std::string& name) const;
    std::optional<dev_t> controllerDevice(const std::string& controller) const;

  private:
    std::string root_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/nvme_health.h"
#include "disks/platform/smart_access.h"

#include <span>

// The fields of the 512-byte SMART / Health Information log (NVMe log page
// 0x02, little-endian) that the pseudo-attributes use.
NvmeHealthLog parseNvmeHealthLog(std::span<const std::uint8_t, kSmartPageSize> page);

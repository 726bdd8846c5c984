// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "disks/platform/smart_access.h"

#include <cstdint>
#include <span>

// The ATA S.M.A.R.T. data and thresholds pages (512 bytes each): 30 entries
// of 12 bytes from offset 2, checksum in the last byte.

// The ATA data-structure checksum: all 512 bytes sum to 0 modulo 256.
bool ataChecksumValid(std::span<const std::uint8_t, kSmartPageSize> page);

// Bytes 0..5 as a little-endian 48-bit number (byte 5 most significant).
std::uint64_t ataRaw48(std::span<const std::uint8_t, 6> bytes);

// The attribute table of a data page. Thresholds are matched by position:
// entry i of the thresholds page applies only when it carries the same id as
// data entry i, else the threshold is 0. Entries with id 0 are empty. The
// caller has validated both checksums.
AttributeTable ataAttributes(std::span<const std::uint8_t, kSmartPageSize> data,
                             std::span<const std::uint8_t, kSmartPageSize> thresholds);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/smart_access.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// ATA S.M.A.R.T. commands wrapped in SCSI ATA PASS-THROUGH (16) (SAT, T10),
// and the ATA registers the drive returns in the sense data.

enum class AtaSmartCommand : std::uint8_t {
    ReadData = 0xD0,
    ReadThresholds = 0xD1,
    ReturnStatus = 0xDA,
};

using Cdb16 = std::array<std::uint8_t, 16>;

// READ DATA and READ THRESHOLDS transfer one 512-byte block from the device
// (PIO data-in); RETURN STATUS transfers nothing and sets CK_COND so the
// drive's registers come back in the sense data.
Cdb16 ataSmartCdb(AtaSmartCommand command);

// READ LOG EXT (0x2F, 48-bit, PIO data-in) of one 512-byte page of a general
// purpose log.
Cdb16 ataReadLogExtCdb(std::uint8_t log, std::uint16_t page);
// CHECK POWER MODE (0xE5): non-data, CK_COND so the count register comes back.
Cdb16 ataCheckPowerModeCdb();

struct AtaRegisters {
    std::uint8_t error = 0;
    std::uint8_t status = 0;
    std::uint8_t lbaMid = 0;
    std::uint8_t lbaHigh = 0;
    std::uint8_t count = 0;
};

// The registers of an "ATA Status Return" sense descriptor (descriptor-format
// sense, 0x72/0x73) or of fixed-format sense (0x70/0x71) carrying ATA
// pass-through information. Kernels produce either, depending on the device's
// D_SENSE setting. Absent when the sense holds neither.
std::optional<AtaRegisters> ataRegistersFromSense(std::span<const std::uint8_t> sense);

// The SCSI sense key (0 when the sense is empty or of an unknown format).
std::uint8_t senseKey(std::span<const std::uint8_t> sense);

// RETURN STATUS answers in LBA mid/high: 4F/C2 good, F4/2C threshold exceeded.
// Unanswered when the registers hold anything else; the answer carries an
// error result when the drive flagged one in its status register.
AtaStatusAnswer ataStatusFromRegisters(const std::optional<AtaRegisters>& registers);

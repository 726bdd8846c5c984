// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The drive's own names from the IDENTIFY DEVICE data that the SCSI-ATA
// translation keeps in the ATA Information VPD page (sysfs device/vpd_pg89),
// readable without privileges. sysfs' device/model holds only the 16
// characters a SCSI INQUIRY has room for; the model rules need all 40.
struct AtaIdentity {
    std::string model;     // words 27-46
    std::string serial;    // words 10-19
    std::string firmware;  // words 23-26
};

enum class VpdProblem { None, TooShort, NotAtaInformation, NotIdentifyData, BadChecksum };

struct VpdParse {
    std::optional<AtaIdentity> identity;
    VpdProblem problem = VpdProblem::None;
};

VpdParse parseAtaInformationPage(std::span<const std::uint8_t> page);

// The serial number in a Unit Serial Number VPD page (device/vpd_pg80), trimmed.
std::optional<std::string> parseUnitSerialPage(std::span<const std::uint8_t> page);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Overall S.M.A.R.T. status of a drive.
enum SMARTStatus : std::uint8_t {
    SMARTStatusUnknown = 0,     // reading the status failed
    SMARTStatusFailing = 1,     // threshold exceeded (ATA) or critical warning (NVMe)
    SMARTStatusVerified = 2,    // read, and no failure reported
    SMARTStatusNotCapable = 3,  // no S.M.A.R.T. interface for the disk
};

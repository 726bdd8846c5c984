// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/smart_access.h"

// errno of an open or ioctl -> platform result code. No device or no
// S.M.A.R.T. interface -> "no resources"; a device that does not answer in
// time -> "not responding"; missing privileges -> "not privileged";
// anything else -> a general error.
IOReturn resultFromErrno(int error);

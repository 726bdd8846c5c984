// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/errno_result.h"

#include <cerrno>

IOReturn resultFromErrno(int error) {
    switch (error) {
        case 0:
            return kIOReturnSuccess;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTTY:
        case EOPNOTSUPP:
            return kIOReturnNoResources;
        case EBUSY:
        case ETIMEDOUT:
        case EAGAIN:
            return kIOReturnNotResponding;
        case EACCES:
        case EPERM:
            return kIOReturnNotPrivileged;
        default:
            return kIOReturnError;
    }
}

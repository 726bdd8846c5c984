// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/drive_access.h"

#include "disks/platform/fixture/fixture_smart_access.h"
#include "disks/platform/helper_client.h"
#include "disks/platform/linux/linux_disk_platform.h"
#include "disks/platform/linux/linux_smart_access.h"

#include <unistd.h>

DriveAccessKind chooseDriveAccess(const DriveAccessOptions& options, bool root) {
    if (options.socketPath) {
        return DriveAccessKind::Helper;
    }
    if (!options.machine.isEmpty()) {
        return DriveAccessKind::Recorded;
    }
    return root ? DriveAccessKind::Kernel : DriveAccessKind::Helper;
}

std::filesystem::path machineRoot(const DriveAccessOptions& options) {
    return options.machine.isEmpty() ? std::filesystem::path("/")
                                     : std::filesystem::path(options.machine.toStdString());
}

std::unique_ptr<SmartAccess> makeSmartAccess(const DriveAccessOptions& options, bool root,
                                             Logger& log) {
    switch (chooseDriveAccess(options, root)) {
        case DriveAccessKind::Kernel:
            return std::make_unique<LinuxSmartAccess>();
        case DriveAccessKind::Recorded:
            return std::make_unique<FixtureSmartAccess>(options.machine);
        case DriveAccessKind::Helper:
            break;
    }
    // Over a recorded machine the protocol of each disk comes from its sysfs.
    const std::string sys = (machineRoot(options) / "sys").lexically_normal().string();
    return std::make_unique<HelperClient>(options.socketPath.value_or(kSmartSocketPath), sys,
                                          [&log] { log.log_message(3, smartAccessAdvice()); });
}

std::unique_ptr<SmartAccess> makeSmartAccess(const DriveAccessOptions& options, Logger& log) {
    return makeSmartAccess(options, ::geteuid() == 0, log);
}

std::unique_ptr<DiskPlatform> makeDiskPlatform(const std::filesystem::path& root, Logger& log) {
    return makeLinuxDiskPlatform(root, log);
}

QString smartAccessAdvice() {
    return QStringLiteral(
        "Error: S.M.A.R.T. data can only be read as root or through the ostrivane-smart "
        "service; enable it with 'sudo systemctl enable --now ostrivane-smart.socket'.");
}

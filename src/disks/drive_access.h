// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/smart_access.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// How the drives of a command are reached, as the user asked for it.
struct DriveAccessOptions {
    // A recorded machine's folder; empty: this machine.
    QString machine;
    // The helper's socket named by the user. When set it is always used: also
    // as root and also over a recorded machine's pages.
    std::optional<std::string> socketPath;
};

enum class DriveAccessKind {
    Kernel,    // commands sent in-process (root)
    Helper,    // through ostrivane-smart-helper's socket
    Recorded,  // a recorded machine's pages
};

// The one place that chooses: an explicit socket, else a recorded machine,
// else the kernel when running as root, else the helper's default socket.
DriveAccessKind chooseDriveAccess(const DriveAccessOptions& options, bool root);

// The folder the disk questions are answered below: "/" or the recorded machine.
std::filesystem::path machineRoot(const DriveAccessOptions& options);

// S.M.A.R.T. commands as chosen for this process. When the helper's socket
// cannot be reached, the first command logs (level 3) how to enable it.
std::unique_ptr<SmartAccess> makeSmartAccess(const DriveAccessOptions& options, Logger& log);
std::unique_ptr<SmartAccess> makeSmartAccess(const DriveAccessOptions& options, bool root,
                                             Logger& log);

// The disk questions (mounts, backing devices, descriptions) below a root folder.
std::unique_ptr<DiskPlatform> makeDiskPlatform(const std::filesystem::path& root, Logger& log);

// The advice logged when neither root nor the helper can read the drives.
QString smartAccessAdvice();

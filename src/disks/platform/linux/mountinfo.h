// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo, octal escapes (\040 for a blank) undone.
struct MountInfoEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string fsRoot;  // the folder of the file system mounted here ("/" for all of it)
    std::string mountPoint;
    std::string fsType;
    std::string source;  // "/dev/sda1", "tank/home", "proc"
};

struct MountInfo {
    std::vector<MountInfoEntry> entries;
    std::vector<std::string> rejectedLines;  // lines that do not have the documented shape
};

// Never fails: lines it cannot read are reported, the others kept in order.
MountInfo parseMountInfo(std::string_view text);

// "\040" -> ' ', "\134" -> '\\'; an escape that is not three octal digits
// below 0400 is kept as written.
std::string unescapeOctal(std::string_view text);

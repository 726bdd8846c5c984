// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// File-system labels as udev records them. Labels longer than this are not
// labels any file system writes; they are rejected rather than shown.
inline constexpr std::size_t kMaxLabelBytes = 1024;

enum class LabelParse { Found, Absent, Rejected };

struct UdevLabel {
    LabelParse outcome = LabelParse::Absent;
    std::string label;  // UTF-8
};

// The label in a udev database record (/run/udev/data/b<maj>:<min>): the
// encoded form "E:ID_FS_LABEL_ENC=" when present (it keeps blanks that the
// plain form replaces by '_'), else "E:ID_FS_LABEL=".
UdevLabel labelFromUdevRecord(std::string_view record);

// Undoes udev's "\xNN" escapes (link names in /dev/disk/by-label,
// ID_FS_LABEL_ENC). A broken escape is kept as written.
std::string decodeUdevEscapes(std::string_view text);

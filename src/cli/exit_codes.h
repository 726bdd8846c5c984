// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Exit statuses of ostrivane-cli. 0..3 follow the monitoring-plugin
// convention (OK, warning, critical, unknown); 64 and up follow sysexits.h.
namespace exit_codes {
inline constexpr int kOk = 0;
inline constexpr int kWarning = 1;
inline constexpr int kError = 2;
inline constexpr int kUnknown = 3;
inline constexpr int kUsage = 64;
inline constexpr int kDataError = 65;
inline constexpr int kNoInput = 66;
// An output file that may not or cannot be created.
inline constexpr int kCantCreate = 73;
// A read or write that failed part way (a full disk).
inline constexpr int kIoError = 74;
// No usable configuration (no home folder for settings and history).
inline constexpr int kConfig = 78;
}  // namespace exit_codes

#pragma once

// Exit statuses of ostrivane-cli. 0..3 follow the monitoring-plugin
// convention (OK, warning, critical, unknown); 64 and 66 follow sysexits.h.
namespace exit_codes {
inline constexpr int kOk = 0;
inline constexpr int kWarning = 1;
inline constexpr int kError = 2;
inline constexpr int kUnknown = 3;
inline constexpr int kUsage = 64;
inline constexpr int kDataError = 65;
inline constexpr int kNoInput = 66;
inline constexpr int kIoError = 74;
}  // namespace exit_codes

#pragma once

#include "disks/platform/helper_protocol.h"
#include "disks/platform/linux/sysfs_disks.h"
#include "disks/platform/smart_access.h"

#include <cstdint>
#include <vector>

// One request of ostrivane-smart-helper. A request is answered only for an
// existing whole disk under /sys/block, and only with one of the fixed
// read-only operations; a refusal is answered with a result code too.
HelperAnswer answerHelperRequest(const ParsedRequest& parsed, SmartAccess& access,
                                 const SysfsDisks& sysfs);

// Reads at most one request line from `fd`: up to the first newline, end of
// input or kMaxRequestLine bytes, whichever comes first.
std::vector<std::uint8_t> readHelperRequest(int fd);

// Reads the request from `in`, writes the framed answer to `out`; refusals are
// also reported on standard error. Returns the process exit status.
int serveHelperRequest(int in, int out, SmartAccess& access, const SysfsDisks& sysfs);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/helper_protocol.h"
#include "disks/platform/linux/sysfs_disks.h"
#include "disks/platform/smart_access.h"

#include <cstdint>
#include <functional>
#include <vector>

// One request of ostrivane-smart-helper. A request is answered only for an
// existing whole disk under /sys/block, and only with one of the fixed
// read-only operations; a refusal is answered with a result code too.
HelperAnswer answerHelperRequest(const ParsedRequest& parsed, SmartAccess& access,
                                 const SysfsDisks& sysfs);

// Reads at most one request line from `fd`: up to the first newline, end of
// input or kMaxRequestLine bytes, whichever comes first.
std::vector<std::uint8_t> readHelperRequest(int fd);

struct HelperSessionLimits {
    std::size_t maxRequests = kMaxRequestsPerConnection;
    // How long a versioned connection may wait for its next request.
    int idleTimeoutMs = kHelperIdleTimeoutMs;
    // Called before each request is read: the helper re-arms its time-out.
    std::function<void()> beforeRequest;
};

// Reads requests from `in` and writes each framed answer to `out`: one for an
// unversioned request, as many as the limits allow for versioned ones (see
// helper_protocol.h). Refusals are also reported on standard error. Returns
// the process exit status: 0, 1 when an answer could not be written, 2 when a
// request was refused.
int serveHelperRequest(int in, int out, SmartAccess& access, const SysfsDisks& sysfs,
                       const HelperSessionLimits& limits = {});

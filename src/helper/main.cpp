// SPDX-License-Identifier: GPL-3.0-or-later
// ostrivane-smart-helper: the privileged reader of S.M.A.R.T. pages. It reads
// requests from standard input and writes each answer to standard output (one
// for an old client, the reads of a whole check for a new one); all parsing
// and policy stay in the unprivileged program.
#include "disks/platform/linux/linux_smart_access.h"
#include "helper/helper_session.h"

#include <unistd.h>

int main() {
    // A caller that connects and never sends, or a request that never ends,
    // must not hold a helper forever: each request has its own 30 s.
    constexpr unsigned kRequestSeconds = 30;
    ::alarm(kRequestSeconds);
    LinuxSmartAccess access;
    const SysfsDisks sysfs;
    HelperSessionLimits limits;
    limits.beforeRequest = [] { ::alarm(kRequestSeconds); };
    return serveHelperRequest(STDIN_FILENO, STDOUT_FILENO, access, sysfs, limits);
}

// ostrivane-smart-helper: the privileged reader of S.M.A.R.T. pages. It reads
// one request from standard input and writes one answer to standard output;
// all parsing and policy stay in the unprivileged program.
#include "disks/platform/linux/linux_smart_access.h"
#include "helper/helper_session.h"

#include <unistd.h>

int main() {
    // A caller that connects and never sends must not hold a helper forever.
    ::alarm(30);
    LinuxSmartAccess access;
    const SysfsDisks sysfs;
    return serveHelperRequest(STDIN_FILENO, STDOUT_FILENO, access, sysfs);
}

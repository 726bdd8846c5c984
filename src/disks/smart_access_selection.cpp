#include "disks/smart_access_selection.h"

#include "disks/platform/helper_client.h"
#include "disks/platform/linux/linux_smart_access.h"

#include <unistd.h>

QString smartAccessAdvice() {
    return QStringLiteral(
        "Error: S.M.A.R.T. data can only be read as root or through the ostrivane-smart "
        "service; enable it with 'sudo systemctl enable --now ostrivane-smart.socket'.");
}

std::unique_ptr<SmartAccess> makeSmartAccess(Logger& log, const std::string& socketPath) {
    if (::geteuid() == 0) {
        return std::make_unique<LinuxSmartAccess>();
    }
    return std::make_unique<HelperClient>(socketPath, "/sys",
                                          [&log] { log.log_message(3, smartAccessAdvice()); });
}

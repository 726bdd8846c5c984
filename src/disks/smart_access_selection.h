#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/smart_access.h"

#include <memory>
#include <string>

// The one place that chooses how drives are reached: in-process when the
// process runs as root, else through the helper's socket. When the socket
// cannot be reached, the first command logs (level 3) how to enable it.
std::unique_ptr<SmartAccess> makeSmartAccess(Logger& log, const std::string& socketPath);

// The advice logged when neither way works.
QString smartAccessAdvice();

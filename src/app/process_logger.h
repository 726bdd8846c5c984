// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "foundation/logging.h"

// The process-wide log (system log, log file, rings) behind core's interface.
class ProcessLogger final : public Logger {
  public:
    void log_message(int level, const QString& text) override { ::log_message(level, text); }
};

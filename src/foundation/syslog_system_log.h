// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foundation/system_log.h"
#include "foundation/system_log_socket.h"

// syslog(3), which journald collects. Fault -> LOG_CRIT, error -> LOG_ERR,
// default -> LOG_NOTICE, debug -> LOG_DEBUG; a type is enabled when its
// priority passes the current setlogmask. While no log socket exists a
// message has nowhere to go, and is not handed to syslog().
class SyslogSystemLog final : public SystemLog {
  public:
    static SyslogSystemLog& shared();

    bool isEnabled(Type type) override;
    void write(Type type, const QByteArray& utf8) override;

  private:
    SyslogSystemLog();
    void openOnce();

    SystemLogSocket socket_;
};

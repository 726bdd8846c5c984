#pragma once

#include "foundation/system_log.h"

// syslog(3), which journald collects. Fault -> LOG_CRIT, error -> LOG_ERR,
// default -> LOG_NOTICE, debug -> LOG_DEBUG; a type is enabled when its
// priority passes the current setlogmask.
class SyslogSystemLog final : public SystemLog {
  public:
    static SyslogSystemLog& shared();

    bool isEnabled(Type type) override;
    void write(Type type, const QByteArray& utf8) override;

  private:
    void openOnce();
};

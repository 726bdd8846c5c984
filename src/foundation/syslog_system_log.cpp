// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/syslog_system_log.h"

#include "foundation/wendle_lib.h"

#include <mutex>

#include <syslog.h>  // also _PATH_LOG

namespace {

int priority(SystemLog::Type type) {
    switch (type) {
        case SystemLog::Type::Fault:
            return LOG_CRIT;
        case SystemLog::Type::Error:
            return LOG_ERR;
        case SystemLog::Type::Default:
            return LOG_NOTICE;
        case SystemLog::Type::Debug:
            return LOG_DEBUG;
    }
    return LOG_NOTICE;
}

}  // namespace

SyslogSystemLog::SyslogSystemLog() : socket_(_PATH_LOG) {}

SyslogSystemLog& SyslogSystemLog::shared() {
    static SyslogSystemLog log;
    return log;
}

void SyslogSystemLog::openOnce() {
    // Asked outside call_once: the first call to WendleLib may itself log.
    const QString name = WendleLib::shared().appName();
    static std::once_flag once;
    std::call_once(once, [&name] {
        // openlog keeps the pointer, so the identity must live as long as the process.
        static const QByteArray ident = name.toUtf8();
        // Connected now, not at the first message.
        openlog(ident.isEmpty() ? nullptr : ident.constData(), LOG_PID | LOG_NDELAY, LOG_USER);
    });
}

bool SyslogSystemLog::isEnabled(Type type) {
    // setlogmask(0) reads the mask without changing it.
    return (setlogmask(0) & LOG_MASK(priority(type))) != 0;
}

void SyslogSystemLog::write(Type type, const QByteArray& utf8) {
    if (!socket_.exists()) {
        return;
    }
    openOnce();
    syslog(priority(type), "%s", utf8.constData());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/logging.h"

#include "foundation/log_facility.h"

void log_message(int level, const QString& text) {
    LogFacility::shared().logMessage(level, text);
}

void log_open_file(const QString& path, qint64 maxSize, quint8 maxFileLevel) {
    LogFacility::shared().openFile(path, maxSize, maxFileLevel);
}

void log_to_defaults(const QString& text) {
    LogFacility::shared().logToDefaults(text);
}

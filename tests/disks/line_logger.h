// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"

#include <QStringList>

// Keeps every log line, for the enumeration and host-fact tests that check what was reported.
class LineLogger final : public Logger {
  public:
    void log_message(int, const QString& text) override { lines << text; }
    bool has(const QString& part) const {
        for (const QString& line : lines) {
            if (line.contains(part)) {
                return true;
            }
        }
        return false;
    }
    QStringList lines;
};

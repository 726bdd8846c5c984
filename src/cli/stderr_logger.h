// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "foundation/single_line_text.h"

#include <QTextStream>

// Log lines of a command-line run go to standard error, up to a level.
class StderrLogger final : public Logger {
  public:
    StderrLogger(QTextStream& err, int maxLevel) : err_(err), maxLevel_(maxLevel) {}
    void log_message(int level, const QString& text) override {
        if (level <= maxLevel_) {
            err_ << singleLineText(text) << '\n';
            err_.flush();
        }
    }

  private:
    QTextStream& err_;
    int maxLevel_;
};

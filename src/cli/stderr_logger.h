#pragma once

#include "cli/terminal_text.h"
#include "core/evaluation_services.h"

#include <QTextStream>

// Log lines of a command-line run go to standard error, up to a level.
class StderrLogger final : public Logger {
  public:
    StderrLogger(QTextStream& err, int maxLevel) : err_(err), maxLevel_(maxLevel) {}
    void log_message(int level, const QString& text) override {
        if (level <= maxLevel_) {
            err_ << terminalSafe(text) << '\n';
            err_.flush();
        }
    }

  private:
    QTextStream& err_;
    int maxLevel_;
};

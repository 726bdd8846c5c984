#pragma once

#include "core/evaluation_services.h"

#include <QString>

// What every headless entry point does before its first check, as the
// desktop app's launch does: fallback settings, the support library's
// instance, and the log file in the application-support folder.
void startHeadless();

// The process log, remembering whether S.M.A.R.T. access was refused, so a
// command can repeat the advice where the user looks.
class WatchingLogger final : public Logger {
  public:
    void log_message(int level, const QString& text) override;
    bool sawAccessAdvice() const { return sawAccessAdvice_; }

  private:
    bool sawAccessAdvice_ = false;
};

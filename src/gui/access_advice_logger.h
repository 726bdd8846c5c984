// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"

#include <functional>

// The process log, which also tells the user once, in a dialog, how to let
// the program read S.M.A.R.T. data when it could not: without it every
// drive would show as unknown without a word.
class AccessAdviceLogger final : public Logger {
  public:
    explicit AccessAdviceLogger(std::function<void(const QString&)> tellUser)
        : tellUser_(std::move(tellUser)) {}
    void log_message(int level, const QString& text) override;

  private:
    std::function<void(const QString&)> tellUser_;
    bool told_ = false;
};

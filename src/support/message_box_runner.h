// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/alert_panel.h"

// Panels as application-modal message boxes, with the accessory control
// below the text. Closing a box without a button answers with the last
// button shown (the cancelling one when there are several).
class MessageBoxRunner final : public AlertRunner {
  public:
    AlertAnswer run(const AlertPanel& panel) override;
};

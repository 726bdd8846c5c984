// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"

// The controller's and the evaluation's settings on the process-wide store.
class StoreSettings final : public ControllerSettings {
  public:
    qint64 defaultInt(const QString& key) override;
    void setDefaultInt(const QString& key, qint64 value) override;
    QString defaultString(const QString& key) override;
    QString takeSettingsDamageNotice() override;
};

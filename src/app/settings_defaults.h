// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foundation/system_configuration.h"

#include <QVariantMap>

// Fallback defaults of the monitoring controller's settings.
QVariantMap controllerFallbackDefaults();

// Fallback default of the visibility manager's setting (dock only).
QVariantMap visibilityManagerFallbackDefaults();

// The keys an administrator may set in the system configuration, each with a
// value of its type.
QVariantMap systemConfigurableKeys();

// Installs both tables into the process-wide settings store, and above them
// the system configuration (its unusable lines are logged); later calls do
// nothing, so every entry point may call it before reading a setting.
void installFallbackDefaults();

// Reads the system configuration again (the monitor's SIGHUP), so an
// administrator's change needs no restart.
void reloadSystemConfiguration();

// What installFallbackDefaults read from the system configuration.
const SystemConfiguration& systemConfiguration();

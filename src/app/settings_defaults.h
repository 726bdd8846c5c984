#pragma once

#include <QVariantMap>

// Fallback defaults of the monitoring controller's settings.
QVariantMap controllerFallbackDefaults();

// Fallback default of the visibility manager's setting (dock only).
QVariantMap visibilityManagerFallbackDefaults();

// Installs both tables into the process-wide settings store; later calls do
// nothing, so every entry point may call it before reading a setting.
void installFallbackDefaults();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

// The values stored in the settings database at `path`, read without writing
// anything: the file is opened read-only, never created, never repaired. A
// missing or unreadable file yields an empty map (`why` says why, empty when
// the file simply does not exist). Rows that do not decode are left out.
QVariantMap readSettingsSnapshot(const QString& path, QString* why = nullptr);

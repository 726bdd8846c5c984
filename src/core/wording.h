// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Per-drive texts serve two readers: records, log lines and machine output
// keep the English text, which scripts and stored files rely on; windows,
// notifications and terminal output show it in the user's language.
enum class Wording { Stored, Shown };

// The English text itself when stored, its translation when shown.
QString worded(const QString& english, Wording wording);

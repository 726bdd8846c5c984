// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Drive data (volume labels, models, mount points) is outside data: a newline
// or an escape sequence in it must not forge a line or drive the terminal.
// Control characters become visible escapes (\n, \r, \t, \xNN); everything
// else is kept. JSON output stays exact and does not go through this.
QString terminalSafe(const QString& text);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The log file as the history pane shows it: each line "Mon DD HH:MM:SS
// Ostrivane[pid] <Level> message" becomes "Mon DD HH:MM:SS <Level> message";
// lines of another shape stay as they are.
QString logViewText(const QString& fileText);

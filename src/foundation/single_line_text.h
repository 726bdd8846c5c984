// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Drive data (labels, models, mount points) is outside data: a line feed or an
// escape sequence in it must not forge a line of a log file or of a
// terminal's output. Line feed and carriage return become \n and \r, other
// C0 controls and DEL \xNN, C1 controls and the Unicode line and paragraph
// separators \uNNNN. Tabs stay (they break no line), and so do backslashes,
// so ordinary text reads as before. JSON output keeps the exact text instead.
QString singleLineText(const QString& text);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"

#include <QStringView>

// Parses the plain-text attribute table (one attribute per line, ten or more
// blank-separated columns: id, name, flag, value, worst, threshold, type,
// updated, when-failed, raw value), or `smartctl -x`'s brief layout (id,
// name, flags such as "PO--CK", value, worst, threshold, fail, raw value),
// told apart line by line by the third column. Lines whose first field is not
// a positive number, and lines with too few fields, are ignored.
AttributeTable parseAttributeText(QStringView text);

// One line of that table into `table`; a line that is not an attribute line
// is ignored.
void parseAttributeLine(QStringView line, AttributeTable& table);

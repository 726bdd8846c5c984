// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// Source-like renderings of values, used in problem reports so that a report
// shows exactly which keys a record held and of which kind each value was.
//   text       -> @"text"
//   number     -> @(42)
//   list       -> @[a, b]
//   dictionary -> @{key : value, ...}
//   other      -> -unsupportedLiteralObject: <description>-
QString literalString(const QVariant& value);

// A dictionary literal from already rendered key and value literals, in the
// caller's order, for records whose rendering must keep a fixed key order
// (a QVariantMap would sort its keys as text).
QString literalDictionary(const QList<QPair<QString, QString>>& renderedPairs);

// A value as a "%@" format would print it: "(null)" for an absent value,
// text as it is, numbers in decimal, lists and dictionaries as descriptionText.
QString objectText(const QVariant& value);

// A multi-line description of a dictionary or list in the style of a
// property-list dump, keys in sorted order:
//   {
//       DAMediaName = "Samsung SSD 850 EVO 500GB";
//       isSSD = 1;
//   }
QString descriptionText(const QVariant& value);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on dictionaries. Like lists, dictionaries are values: a copy is
// already a mutable object of its own. literalString comes from literal.h.

#include "ext/literal.h"

#include <QStringList>
#include <QVariantMap>

// True when the dictionary has a value for every key; true for no keys.
bool containsAll(const QVariantMap& dictionary, const QStringList& keys);

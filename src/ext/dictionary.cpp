// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/dictionary.h"

bool containsAll(const QVariantMap& dictionary, const QStringList& keys) {
    return std::all_of(keys.cbegin(), keys.cend(),
                       [&](const QString& key) { return dictionary.contains(key); });
}

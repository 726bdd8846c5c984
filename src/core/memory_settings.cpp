// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/memory_settings.h"

#include <QMutexLocker>

MemorySettings::MemorySettings(QHash<QString, qint64> fallbacks)
    : fallbacks_(std::move(fallbacks)) {}

qint64 MemorySettings::defaultInt(const QString& key) {
    QMutexLocker lock(&mutex_);
    if (auto it = values_.constFind(key); it != values_.cend()) {
        return *it;
    }
    return fallbacks_.value(key, 0);
}

void MemorySettings::setDefaultInt(const QString& key, qint64 value) {
    QMutexLocker lock(&mutex_);
    values_.insert(key, value);
}

void MemorySettings::removeKey(const QString& key) {
    QMutexLocker lock(&mutex_);
    values_.remove(key);
}

QHash<QString, qint64> MemorySettings::storedValues() const {
    QMutexLocker lock(&mutex_);
    return values_;
}

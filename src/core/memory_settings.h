// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"

#include <QHash>
#include <QMutex>

// Integer settings held in memory, with a fallback layer that applies while a
// key holds no value of its own. For runs that must not persist anything.
class MemorySettings final : public IntSettings {
  public:
    explicit MemorySettings(QHash<QString, qint64> fallbacks = {});

    qint64 defaultInt(const QString& key) override;
    void setDefaultInt(const QString& key, qint64 value) override;
    void removeKey(const QString& key);
    // Stored values only, without the fallbacks.
    QHash<QString, qint64> storedValues() const;

  private:
    mutable QMutex mutex_;
    QHash<QString, qint64> fallbacks_;
    QHash<QString, qint64> values_;
};

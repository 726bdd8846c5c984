// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// How a settings value is kept in the database: a kind name beside a plain
// SQLite value. Lists and dictionaries are typed JSON, so a value read back
// has the same type it was stored with (an integer stays an integer, a date a
// date) instead of what JSON would make of it.
namespace settings_codec {

// The SQLite value is one of qint64, double, QString or QByteArray.
struct Stored {
    QString kind;
    QVariant sqlValue;
};

// Absent for values a settings store cannot hold (null, non-finite numbers,
// unsupported types); `why` then says which.
std::optional<Stored> encode(const QVariant& value, QString* why = nullptr);

// The value as stored; an invalid QVariant when the row is damaged or of an
// unknown kind (`why` says which).
QVariant decode(const QString& kind, const QVariant& sqlValue, QString* why = nullptr);

}  // namespace settings_codec

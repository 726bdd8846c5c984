// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/attribute.h"

#include "ext/literal.h"

QVariant AttributeNumber::toVariant() const {
    return unsigned_ ? QVariant(quint64(bits_)) : QVariant(qint64(bits_));
}

QString AttributeNumber::toString() const {
    return unsigned_ ? QString::number(bits_) : QString::number(qint64(bits_));
}

QList<QPair<QString, AttributeNumber>> AttributeRecord::presentKeys() const {
    QList<QPair<QString, AttributeNumber>> keys;
    const auto add = [&keys](const char* key, const std::optional<AttributeNumber>& n) {
        if (n) {
            keys.append({QString::fromLatin1(key), *n});
        }
    };
    add("currentValue", currentValue);
    add("worstValue", worstValue);
    add("rawValue", rawValue);
    add("threshold", threshold);
    add("isPrefail", isPrefail);
    add("isOnline", isOnline);
    return keys;
}

QString literalString(const AttributeRecord& record) {
    QList<QPair<QString, QString>> pairs;
    for (const auto& [key, number] : record.presentKeys()) {
        pairs.append({literalString(QVariant(key)), literalString(number.toVariant())});
    }
    return literalDictionary(pairs);
}

QString literalString(const AttributeTable& table) {
    QList<QPair<QString, QString>> pairs;
    pairs.reserve(qsizetype(table.size()));
    for (const auto& [id, record] : table) {
        pairs.append({literalString(QVariant(id)), literalString(record)});
    }
    return literalDictionary(pairs);
}

QString literalString(const std::optional<AttributeTable>& table) {
    return table ? literalString(*table) : QStringLiteral("(null)");
}

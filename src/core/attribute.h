// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <map>
#include <optional>

// One number of an attribute record. The reader stores unsigned values (raw
// values, NVMe counters) and the text form stores signed ones; both must
// render and convert exactly as stored.
class AttributeNumber {
  public:
    static AttributeNumber fromSigned(qint64 value) {
        return AttributeNumber(false, quint64(value));
    }
    static AttributeNumber fromUnsigned(quint64 value) { return AttributeNumber(true, value); }

    bool isUnsigned() const { return unsigned_; }
    // Conversions truncate to the target width, as reading a stored number as a narrower integer
    // does.
    qint32 toInt32() const { return qint32(quint32(bits_)); }
    qint64 toInt64() const { return qint64(bits_); }
    quint64 toUInt64() const { return bits_; }
    QVariant toVariant() const;
    QString toString() const;

    friend bool operator==(const AttributeNumber&, const AttributeNumber&) = default;

  private:
    AttributeNumber(bool isUnsigned, quint64 bits) : unsigned_(isUnsigned), bits_(bits) {}
    bool unsigned_;
    quint64 bits_;
};

// An attribute record: every key may be absent, and an absent key reads as 0.
struct AttributeRecord {
    std::optional<AttributeNumber> currentValue;
    std::optional<AttributeNumber> worstValue;
    std::optional<AttributeNumber> rawValue;
    std::optional<AttributeNumber> threshold;
    std::optional<AttributeNumber> isPrefail;
    std::optional<AttributeNumber> isOnline;

    static qint32 read32(const std::optional<AttributeNumber>& n) { return n ? n->toInt32() : 0; }
    static qint64 read64(const std::optional<AttributeNumber>& n) { return n ? n->toInt64() : 0; }

    // The keys that are present, in the fixed order of the record's definition.
    QList<QPair<QString, AttributeNumber>> presentKeys() const;

    friend bool operator==(const AttributeRecord&, const AttributeRecord&) = default;
};

// Attribute id (ATA 1..255, NVMe pseudo-ids 900..914) -> record, in ascending id order.
using AttributeTable = std::map<int, AttributeRecord>;

QString literalString(const AttributeRecord& record);
QString literalString(const AttributeTable& table);
// "(null)" for an absent table, as a "%@" of nothing prints.
QString literalString(const std::optional<AttributeTable>& table);

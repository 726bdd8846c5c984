// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/value_transformers.h"

#include "ext/text.h"
#include "foundation/logging.h"

#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

constexpr qint64 kInt32Min = std::numeric_limits<qint32>::min();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();

bool isCountable(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QVariantList:
        case QMetaType::QStringList:
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash:
            return true;
        default:
            return false;
    }
}

qsizetype countOf(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QVariantList:
            return value.toList().size();
        case QMetaType::QStringList:
            return value.toStringList().size();
        case QMetaType::QVariantMap:
            return value.toMap().size();
        case QMetaType::QVariantHash:
            return value.toHash().size();
        default:
            return 0;
    }
}

qint32 leadingInteger(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace()) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    qint64 magnitude = 0;
    for (; at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9'); ++at) {
        // Held at the edge of the range: more digits cannot bring it back.
        magnitude = std::min(magnitude * 10 + (text[at].unicode() - '0'), kInt32Max + 1);
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    return qint32(std::clamp(signedValue, kInt32Min, kInt32Max));
}

using Comparison = bool (*)(qint64 value, qint64 comparisonValue);

struct Family {
    const char* word;
    Comparison compare;
};

constexpr Family kFamilies[] = {
    {"Smallerthan", [](qint64 v, qint64 c) { return v < c; }},
    {"Largerthan", [](qint64 v, qint64 c) { return v > c; }},
    {"Equalto", [](qint64 v, qint64 c) { return v == c; }},
    {"Differentto", [](qint64 v, qint64 c) { return v != c; }},
};

ValueTransformer::Rule booleanRule(std::function<bool(const QVariant&)> test) {
    return [test = std::move(test)](const QVariant& value) { return test(value) ? 1 : 0; };
}

std::unique_ptr<ValueTransformer> makeNamed(const QString& name) {
    if (name == QLatin1String("ValidEmailValueTransformer")) {
        return std::make_unique<ValueTransformer>(name, booleanRule([](const QVariant& v) {
                                                      return v.typeId() == QMetaType::QString &&
                                                             isValidEmails(v.toString());
                                                  }));
    }
    if (name == QLatin1String("InvalidEmailValueTransformer")) {
        return std::make_unique<ValueTransformer>(
            name, booleanRule([](const QVariant& v) {
                return !(v.typeId() == QMetaType::QString && isValidEmails(v.toString()));
            }));
    }
    if (name == QLatin1String("EmptyArrayValueTransformer")) {
        return std::make_unique<ValueTransformer>(
            name, booleanRule([](const QVariant& v) { return isCountable(v) && countOf(v) == 0; }));
    }
    if (name == QLatin1String("NonemptyArrayValueTransformer")) {
        return std::make_unique<ValueTransformer>(
            name, booleanRule([](const QVariant& v) { return isCountable(v) && countOf(v) != 0; }));
    }
    if (name == QLatin1String("BaseValueTransformer")) {
        // The common ancestor of the parity transformers: the value's own truth.
        return std::make_unique<ValueTransformer>(name, booleanRule([](const QVariant& v) {
                                                      return ValueTransformer::integerValue(v) != 0;
                                                  }));
    }
    if (name == QLatin1String("OddValueTransformer")) {
        // The remainder keeps the dividend's sign, so negative odd numbers are not odd here.
        return std::make_unique<ValueTransformer>(
            name, booleanRule([](const QVariant& v) {
                return ValueTransformer::integerValue(v) % 2 == 1;
            }));
    }
    if (name == QLatin1String("EvenValueTransformer")) {
        return std::make_unique<ValueTransformer>(
            name, booleanRule([](const QVariant& v) {
                return (ValueTransformer::integerValue(v) & 1) == 0;
            }));
    }
    static const QRegularExpression comparison(
        QStringLiteral("^(Smallerthan|Largerthan|Equalto|Differentto)(0|[1-9][0-9]?)?"
                       "ValueTransformer$"));
    const QRegularExpressionMatch match = comparison.match(name);
    if (!match.hasMatch()) {
        return nullptr;
    }
    const qint64 comparisonValue = match.captured(2).toLongLong();  // none: 0
    for (const Family& family : kFamilies) {
        if (match.captured(1) == QLatin1String(family.word)) {
            const Comparison compare = family.compare;
            return std::make_unique<ValueTransformer>(
                name, booleanRule([compare, comparisonValue](const QVariant& v) {
                    return compare(ValueTransformer::integerValue(v), comparisonValue);
                }));
        }
    }
    return nullptr;
}

}  // namespace

qint32 ValueTransformer::integerValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return leadingInteger(value.toString());
        case QMetaType::QByteArray:
            return leadingInteger(QString::fromUtf8(value.toByteArray()));
        case QMetaType::Bool:
            return value.toBool() ? 1 : 0;
        case QMetaType::Double:
        case QMetaType::Float: {
            const double number = value.toDouble();
            if (number != number) {
                return 0;  // NaN
            }
            return qint32(std::clamp(number, double(kInt32Min), double(kInt32Max)));
        }
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return qint32(std::clamp(value.toLongLong(), kInt32Min, kInt32Max));
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return qint32(std::min(value.toULongLong(), quint64(kInt32Max)));
        default:
            return 0;
    }
}

const ValueTransformer* ValueTransformer::named(const QString& name) {
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<ValueTransformer>> made;
    static QSet<QString> unknown;
    QMutexLocker lock(&mutex);
    if (const auto found = made.constFind(name); found != made.constEnd()) {
        return found->get();
    }
    if (unknown.contains(name)) {
        return nullptr;
    }
    std::shared_ptr<ValueTransformer> transformer = makeNamed(name);
    if (!transformer) {
        unknown.insert(name);
        lock.unlock();
        log_message(3, QStringLiteral("Error: there is no value transformer named %1").arg(name));
        return nullptr;
    }
    made.insert(name, transformer);
    return transformer.get();
}

bool ValueTransformer::transformedBool(const QString& name, const QVariant& value) {
    if (const ValueTransformer* transformer = named(name)) {
        return transformer->transformedValue(value) != 0;
    }
    return integerValue(value) != 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_value_codec.h"

#include "foundation/variant_types.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cmath>
#include <limits>

namespace settings_codec {
namespace {

constexpr int kMaxDepth = 64;

const QString kInt = QStringLiteral("int");
const QString kBool = QStringLiteral("bool");
const QString kReal = QStringLiteral("real");
const QString kText = QStringLiteral("text");
const QString kData = QStringLiteral("data");
const QString kDate = QStringLiteral("date");
const QString kUrl = QStringLiteral("url");
const QString kArray = QStringLiteral("array");
const QString kDict = QStringLiteral("dict");

void setWhy(QString* why, const QString& text) {
    if (why != nullptr) {
        *why = text;
    }
}

QString dateText(const QDateTime& date) {
    return date.toUTC().toString(Qt::ISODateWithMs);
}

// Numbers of every width become one 64-bit integer or one double.
std::optional<Stored> encodeNumber(const QVariant& value, QString* why) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return Stored{kBool, qint64(value.toBool() ? 1 : 0)};
        case QMetaType::Double:
        case QMetaType::Float: {
            const double d = value.toDouble();
            if (!std::isfinite(d)) {
                setWhy(why, QStringLiteral("not a finite number"));
                return std::nullopt;
            }
            return Stored{kReal, d};
        }
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max())) {
                setWhy(why, QStringLiteral("integer too large"));
                return std::nullopt;
            }
            return Stored{kInt, qint64(value.toULongLong())};
        default:
            return Stored{kInt, value.toLongLong()};
    }
}

std::optional<QJsonValue> toTypedJson(const QVariant& value, int depth, QString* why);

std::optional<QJsonArray> listToJson(const QVariantList& list, int depth, QString* why) {
    QJsonArray out;
    for (const QVariant& item : list) {
        auto json = toTypedJson(item, depth + 1, why);
        if (!json) {
            return std::nullopt;
        }
        out.append(*json);
    }
    return out;
}

template <typename Map>
std::optional<QJsonObject> mapToJson(const Map& map, int depth, QString* why) {
    QJsonObject out;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        auto json = toTypedJson(it.value(), depth + 1, why);
        if (!json) {
            return std::nullopt;
        }
        out.insert(it.key(), *json);
    }
    return out;
}

// One value as {"kind": payload}. 64-bit integers travel as text because a
// JSON number is a double and would round them.
std::optional<QJsonValue> toTypedJson(const QVariant& value, int depth, QString* why) {
    if (depth > kMaxDepth) {
        setWhy(why, QStringLiteral("nested too deeply"));
        return std::nullopt;
    }
    auto wrap = [](const QString& kind, const QJsonValue& payload) {
        return QJsonValue(QJsonObject{{kind, payload}});
    };
    const int type = value.typeId();
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        auto list = listToJson(value.toList(), depth, why);
        return list ? std::optional(wrap(kArray, *list)) : std::nullopt;
    }
    if (type == QMetaType::QVariantMap || type == QMetaType::QVariantHash) {
        auto map = type == QMetaType::QVariantHash ? mapToJson(value.toHash(), depth, why)
                                                   : mapToJson(value.toMap(), depth, why);
        return map ? std::optional(wrap(kDict, *map)) : std::nullopt;
    }
    auto stored = encode(value, why);
    if (!stored) {
        return std::nullopt;
    }
    const QString& kind = stored->kind;
    if (kind == kInt) {
        return wrap(kind, QString::number(stored->sqlValue.toLongLong()));
    }
    if (kind == kBool) {
        return wrap(kind, stored->sqlValue.toLongLong() != 0);
    }
    if (kind == kReal) {
        return wrap(kind, stored->sqlValue.toDouble());
    }
    if (kind == kData) {
        return wrap(kind, QString::fromLatin1(stored->sqlValue.toByteArray().toBase64()));
    }
    return wrap(kind, stored->sqlValue.toString());
}

QVariant fromTypedJson(const QJsonValue& json, int depth, QString* why) {
    if (depth > kMaxDepth || !json.isObject() || json.toObject().size() != 1) {
        setWhy(why, QStringLiteral("malformed typed JSON"));
        return {};
    }
    const QJsonObject object = json.toObject();
    const QString kind = object.begin().key();
    const QJsonValue payload = object.begin().value();
    if (kind == kArray) {
        if (!payload.isArray()) {
            setWhy(why, QStringLiteral("malformed typed JSON"));
            return {};
        }
        QVariantList list;
        for (const QJsonValue& item : payload.toArray()) {
            QVariant v = fromTypedJson(item, depth + 1, why);
            if (!v.isValid()) {
                return {};
            }
            list.append(v);
        }
        return list;
    }
    if (kind == kDict) {
        if (!payload.isObject()) {
            setWhy(why, QStringLiteral("malformed typed JSON"));
            return {};
        }
        QVariantMap map;
        const QJsonObject members = payload.toObject();
        for (auto it = members.begin(); it != members.end(); ++it) {
            QVariant v = fromTypedJson(it.value(), depth + 1, why);
            if (!v.isValid()) {
                return {};
            }
            map.insert(it.key(), v);
        }
        return map;
    }
    QVariant sql;
    if (kind == kBool && payload.isBool()) {
        sql = qint64(payload.toBool() ? 1 : 0);
    } else if (kind == kReal && payload.isDouble()) {
        sql = payload.toDouble();
    } else if (kind == kInt && payload.isString()) {
        bool ok = false;
        const qint64 n = payload.toString().toLongLong(&ok);
        if (!ok) {
            setWhy(why, QStringLiteral("malformed integer in typed JSON"));
            return {};
        }
        sql = n;
    } else if (kind == kData && payload.isString()) {
        auto decoded = QByteArray::fromBase64Encoding(payload.toString().toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            setWhy(why, QStringLiteral("malformed data in typed JSON"));
            return {};
        }
        sql = *decoded;
    } else if (payload.isString()) {
        sql = payload.toString();
    } else {
        setWhy(why, QStringLiteral("malformed typed JSON"));
        return {};
    }
    return decode(kind, sql, why);
}

QVariant decodeContainer(const QString& kind, const QVariant& sqlValue, QString* why) {
    if (sqlValue.typeId() != QMetaType::QString) {
        setWhy(why, QStringLiteral("%1 value is not text").arg(kind));
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(sqlValue.toString().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        setWhy(why, QStringLiteral("malformed typed JSON"));
        return {};
    }
    QVariant v = fromTypedJson(doc.object(), 0, why);
    if (v.isValid() && (kind == kArray) != (v.typeId() == QMetaType::QVariantList)) {
        setWhy(why, QStringLiteral("typed JSON does not match kind %1").arg(kind));
        return {};
    }
    return v;
}

}  // namespace

std::optional<Stored> encode(const QVariant& value, QString* why) {
    if (!value.isValid() || value.isNull()) {
        setWhy(why, QStringLiteral("absent value"));
        return std::nullopt;
    }
    const int type = value.typeId();
    if (isNumberType(type)) {
        return encodeNumber(value, why);
    }
    switch (type) {
        case QMetaType::QString:
            return Stored{kText, value.toString()};
        case QMetaType::QByteArray:
            return Stored{kData, value.toByteArray()};
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            const QDateTime date =
                type == QMetaType::QDate ? value.toDate().startOfDay(Qt::UTC) : value.toDateTime();
            if (!date.isValid()) {
                setWhy(why, QStringLiteral("invalid date"));
                return std::nullopt;
            }
            return Stored{kDate, dateText(date)};
        }
        case QMetaType::QUrl:
            return Stored{kUrl, value.toUrl().toString(QUrl::FullyEncoded)};
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            auto list = listToJson(value.toList(), 0, why);
            if (!list) {
                return std::nullopt;
            }
            const QJsonObject wrapped{{kArray, *list}};
            return Stored{kArray,
                          QString::fromUtf8(QJsonDocument(wrapped).toJson(QJsonDocument::Compact))};
        }
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash: {
            auto map = type == QMetaType::QVariantHash ? mapToJson(value.toHash(), 0, why)
                                                       : mapToJson(value.toMap(), 0, why);
            if (!map) {
                return std::nullopt;
            }
            const QJsonObject wrapped{{kDict, *map}};
            return Stored{kDict,
                          QString::fromUtf8(QJsonDocument(wrapped).toJson(QJsonDocument::Compact))};
        }
        default:
            setWhy(
                why,
                QStringLiteral("unsupported type %1").arg(QString::fromLatin1(value.typeName())));
            return std::nullopt;
    }
}

QVariant decode(const QString& kind, const QVariant& sqlValue, QString* why) {
    const int type = sqlValue.typeId();
    auto mismatch = [&]() {
        setWhy(why, QStringLiteral("%1 value of the wrong storage type").arg(kind));
        return QVariant();
    };
    if (kind == kInt) {
        return type == QMetaType::LongLong ? QVariant(sqlValue.toLongLong()) : mismatch();
    }
    if (kind == kBool) {
        return type == QMetaType::LongLong ? QVariant(sqlValue.toLongLong() != 0) : mismatch();
    }
    if (kind == kReal) {
        return type == QMetaType::Double ? QVariant(sqlValue.toDouble()) : mismatch();
    }
    if (kind == kText) {
        return type == QMetaType::QString ? QVariant(sqlValue.toString()) : mismatch();
    }
    if (kind == kData) {
        return type == QMetaType::QByteArray ? QVariant(sqlValue.toByteArray()) : mismatch();
    }
    if (kind == kDate) {
        if (type != QMetaType::QString) {
            return mismatch();
        }
        const QDateTime date = QDateTime::fromString(sqlValue.toString(), Qt::ISODateWithMs);
        if (!date.isValid()) {
            setWhy(why, QStringLiteral("malformed date"));
            return {};
        }
        return date.toUTC();
    }
    if (kind == kUrl) {
        return type == QMetaType::QString ? QVariant(QUrl(sqlValue.toString(), QUrl::StrictMode))
                                          : mismatch();
    }
    if (kind == kArray || kind == kDict) {
        return decodeContainer(kind, sqlValue, why);
    }
    setWhy(why, QStringLiteral("unknown kind '%1'").arg(kind.left(40)));
    return {};
}

}  // namespace settings_codec

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/defaults.h"

#include "foundation/numeric_text.h"
#include "foundation/settings_store.h"
#include "foundation/variant_types.h"

#include <QDir>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool isRealType(int type) {
    return type == QMetaType::Double || type == QMetaType::Float;
}

// A real that does not fit saturates, as a text beyond the range does.
qint64 realToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 9.2233720368547758e18) {
        return std::numeric_limits<qint64>::max();
    }
    if (value <= -9.2233720368547758e18) {
        return std::numeric_limits<qint64>::min();
    }
    return qint64(value);
}

}  // namespace

qint64 defaultInt(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    const int type = value.typeId();
    if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
        return qint64(qMin<quint64>(value.toULongLong(), std::numeric_limits<qint64>::max()));
    }
    if (isIntegerType(type)) {
        return value.toLongLong();
    }
    if (isRealType(type)) {
        return realToInt(value.toDouble());
    }
    if (type == QMetaType::QString) {
        return numeric_text::leadingInt64(value.toString());
    }
    return 0;
}

bool setDefaultInt(const QString& key, qint64 value) {
    return SettingsStore::shared().setValue(key, value);
}

std::optional<QString> defaultString(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    const int type = value.typeId();
    if (type == QMetaType::QString) {
        return value.toString();
    }
    if (type == QMetaType::Bool) {
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    }
    if (isIntegerType(type)) {
        return type == QMetaType::ULongLong || type == QMetaType::ULong
                   ? QString::number(value.toULongLong())
                   : QString::number(value.toLongLong());
    }
    if (isRealType(type)) {
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    return std::nullopt;
}

bool setDefaultString(const QString& key, const std::optional<QString>& value) {
    if (!value) {
        return SettingsStore::shared().remove(key);
    }
    // A null QString is still a text here: it is stored empty, not removed.
    return SettingsStore::shared().setValue(key, value->isNull() ? QStringLiteral("") : *value);
}

QVariant defaultObject(const QString& key) {
    return SettingsStore::shared().value(key);
}

bool setDefaultObject(const QString& key, const QVariant& value) {
    return SettingsStore::shared().setValue(key, value);
}

std::optional<QVariantList> defaultArray(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        return value.toList();
    }
    return std::nullopt;
}

bool setDefaultArray(const QString& key, const std::optional<QVariantList>& value) {
    return value ? SettingsStore::shared().setValue(key, *value)
                 : SettingsStore::shared().remove(key);
}

std::optional<QVariantMap> defaultDict(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    if (value.typeId() == QMetaType::QVariantMap) {
        return value.toMap();
    }
    if (value.typeId() == QMetaType::QVariantHash) {
        QVariantMap map;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
            map.insert(it.key(), it.value());
        }
        return map;
    }
    return std::nullopt;
}

bool setDefaultDict(const QString& key, const std::optional<QVariantMap>& value) {
    return value ? SettingsStore::shared().setValue(key, *value)
                 : SettingsStore::shared().remove(key);
}

std::optional<QUrl> defaultURL(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    if (value.typeId() == QMetaType::QUrl) {
        return value.toUrl();
    }
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    // A text written by hand: a path names a file, anything else must be an
    // absolute URL to count.
    const QString text = value.toString();
    if (text.startsWith(QLatin1Char('/'))) {
        return QUrl::fromLocalFile(text);
    }
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/"))) {
        return QUrl::fromLocalFile(QDir::homePath() + text.mid(1));
    }
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    return std::nullopt;
}

bool setDefaultURL(const QString& key, const std::optional<QUrl>& value) {
    if (!value || value->isEmpty()) {
        return SettingsStore::shared().remove(key);
    }
    return SettingsStore::shared().setValue(key, *value);
}

float defaultFloat(const QString& key) {
    const QVariant value = SettingsStore::shared().value(key);
    const int type = value.typeId();
    if (isIntegerType(type) || isRealType(type)) {
        return float(value.toDouble());
    }
    if (type == QMetaType::QString) {
        return float(numeric_text::leadingDouble(value.toString()));
    }
    return 0;
}

bool setDefaultFloat(const QString& key, float value) {
    return SettingsStore::shared().setValue(key, double(value));
}

bool removeDefault(const QString& key) {
    return SettingsStore::shared().remove(key);
}

void registerDefaults(const QVariantMap& defaults) {
    SettingsStore::shared().registerDefaults(defaults);
}

bool synchronize() {
    return SettingsStore::shared().synchronize();
}

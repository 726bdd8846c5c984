// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/literal.h"

#include "foundation/variant_types.h"

#include <QLocale>
#include <QMetaType>

namespace {

QString numberText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::UShort:
        case QMetaType::UChar:
            return QString::number(value.toULongLong());
        default:
            return QString::number(value.toLongLong());
    }
}

QString quoted(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
        }
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

void describe(const QVariant& value, int depth, QString& out) {
    const QString indent(qsizetype(4) * (depth + 1), QLatin1Char(' '));
    const QString closingIndent(qsizetype(4) * depth, QLatin1Char(' '));
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        out += QStringLiteral("{\n");
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            out += indent + it.key() + QStringLiteral(" = ");
            describe(it.value(), depth + 1, out);
            out += QStringLiteral(";\n");
        }
        out += closingIndent + QLatin1Char('}');
    } else if (value.typeId() == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        out += QStringLiteral("(\n");
        for (qsizetype i = 0; i < list.size(); ++i) {
            out += indent;
            describe(list.at(i), depth + 1, out);
            out += i + 1 < list.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += closingIndent + QLatin1Char(')');
    } else if (value.typeId() == QMetaType::QString) {
        out += quoted(value.toString());
    } else {
        out += objectText(value);
    }
}

}  // namespace

QString literalDictionary(const QList<QPair<QString, QString>>& renderedPairs) {
    QString out = QStringLiteral("@{");
    bool first = true;
    for (const auto& [key, value] : renderedPairs) {
        if (!first) {
            out += QStringLiteral(", ");
        }
        first = false;
        out += key + QStringLiteral(" : ") + value;
    }
    out += QLatin1Char('}');
    return out;
}

QString literalString(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        return QStringLiteral("@\"") + value.toString() + QLatin1Char('"');
    }
    if (isNumberType(value.typeId())) {
        return QStringLiteral("@(") + numberText(value) + QLatin1Char(')');
    }
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        QString out = QStringLiteral("@[");
        const QVariantList list = value.toList();
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (i > 0) {
                out += QStringLiteral(", ");
            }
            out += literalString(list.at(i));
        }
        out += QLatin1Char(']');
        return out;
    }
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        QList<QPair<QString, QString>> pairs;
        pairs.reserve(map.size());
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            pairs.append({literalString(QVariant(it.key())), literalString(it.value())});
        }
        return literalDictionary(pairs);
    }
    return QStringLiteral("-unsupportedLiteralObject: ") + objectText(value) + QLatin1Char('-');
}

QString objectText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("(null)");
    }
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        return text.isNull() ? QStringLiteral("(null)") : text;
    }
    if (isNumberType(value.typeId())) {
        return numberText(value);
    }
    if (value.typeId() == QMetaType::QVariantMap || value.typeId() == QMetaType::QVariantList) {
        return descriptionText(value);
    }
    const QString text = value.toString();
    return text.isEmpty() ? QString::fromLatin1(value.typeName()) : text;
}

QString descriptionText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("(null)");
    }
    QString out;
    describe(value, 0, out);
    return out;
}

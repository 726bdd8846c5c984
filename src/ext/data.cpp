// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/data.h"

#include "foundation/logging.h"

#include <QCryptographicHash>
#include <QStringDecoder>

namespace {

std::optional<QString> decodeStrictly(const QByteArray& bytes,
                                      QStringConverter::Encoding encoding) {
    // Stateless: a sequence cut off at the end is an error, not pending input.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

// UTF-16 without a byte-order mark, recognised only in its unmistakable form:
// text of the first 256 code points, where every high (or every low) byte is
// zero. UTF-8 and Latin-1 text never look like this.
std::optional<QStringConverter::Encoding> unmarkedUtf16(const QByteArray& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    bool littleEndian = true;
    bool bigEndian = true;
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        littleEndian = littleEndian && bytes.at(i + 1) == 0 && bytes.at(i) != 0;
        bigEndian = bigEndian && bytes.at(i) == 0 && bytes.at(i + 1) != 0;
    }
    if (littleEndian) {
        return QStringConverter::Utf16LE;
    }
    if (bigEndian) {
        return QStringConverter::Utf16BE;
    }
    return std::nullopt;
}

}  // namespace

QString bytesDescription(const QByteArray& bytes) {
    QString out = QStringLiteral("<");
    const QByteArray hex = bytes.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 8) {
        if (i > 0) {
            out += QLatin1Char(' ');
        }
        out += QString::fromLatin1(hex.mid(i, 8));
    }
    return out + QLatin1Char('>');
}

std::optional<QString> string(const QByteArray& bytes) {
    // A byte-order mark names the encoding.
    auto marked = QStringConverter::encodingForData(bytes);
    if (!marked) {
        marked = unmarkedUtf16(bytes);
    }
    if (marked) {
        if (const auto text = decodeStrictly(bytes, *marked)) {
            return text;
        }
    }
    for (const auto encoding : {QStringConverter::Utf8, QStringConverter::Latin1}) {
        if (const auto text = decodeStrictly(bytes, encoding)) {
            return text;
        }
    }
    const QByteArray shown = bytes.size() >= 200 ? bytes.left(150) : bytes;
    log_message(
        3,
        QStringLiteral("Error: could not create string from data %1").arg(bytesDescription(shown)));
    return std::nullopt;
}

std::optional<QString> stringUTF8(const QByteArray& bytes) {
    auto text = decodeStrictly(bytes, QStringConverter::Utf8);
    if (!text) {
        log_message(3, QStringLiteral("Error: could not create UTF8 string from data %1")
                           .arg(bytesDescription(bytes.left(100))));
    }
    return text;
}

QString SHA1(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

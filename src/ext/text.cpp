// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/text.h"

#include "ext/list.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

namespace {

bool isLineBreak(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

bool allIn(QStringView text, QLatin1StringView allowed) {
    for (QChar c : text) {
        if (c.unicode() > 0x7F || !allowed.contains(c)) {
            return false;
        }
    }
    return true;
}

// The cut position at or before n that does not separate a surrogate pair.
qsizetype safeCut(const QString& text, qsizetype n) {
    if (n <= 0) {
        return 0;
    }
    if (n >= text.size()) {
        return text.size();
    }
    return text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate() ? n - 1 : n;
}

}  // namespace

QString replaced(const QString& text, const QString& what, const QString& with) {
    if (what.isEmpty()) {
        return text;
    }
    QString out = text;
    return out.replace(what, with);
}

QStringList split(const QString& text, const QString& separator) {
    if (separator.isEmpty()) {
        return {text};
    }
    return text.split(separator, Qt::KeepEmptyParts);
}

QStringList lines(const QString& text) {
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isLineBreak(c)) {
            continue;
        }
        out.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
        }
        start = i + 1;
    }
    out.append(text.mid(start));
    return out;
}

QStringList words(const QString& text) {
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBlank(text.at(i))) {
            out.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    out.append(text.mid(start));
    return out;
}

bool contains(const QString& text, const QString& part) {
    return !part.isEmpty() && text.contains(part);
}

bool containsAll(const QString& text, const QStringList& parts) {
    for (const QString& part : parts) {
        if (!contains(text, part)) {
            return false;
        }
    }
    return true;
}

qsizetype count(const QString& text, const QString& part) {
    if (part.isEmpty()) {
        return 0;
    }
    qsizetype n = 0;
    for (qsizetype at = text.indexOf(part); at >= 0; at = text.indexOf(part, at + part.size())) {
        ++n;
    }
    return n;
}

QString clamp(const QString& text, qsizetype n) {
    return text.left(safeCut(text, n));
}

QString clampByteLength(const QString& text, qsizetype n) {
    const QString clamped = clamp(text, n);
    // Walk whole code points, adding each one's UTF-8 length, instead of
    // re-encoding the text once per removed character.
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < clamped.size()) {
        char32_t cp = clamped.at(end).unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(cp) && end + 1 < clamped.size() &&
            clamped.at(end + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(clamped.at(end), clamped.at(end + 1));
            units = 2;
        }
        // An unpaired surrogate is written as U+FFFD, three bytes.
        const qsizetype size = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        if (bytes + size > n) {
            break;
        }
        bytes += size;
        end += units;
    }
    return clamped.left(end);
}

QString trimmedOfWhitespaceAndNewlines(const QString& text) {
    return text.trimmed();
}

QString strippedOfNewlines(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isLineBreak(c.unicode())) {
            out += c;
        }
    }
    return out;
}

std::optional<QString> splitBeforeNull(const QString& text, const QString& separator) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0) {
        return std::nullopt;
    }
    return text.left(at);
}

std::optional<QString> splitAfterNull(const QString& text, const QString& separator) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0) {
        return std::nullopt;
    }
    return text.mid(at + separator.size());
}

bool isIntegerNumberOnly(const QString& text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

bool isValidEmail(const QString& text) {
    static constexpr QLatin1StringView kLocal(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&'*+-/=?^_`{|}~.");
    static constexpr QLatin1StringView kDomain(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.");
    if (text.size() > 254) {
        return false;
    }
    const QStringList parts = text.split(QLatin1Char('@'));
    if (parts.size() != 2) {
        return false;
    }
    // An empty local part ("@example.com") is no address: the relay would
    // reject it only after a delivery was attempted.
    return !parts.at(0).isEmpty() && parts.at(1).contains(QLatin1Char('.')) &&
           allIn(parts.at(0), kLocal) && allIn(parts.at(1), kDomain);
}

bool isValidEmails(const QString& text) {
    for (const QString& line : lines(text)) {
        if (!isValidEmail(line)) {
            return false;
        }
    }
    return true;
}

QString escaped(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "!$&'()*+,;=:@/?"));
}

QString encoded(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text.at(i).unicode();
        qsizetype units = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            units = 2;
        }
        if (QChar::isLetterOrNumber(cp) || QChar::isMark(cp)) {
            out += text.mid(i, units);
        } else {
            out += QString::fromLatin1(QUrl::toPercentEncoding(text.mid(i, units), {}, "-._~"));
        }
        i += units - 1;
    }
    return out;
}

QString appended(const QString& text, const QString& tail) {
    return text + tail;
}

std::optional<QUrl> URL(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid()) {
        return std::nullopt;
    }
    return url;
}

QUrl fileURL(const QString& path) {
    return QUrl::fromLocalFile(path);
}

QString expanded(const QString& path) {
    if (path == QLatin1String("~")) {
        return QDir::homePath();
    }
    if (path.startsWith(QLatin1String("~/"))) {
        return QDir::homePath() + path.mid(1);
    }
    return path;
}

bool fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool fileIsAlias(const QString& path) {
    return fileIsSymlink(path);
}

bool fileIsSymlink(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isSymLink();
}

std::optional<QStringList> directoryContents(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
        return std::nullopt;
    }
    return QDir(path).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::optional<QByteArray> contents(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

QString uniqueFile(const QString& path) {
    // A dangling link also takes the name: writing there would follow it.
    const auto taken = [](const QString& p) {
        const QFileInfo info(p);
        return info.exists() || info.isSymLink();
    };
    if (!taken(path)) {
        return path;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A dot that starts the file name (".profile") begins no extension.
    const bool hasExtension = dot > slash + 1;
    const QString stem = hasExtension ? path.left(dot) : path;
    const QString extension = hasExtension ? path.mid(dot) : QString();
    for (qint64 n = 0;; ++n) {
        const QString candidate = stem + QLatin1Char('-') + QString::number(n) + extension;
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

QString SHA1(const QString& text) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}

std::optional<QByteArray> data(const QString& text) {
    // UTF-8 comes first and, converting lossily, takes every text.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    return QByteArray(encoder.encode(text));
}

std::optional<QString> downloadWithCurl(const QString& urlText) {
    return runAsTask({QStringLiteral("/usr/bin/curl"), QStringLiteral("-s"), urlText});
}

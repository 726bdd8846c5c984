// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on texts. A text that names a settings key, a path, a resource
// or a URL is asked directly for what it names, so callers read as one call.

#include "ext/literal.h"
#include "foundation/defaults.h"  // settings accessors on a key text belong to this group

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The user-visible text for an English key in the current language; the key
// itself when there is no translation (see localization.h).
QString localized(const QString& key);

QString replaced(const QString& text, const QString& what, const QString& with);
// The parts between occurrences of the separator; the whole text as one part
// when it does not occur (or the separator is empty).
QStringList split(const QString& text, const QString& separator);
// The parts between line breaks: LF, VT, FF, CR, NEL, LINE SEPARATOR and
// PARAGRAPH SEPARATOR; CR LF counts as one break.
QStringList lines(const QString& text);
// The parts between single blanks (tab and the Unicode space separators);
// runs of blanks give empty parts, which are kept.
QStringList words(const QString& text);
// False for an empty part: an empty text occurs nowhere.
bool contains(const QString& text, const QString& part);
// True when every part occurs; true for an empty list.
bool containsAll(const QString& text, const QStringList& parts);
// Non-overlapping occurrences ("aaaa" holds "aa" twice).
qsizetype count(const QString& text, const QString& part);
// The first n characters; a character outside the Basic Multilingual Plane is
// never cut in half (the clamp stops before it).
QString clamp(const QString& text, qsizetype n);
// At most n characters whose UTF-8 form has at most n bytes, cut only between
// whole characters.
QString clampByteLength(const QString& text, qsizetype n);
QString trimmedOfWhitespaceAndNewlines(const QString& text);
QString strippedOfNewlines(const QString& text);
// The text before / after the first occurrence of the separator; absent when
// it does not occur.
std::optional<QString> splitBeforeNull(const QString& text, const QString& separator);
std::optional<QString> splitAfterNull(const QString& text, const QString& separator);
// True when no character lies outside 0-9 (so true for an empty text).
bool isIntegerNumberOnly(const QString& text);
// At most 254 characters, exactly one "@", a non-empty local part of the
// characters RFC 5322 allows unquoted, a domain part of letters, digits, "-"
// and "." holding at least one ".".
bool isValidEmail(const QString& text);
// Every line is a valid address; an empty line (also a trailing line break)
// makes the whole text invalid.
bool isValidEmails(const QString& text);
// Percent-encoded for use in a URL query: letters, digits, "-._~" and
// "!$&'()*+,;=:@/?" stay.
QString escaped(const QString& text);
// Percent-encoded keeping only letters, marks and digits (of any script).
QString encoded(const QString& text);
QString appended(const QString& text, const QString& tail);
// A URL parsed strictly from the text; absent when empty or unparsable.
std::optional<QUrl> URL(const QString& text);
QUrl fileURL(const QString& path);
// "~" and a leading "~/" replaced by the home folder.
QString expanded(const QString& path);

// A file of exactly this name (extension included) in the installation's
// resource folder; absent when there is none or the name is not a plain name.
std::optional<QUrl> resourceURL(const QString& name);
std::optional<QString> resourcePath(const QString& name);
// The path of the image resource of this name: the name as given, else with
// one of the image extensions we ship. Absent and logged when there is none.
std::optional<QString> namedImage(const QString& name);

// Path tests; anything unreadable tests false.
bool fileExists(const QString& path);  // follows links
// Linux has no alias files: an alias is a symbolic link.
bool fileIsAlias(const QString& path);
bool fileIsSymlink(const QString& path);
// The names in a folder (hidden ones included, "." and ".." not); absent
// when the path is no readable folder.
std::optional<QStringList> directoryContents(const QString& path);
// The file's bytes; absent when it cannot be read.
std::optional<QByteArray> contents(const QString& path);
// The path itself when nothing is there, else "name-N.ext" (or "name-N"
// without an extension) for the first free N = 0, 1, 2 ...
QString uniqueFile(const QString& path);
// SHA-1 of the UTF-8 form, 40 lowercase hexadecimal digits.
QString SHA1(const QString& text);
// The bytes in the first of UTF-8, ISO Latin-1, ASCII, UTF-16 that accepts
// the text (lossy conversion allowed, so UTF-8 always does; an unpaired
// surrogate becomes a replacement character).
std::optional<QByteArray> data(const QString& text);
// The body fetched from the URL of the text, blocking the caller (see url.h).
std::optional<QByteArray> download(const QString& urlText);
// The output of "/usr/bin/curl -s URL" (see runAsTask in list.h).
std::optional<QString> downloadWithCurl(const QString& urlText);

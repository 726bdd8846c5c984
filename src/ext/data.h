// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on byte arrays.

#include <QByteArray>
#include <QString>

#include <optional>

// Text from bytes of unknown encoding: a byte-order mark decides first, then
// strict UTF-8, then ISO Latin-1 (which takes any bytes). Absent, and logged,
// only when no encoding applies.
std::optional<QString> string(const QByteArray& bytes);
// Text from bytes that must be UTF-8; absent and logged when they are not.
// A leading byte-order mark is dropped.
std::optional<QString> stringUTF8(const QByteArray& bytes);
// SHA-1 of the bytes, 40 lowercase hexadecimal digits.
QString SHA1(const QByteArray& bytes);

// The bytes as hexadecimal in groups of four bytes, "<48656c6c 6f>", as the
// log lines about undecodable data show them.
QString bytesDescription(const QByteArray& bytes);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/drive_wear.h"
#include "core/ssd.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVariantMap>

#include <cstdint>
#include <optional>

// The JSON every command prints follows docs/ostrivane.schema.json; this
// number changes whenever a field changes meaning or disappears.
inline constexpr int kJsonFormatVersion = 1;

// Everything one command knows about a drive; what it does not know stays
// empty and is printed as null, so every drive object has the same fields.
struct DriveFacts {
    std::optional<QString> device;
    std::optional<QString> name;
    std::optional<QString> model;
    std::optional<QString> firmware;
    std::optional<QString> serial;
    std::optional<QString> protocol;
    std::optional<bool> isSSD;
    std::optional<bool> isNVMe;
    // In percent; kHealthUnknown counts as unknown.
    std::optional<qint32> health;
    std::optional<qint32> lastHealth;
    std::optional<std::uint8_t> smartStatus;
    std::optional<QString> status;
    std::optional<QString> healthInfo;
    std::optional<bool> lowAccuracy;
    // The drive's own wear figures; absent (null) when it reports none.
    std::optional<DriveWear> ownWear;
    // Set when the disk slept and the check did not read it.
    std::optional<QDateTime> standbySince;
    // Printed only when `withAttributes`; an absent table is null (not read).
    bool withAttributes = false;
    std::optional<AttributeTable> attributes;
};

// The facts of an evaluated drive and of its disk description
// (DAMediaName, DADeviceRevision, DADeviceProtocol, isSSD, isNVME).
DriveFacts driveFacts(const SSD& ssd, const std::optional<QVariantMap>& description);
void addDescription(DriveFacts& facts, const std::optional<QVariantMap>& description);

// The "ownWear" object: the figures, the line and the disagreement note for
// the health (null when there is none).
QJsonValue ownWearJson(const std::optional<DriveWear>& wear, const std::optional<qint32>& health);

// The one drive object of every command's JSON.
QJsonObject driveJson(const DriveFacts& facts);

// "verified", "failing", "notCapable" or "unknown".
QString smartStatusKey(std::uint8_t status);

// ISO 8601 in UTC with a Z; null for an invalid time.
QJsonValue isoTime(const QDateTime& time);

// A command's whole answer: the version and the command first.
QJsonObject jsonAnswer(const QString& command, QJsonObject body);
QByteArray jsonText(const QJsonObject& object);

// Runs a command whose arguments ask for --json so that a failure that
// printed nothing on standard output still answers in JSON there: an object
// with the message (what went to standard error) and the exit status. The
// messages still reach standard error.
using CommandRunner = int (*)(const QStringList&, QTextStream&, QTextStream&);
int runWithJsonErrors(const QString& command, const QStringList& args, CommandRunner run,
                      QTextStream& out, QTextStream& err);

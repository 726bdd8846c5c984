// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/json_output.h"

#include "core/smart_status.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <array>

namespace {

// Field names of the NVMe pseudo-attributes 900..914, as smartctl names them.
constexpr std::array<const char*, 15> kNvmeFields{
    "critical_warning", "temperature",          "available_spare",    "available_spare_threshold",
    "percentage_used",  "data_units_read",      "data_units_written", "host_reads",
    "host_writes",      "controller_busy_time", "power_cycles",       "power_on_hours",
    "unsafe_shutdowns", "media_errors",         "num_err_log_entries"};

template <typename T>
QJsonValue orNull(const std::optional<T>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue healthValue(const std::optional<qint32>& health) {
    return health && *health != kHealthUnknown ? QJsonValue(*health) : QJsonValue(QJsonValue::Null);
}

// JSON numbers are doubles: values beyond 2^53 are written as text to stay exact.
QJsonValue jsonNumber(const std::optional<AttributeNumber>& number) {
    if (!number) {
        return QJsonValue(QJsonValue::Null);
    }
    constexpr quint64 kExact = quint64(1) << 53;
    if (number->isUnsigned()) {
        return number->toUInt64() <= kExact ? QJsonValue(double(number->toUInt64()))
                                            : QJsonValue(number->toString());
    }
    const qint64 value = number->toInt64();
    return value <= qint64(kExact) && value >= -qint64(kExact) ? QJsonValue(value)
                                                               : QJsonValue(number->toString());
}

QJsonValue flag(const std::optional<AttributeNumber>& number) {
    return number ? QJsonValue(number->toInt64() != 0) : QJsonValue(QJsonValue::Null);
}

QJsonArray attributeArray(const AttributeTable& table) {
    QJsonArray list;
    for (const auto& [id, record] : table) {
        list.append(QJsonObject{
            {QStringLiteral("id"), id},
            {QStringLiteral("name"),
             id >= 900 && id <= 914
                 ? QJsonValue(QString::fromLatin1(kNvmeFields[std::size_t(id - 900)]))
                 : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("currentValue"), jsonNumber(record.currentValue)},
            {QStringLiteral("worstValue"), jsonNumber(record.worstValue)},
            {QStringLiteral("threshold"), jsonNumber(record.threshold)},
            {QStringLiteral("rawValue"), jsonNumber(record.rawValue)},
            {QStringLiteral("isPrefail"), flag(record.isPrefail)},
            {QStringLiteral("isOnline"), flag(record.isOnline)},
        });
    }
    return list;
}

std::optional<QString> nonEmpty(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

}  // namespace

void addDescription(DriveFacts& facts, const std::optional<QVariantMap>& description) {
    if (!description) {
        return;
    }
    const auto text = [&description](const char* key) {
        return nonEmpty(description->value(QLatin1String(key)).toString());
    };
    if (!facts.model) {
        facts.model = text("DAMediaName");
    }
    facts.firmware = text("DADeviceRevision");
    facts.protocol = text("DADeviceProtocol");
    facts.isSSD = description->value(QStringLiteral("isSSD")).toBool();
    facts.isNVMe = description->value(QStringLiteral("isNVME")).toBool();
}

DriveFacts driveFacts(const SSD& ssd, const std::optional<QVariantMap>& description) {
    DriveFacts facts;
    facts.device = nonEmpty(ssd.deviceNode());
    facts.name = nonEmpty(ssd.name());
    facts.model = nonEmpty(ssd.modelName());
    facts.health = ssd.healthPercentage();
    facts.lastHealth = ssd.lastHealthPercentage();
    facts.smartStatus = ssd.smartStatus();
    facts.status = ssd.status();
    facts.healthInfo =
        ssd.healthInfo().isNull() ? std::nullopt : std::optional<QString>(ssd.healthInfo());
    facts.lowAccuracy = ssd.lowAccuracy();
    facts.attributes = ssd.allAttributes();
    if (!ssd.ownWear().empty()) {
        facts.ownWear = ssd.ownWear();
    }
    facts.standbySince = ssd.standbySince();
    addDescription(facts, description);
    if (!facts.isSSD && description) {
        facts.isSSD = ssd.isSSD();
    }
    return facts;
}

QString smartStatusKey(std::uint8_t status) {
    switch (status) {
        case SMARTStatusFailing:
            return QStringLiteral("failing");
        case SMARTStatusVerified:
            return QStringLiteral("verified");
        case SMARTStatusNotCapable:
            return QStringLiteral("notCapable");
        default:
            return QStringLiteral("unknown");
    }
}

QJsonValue ownWearJson(const std::optional<DriveWear>& wear, const std::optional<qint32>& health) {
    if (!wear || wear->empty()) {
        return QJsonValue(QJsonValue::Null);
    }
    const auto number = [](const auto& value) {
        return value ? jsonNumber(AttributeNumber::fromUnsigned(quint64(*value)))
                     : QJsonValue(QJsonValue::Null);
    };
    const QString line = wearLine(*wear);
    const QString note = wearDisagreement(*wear, health.value_or(kHealthUnknown));
    return QJsonObject{
        {QStringLiteral("percentageUsed"), orNull(wear->percentageUsed)},
        {QStringLiteral("lifeLeft"), wear->percentageUsed
                                         ? QJsonValue(std::max(0, 100 - *wear->percentageUsed))
                                         : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("bytesWritten"), number(wear->bytesWritten)},
        {QStringLiteral("powerOnHours"), number(wear->powerOnHours)},
        {QStringLiteral("temperature"), orNull(wear->temperature)},
        {QStringLiteral("line"), line.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(line)},
        {QStringLiteral("differs"),
         note.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(note)},
    };
}

QJsonObject driveJson(const DriveFacts& facts) {
    QJsonObject drive{
        {QStringLiteral("device"), orNull(facts.device)},
        {QStringLiteral("name"), orNull(facts.name)},
        {QStringLiteral("model"), orNull(facts.model)},
        {QStringLiteral("firmware"), orNull(facts.firmware)},
        {QStringLiteral("serial"), orNull(facts.serial)},
        {QStringLiteral("protocol"), orNull(facts.protocol)},
        {QStringLiteral("isSSD"), orNull(facts.isSSD)},
        {QStringLiteral("isNVMe"), orNull(facts.isNVMe)},
        {QStringLiteral("health"), healthValue(facts.health)},
        {QStringLiteral("lastHealth"), healthValue(facts.lastHealth)},
        {QStringLiteral("smartStatus"), facts.smartStatus
                                            ? QJsonValue(smartStatusKey(*facts.smartStatus))
                                            : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("status"), orNull(facts.status)},
        {QStringLiteral("healthInfo"), orNull(facts.healthInfo)},
        {QStringLiteral("lowAccuracy"), orNull(facts.lowAccuracy)},
        {QStringLiteral("ownWear"), ownWearJson(facts.ownWear, facts.health)},
        {QStringLiteral("standbySince"),
         facts.standbySince ? isoTime(*facts.standbySince) : QJsonValue(QJsonValue::Null)},
    };
    if (facts.withAttributes) {
        drive.insert(QStringLiteral("attributes"),
                     facts.attributes ? QJsonValue(attributeArray(*facts.attributes))
                                      : QJsonValue(QJsonValue::Null));
    }
    return drive;
}

QJsonValue isoTime(const QDateTime& time) {
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate))
                          : QJsonValue(QJsonValue::Null);
}

QJsonObject jsonAnswer(const QString& command, QJsonObject body) {
    body.insert(QStringLiteral("jsonFormatVersion"), kJsonFormatVersion);
    body.insert(QStringLiteral("command"), command);
    return body;
}

QByteArray jsonText(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

int runWithJsonErrors(const QString& command, const QStringList& args, CommandRunner run,
                      QTextStream& out, QTextStream& err) {
    QString printed;
    QString messages;
    int status = 0;
    {
        QTextStream bufferOut(&printed);
        QTextStream bufferErr(&messages);
        status = run(args, bufferOut, bufferErr);
        bufferOut.flush();
        bufferErr.flush();
    }
    err << messages;
    err.flush();
    if (status == 0 || !printed.trimmed().isEmpty()) {
        out << printed;
        return status;
    }
    // The first line says what went wrong; "Try --help" and the like follow it.
    QString message = messages.section(QLatin1Char('\n'), 0, 0).trimmed();
    const QString prefix = QStringLiteral("ostrivane-cli %1: ").arg(command);
    if (message.startsWith(prefix)) {
        message = message.mid(prefix.size());
    } else if (message.startsWith(QLatin1String("ostrivane-cli: "))) {
        message = message.mid(15);
    }
    if (message.isEmpty()) {
        message = QStringLiteral("failed with exit status %1").arg(status);
    }
    out << jsonText(jsonAnswer(
        command, QJsonObject{{QStringLiteral("error"), QJsonObject{
                                                           {QStringLiteral("message"), message},
                                                           {QStringLiteral("exitStatus"), status},
                                                       }}}));
    return status;
}

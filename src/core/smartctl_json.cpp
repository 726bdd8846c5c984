// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/smartctl_json.h"

#include "core/text_lines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// JSON numbers are doubles: out-of-range and negative counters read as 0,
// as an unreadable text field does.
quint64 counter(const QJsonValue& value) {
    const double number = value.toDouble(0);
    if (!std::isfinite(number) || number < 0) {
        return 0;
    }
    return number >= 18446744073709551615.0 ? std::numeric_limits<quint64>::max() : quint64(number);
}

std::uint8_t byteField(const QJsonValue& value) {
    return std::uint8_t(std::min<quint64>(counter(value), 255));
}

void readAtaTable(const QJsonArray& table, AttributeTable& attributes) {
    for (const QJsonValue& entry : table) {
        const QJsonObject row = entry.toObject();
        const int id = row.value(QLatin1String("id")).toInt(0);
        if (id <= 0 || id > 255) {
            continue;
        }
        const auto number = [](qint64 value) { return AttributeNumber::fromSigned(value); };
        const QJsonObject flags = row.value(QLatin1String("flags")).toObject();
        const QJsonObject raw = row.value(QLatin1String("raw")).toObject();
        AttributeRecord record;
        record.currentValue = number(row.value(QLatin1String("value")).toInt(0));
        record.worstValue = number(row.value(QLatin1String("worst")).toInt(0));
        record.threshold = number(row.value(QLatin1String("thresh")).toInt(0));
        // The raw value as printed ("34 (Min/Max 19/45)"), read as the text
        // table's raw column is: the number field holds every raw byte,
        // the temperature's minimum and maximum among them.
        const QJsonValue rawText = raw.value(QLatin1String("string"));
        record.rawValue =
            rawText.isString()
                ? number(text_lines::leadingInt32(rawText.toString()))
                : number(qint32(std::min<quint64>(counter(raw.value(QLatin1String("value"))),
                                                  quint64(std::numeric_limits<qint32>::max()))));
        record.isPrefail = number(flags.value(QLatin1String("prefailure")).toBool() ? 1 : 0);
        record.isOnline = number(flags.value(QLatin1String("updated_online")).toBool() ? 1 : 0);
        attributes.insert_or_assign(id, record);
    }
}

void readNvmeLog(const QJsonObject& log, NvmeHealthLog& nvme) {
    nvme.criticalWarning = byteField(log.value(QLatin1String("critical_warning")));
    // Kept as the log keeps it, in kelvin.
    const double celsius = log.value(QLatin1String("temperature")).toDouble(0);
    nvme.compositeTemperatureKelvin = std::uint16_t(std::clamp(273.0 + celsius, 0.0, 65535.0));
    nvme.availableSpare = byteField(log.value(QLatin1String("available_spare")));
    nvme.availableSpareThreshold = byteField(log.value(QLatin1String("available_spare_threshold")));
    nvme.percentageUsed = byteField(log.value(QLatin1String("percentage_used")));
    // In log order, as smartctl names them.
    static constexpr const char* kCounters[] = {
        "data_units_read",      "data_units_written",  "host_reads",     "host_writes",
        "controller_busy_time", "power_cycles",        "power_on_hours", "unsafe_shutdowns",
        "media_errors",         "num_err_log_entries",
    };
    for (std::size_t i = 0; i < std::size(kCounters); ++i) {
        nvme.counters[i] = counter(log.value(QLatin1String(kCounters[i])));
    }
}

QString firstString(const QJsonObject& object, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isString()) {
            return value.toString();
        }
    }
    return {};
}

}  // namespace

bool looksLikeJson(QStringView text) {
    return text.trimmed().startsWith(u'{');
}

std::optional<SmartctlReport> readSmartctlJson(QStringView text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    SmartctlReport report;
    report.model = firstString(root, {"model_name", "scsi_model_name", "product"});
    report.revision = firstString(root, {"firmware_version", "scsi_revision", "revision"});

    const QJsonObject status = root.value(QLatin1String("smart_status")).toObject();
    report.saysFailed = status.value(QLatin1String("passed")) == QJsonValue(false);

    const QJsonValue rotation = root.value(QLatin1String("rotation_rate"));
    if (rotation.isDouble()) {
        report.solidState = rotation.toDouble() == 0;
    }
    const QString protocol =
        root.value(QLatin1String("device")).toObject().value(QLatin1String("protocol")).toString();
    if (root.contains(QLatin1String("sata_version"))) {
        report.protocol = QStringLiteral("SATA");
    } else if (protocol == QLatin1String("SCSI") &&
               root.value(QLatin1String("scsi_transport_protocol"))
                   .toObject()
                   .value(QLatin1String("name"))
                   .toString()
                   .startsWith(QLatin1String("SAS"))) {
        report.protocol = QStringLiteral("SAS");
    }

    const QJsonValue table =
        root.value(QLatin1String("ata_smart_attributes")).toObject().value(QLatin1String("table"));
    if (table.isArray()) {
        readAtaTable(table.toArray(), report.attributes);
        report.hasAtaTable = !report.attributes.empty();
    }
    const QJsonValue log = root.value(QLatin1String("nvme_smart_health_information_log"));
    if (log.isObject()) {
        readNvmeLog(log.toObject(), report.nvme);
        report.hasNvmeHealth = true;
    }
    return report;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/smartctl_report.h"

#include "core/attribute_text.h"
#include "core/smart_status.h"
#include "core/smartctl_json.h"
#include "core/text_lines.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Reads a number as smartctl prints NVMe fields: "0x02", "74 Celsius", "100%",
// "80,127,805 [41.0 TB]". Decimal counters wider than 64 bits keep their low
// 64 bits, as the reader keeps the low half of the 128-bit log counters.
std::optional<quint64> nvmeNumber(QStringView value, bool* negative = nullptr) {
    value = value.trimmed();
    bool minus = false;
    if (value.startsWith(u'-')) {
        minus = true;
        value = value.sliced(1);
    }
    if (negative) {
        *negative = minus;
    }
    quint64 result = 0;
    bool any = false;
    if (value.startsWith(u"0x", Qt::CaseInsensitive)) {
        for (QChar c : value.sliced(2)) {
            const int digit = hexDigit(c.unicode());
            if (digit < 0) {
                break;
            }
            result = (result << 4) | quint64(digit);
            any = true;
        }
    } else {
        for (QChar c : value) {
            if (c == u',') {
                continue;
            }
            if (c < u'0' || c > u'9') {
                break;
            }
            result = result * 10 + quint64(c.unicode() - u'0');
            any = true;
        }
    }
    return any ? std::optional(result) : std::nullopt;
}

std::uint8_t byteField(QStringView value) {
    return std::uint8_t(std::min<quint64>(nvmeNumber(value).value_or(0), 255));
}

// NVMe counters in log order, as smartctl names them.
constexpr QStringView kNvmeCounters[] = {
    u"Data Units Read",
    u"Data Units Written",
    u"Host Read Commands",
    u"Host Write Commands",
    u"Controller Busy Time",
    u"Power Cycles",
    u"Power On Hours",
    u"Unsafe Shutdowns",
    u"Media and Data Integrity Errors",
    u"Error Information Log Entries",
};

bool readNvmeField(QStringView key, QStringView value, NvmeHealthLog& log) {
    if (key == u"Critical Warning") {
        log.criticalWarning = byteField(value);
    } else if (key == u"Temperature") {
        bool negative = false;
        const quint64 celsius = nvmeNumber(value, &negative).value_or(0);
        // Stored as the log stores it, in kelvin, 16 bits wide.
        const quint64 kelvin = negative ? 273 - celsius : 273 + celsius;
        log.compositeTemperatureKelvin = std::uint16_t(kelvin);
    } else if (key == u"Available Spare") {
        log.availableSpare = byteField(value);
    } else if (key == u"Available Spare Threshold") {
        log.availableSpareThreshold = byteField(value);
    } else if (key == u"Percentage Used") {
        log.percentageUsed = byteField(value);
    } else {
        const auto* it = std::find(std::begin(kNvmeCounters), std::end(kNvmeCounters), key);
        if (it == std::end(kNvmeCounters)) {
            return false;
        }
        log.counters[std::size_t(it - std::begin(kNvmeCounters))] = nvmeNumber(value).value_or(0);
    }
    return true;
}

void readKeyValue(QStringView key, QStringView value, SmartctlReport& report) {
    if (key == u"Device Model" || key == u"Model Number" || key == u"Product") {
        report.model = value.toString();
    } else if (key == u"Firmware Version" || key == u"Revision") {
        report.revision = value.toString();
    } else if (key == u"SMART overall-health self-assessment test result" ||
               key == u"SMART Health Status") {
        report.saysFailed = value.startsWith(u"FAILED");
    } else if (key == u"Rotation Rate") {
        if (value.startsWith(u"Solid State")) {
            report.solidState = true;
        } else if (value.contains(u"rpm")) {
            report.solidState = false;
        }
    } else if (key == u"SATA Version is") {
        report.protocol = QStringLiteral("SATA");
    } else if (key == u"Transport protocol" && value.startsWith(u"SAS")) {
        report.protocol = QStringLiteral("SAS");
    } else if (readNvmeField(key, value, report.nvme)) {
        report.hasNvmeHealth = true;
    }
}

bool isAttributeHeader(QStringView line) {
    return line.startsWith(u"ID#") && line.contains(u"ATTRIBUTE_NAME");
}

}  // namespace

std::uint8_t SmartctlReport::smartStatus() const {
    const bool failing = saysFailed || (hasNvmeHealth && nvme.criticalWarning != 0);
    return failing ? SMARTStatusFailing : SMARTStatusVerified;
}

namespace {

SmartctlReport parseTextReport(QStringView text) {
    SmartctlReport report;
    // Only the attribute section is read as a table: other sections of a full
    // report (the error log, for one) have lines that look like attribute lines.
    enum class State { Before, Inside, After } state = State::Before;
    text_lines::forEachLine(text, [&](QStringView line) {
        const QStringView trimmed = line.trimmed();
        if (state == State::Inside) {
            // Blank lines (and the empty piece of a "\r\n") do not end the section;
            // the first line that is not an attribute row does.
            if (trimmed.isEmpty()) {
                return;
            }
            if (text_lines::leadingInt32(trimmed) > 0) {
                parseAttributeLine(trimmed, report.attributes);
                return;
            }
            state = State::After;
        }
        if (state == State::Before && isAttributeHeader(trimmed)) {
            state = State::Inside;
            report.hasAtaTable = true;
            return;
        }
        const qsizetype colon = trimmed.indexOf(u':');
        if (colon > 0) {
            readKeyValue(trimmed.first(colon).trimmed(), trimmed.sliced(colon + 1).trimmed(),
                         report);
        }
    });

    if (!report.hasAtaTable && !report.hasNvmeHealth) {
        // A bare table without smartctl's header. Not in an NVMe report,
        // whose power-state and error-log rows look like attribute lines.
        report.attributes = parseAttributeText(text);
        report.hasAtaTable = !report.attributes.empty();
    }
    return report;
}

}  // namespace

SmartctlReport parseSmartctlReport(QStringView text) {
    SmartctlReport report;
    if (looksLikeJson(text)) {
        report = readSmartctlJson(text).value_or(SmartctlReport{});
    } else {
        report = parseTextReport(text);
    }
    if (report.hasNvmeHealth) {
        for (const auto& [id, record] : nvmeHealthAttributes(report.nvme)) {
            report.attributes.insert_or_assign(id, record);
        }
        report.protocol = QStringLiteral("NVMe");
        report.solidState = true;
    }
    return report;
}

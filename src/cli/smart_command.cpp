// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/smart_command.h"

#include "cli/aligned_labels.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/json_output.h"
#include "cli/smart_status_name.h"
#include "cli/stderr_logger.h"
#include "core/smart_status.h"
#include "disks/disk_name_resolver.h"
#include "disks/drive_access.h"
#include "disks/smart_reader.h"
#include "ext/text.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

#include <array>

namespace {

const char* const kHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli smart [OPTIONS] DISK

Reads the S.M.A.R.T. status and the attribute table of one drive exactly as
the monitor reads them. DISK is a whole disk's kernel name (sda, nvme0n1) or
its device node (/dev/sda). NVMe health-log fields appear as attributes 900
to 914.

Reading needs root, or the ostrivane-smart service:
  sudo systemctl enable --now ostrivane-smart.socket
As root the drives are read directly, unless --socket is given.

Options:
  --json           print the result as JSON
  --socket PATH    read through the service's socket at PATH, also as root
                   (default without root: /run/ostrivane/smart.sock)
  --machine DIR    read a recorded machine in DIR instead of the drives
                   (--fixture DIR is the same)
  -h, --help       show this help

Exit status:
  0   status verified and attribute table read
  1   status verified, but the attribute table could not be read
  2   the drive reports a failure
  3   status could not be determined, or the drive is not S.M.A.R.T. capable
  64  usage error
  66  no such disk, or no machine folder DIR
)");

// Field names of the NVMe pseudo-attributes 900..914, as smartctl names them.
constexpr std::array<const char*, 15> kNvmeFields{
    "critical_warning", "temperature",          "available_spare",    "available_spare_threshold",
    "percentage_used",  "data_units_read",      "data_units_written", "host_reads",
    "host_writes",      "controller_busy_time", "power_cycles",       "power_on_hours",
    "unsafe_shutdowns", "media_errors",         "num_err_log_entries"};

QString nvmeField(int id) {
    return id >= 900 && id <= 914 ? QString::fromLatin1(kNvmeFields[std::size_t(id - 900)])
                                  : QString();
}

QString protocolName(SmartProtocol protocol) {
    switch (protocol) {
        case SmartProtocol::Ata:
            return QStringLiteral("ATA");
        case SmartProtocol::Nvme:
            return QStringLiteral("NVMe");
        case SmartProtocol::None:
            break;
    }
    return QStringLiteral("none");
}

int exitStatus(std::uint8_t status, bool haveTable);

// The name of a power mode; empty when the disk was not asked or did not say.
// Marked so the text output can show it in the user's language; JSON keeps it.
QString powerModeName(PowerMode mode) {
    switch (mode) {
        case PowerMode::Active:
            return QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "active"));
        case PowerMode::Idle:
            return QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "idle"));
        case PowerMode::Standby:
            return QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "standby"));
        case PowerMode::Sleep:
            return QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "sleep"));
        case PowerMode::Unknown:
            break;
    }
    return {};
}

QJsonObject toJson(const QString& disk, SmartProtocol protocol, std::uint8_t status,
                   const std::optional<AttributeTable>& table, const DriveWear& wear,
                   PowerMode mode, qint64 milliseconds, int exitStatus) {
    DriveFacts facts;
    facts.device = QStringLiteral("/dev/") + disk;
    facts.name = disk;
    if (protocol != SmartProtocol::None) {
        facts.protocol = protocolName(protocol);
        facts.isNVMe = protocol == SmartProtocol::Nvme;
    }
    facts.smartStatus = status;
    facts.withAttributes = true;
    facts.attributes = table;
    if (!wear.empty()) {
        facts.ownWear = wear;
    }
    return jsonAnswer(QStringLiteral("smart"),
                      QJsonObject{{QStringLiteral("exitStatus"), exitStatus},
                                  {QStringLiteral("milliseconds"), milliseconds},
                                  {QStringLiteral("powerMode"),
                                   mode == PowerMode::Unknown ? QJsonValue(QJsonValue::Null)
                                                              : QJsonValue(powerModeName(mode))},
                                  {QStringLiteral("drive"), driveJson(facts)}});
}

void printText(const QString& disk, SmartProtocol protocol, std::uint8_t status,
               const std::optional<AttributeTable>& table, const DriveWear& wear, PowerMode mode,
               QTextStream& out) {
    // The labels in the user's language, padded so the values line up.
    enum Field { Disk, Protocol, Power, Smart, Drive, Temperature, Attributes, Count };
    QString labels[Count] = {
        localized(QStringLiteral("Disk:")),       localized(QStringLiteral("Protocol:")),
        localized(QStringLiteral("Power mode:")), localized(QStringLiteral("S.M.A.R.T.:")),
        localized(QStringLiteral("Drive:")),      localized(QStringLiteral("Temperature:")),
        localized(QStringLiteral("Attributes:"))};
    alignLabels(labels, 13);
    out << labels[Disk] << disk << " (/dev/" << disk << ")\n"
        << labels[Protocol]
        << (protocol == SmartProtocol::None ? localized(QStringLiteral("none"))
                                            : protocolName(protocol))
        << '\n';
    if (mode != PowerMode::Unknown) {
        out << labels[Power] << localized(powerModeName(mode)) << '\n';
    }
    out << labels[Smart] << status << " (" << smartStatusName(status) << ")\n";
    if (const QString line = wearLine(wear, Wording::Shown); !line.isEmpty()) {
        out << labels[Drive] << line << '\n';
    }
    if (wear.temperature) {
        out << labels[Temperature] << *wear.temperature << " °C\n";
    }
    if (!table) {
        out << labels[Attributes] << localized(QStringLiteral("could not be read")) << '\n';
        return;
    }
    // Each column as wide as the English layout, its heading in the user's
    // language or its widest number, whichever is widest, so that every
    // number ends where its heading ends.
    using Member = std::optional<AttributeNumber> AttributeRecord::*;
    const auto text = [](const std::optional<AttributeNumber>& n) {
        return n ? n->toString() : QStringLiteral("-");
    };
    struct Column {
        QString heading;
        qsizetype width;
        Member field;
    };
    const auto column = [&table, &text](const QString& heading, qsizetype width, Member field) {
        width = std::max(width, heading.size() + 1);
        for (const auto& entry : *table) {
            width = std::max(width, text(entry.second.*field).size() + 1);
        }
        return Column{heading, width, field};
    };
    const auto cell = [&text](const AttributeRecord& r, const Column& c) {
        return text(r.*c.field).rightJustified(c.width);
    };
    const QString id = localized(QStringLiteral("ID")).rightJustified(3);
    const Column threshold =
        column(localized(QStringLiteral("Threshold")), 10, &AttributeRecord::threshold);
    if (protocol == SmartProtocol::Nvme) {
        // The field names are smartctl's identifiers, the same in every language.
        const QString field = localized(QStringLiteral("Field")).leftJustified(26);
        const Column value =
            column(localized(QStringLiteral("Value")), 6, &AttributeRecord::currentValue);
        out << id << "  " << field << value.heading.rightJustified(value.width)
            << threshold.heading.rightJustified(threshold.width) << '\n';
        for (const auto& [number, r] : *table) {
            out << QString::number(number).rightJustified(id.size()) << "  "
                << nvmeField(number).leftJustified(field.size()) << cell(r, value)
                << cell(r, threshold) << '\n';
        }
        return;
    }
    const Column columns[] = {
        column(localized(QStringLiteral("Current")), 8, &AttributeRecord::currentValue),
        column(localized(QStringLiteral("Worst")), 6, &AttributeRecord::worstValue),
        threshold,
        column(localized(QStringLiteral("Raw")), 17, &AttributeRecord::rawValue),
        column(localized(QStringLiteral("Pre-fail")), 9, &AttributeRecord::isPrefail),
        column(localized(QStringLiteral("Online")), 7, &AttributeRecord::isOnline)};
    out << id;
    for (const Column& c : columns) {
        out << c.heading.rightJustified(c.width);
    }
    out << '\n';
    for (const auto& [number, r] : *table) {
        out << QString::number(number).rightJustified(id.size());
        for (const Column& c : columns) {
            out << cell(r, c);
        }
        out << '\n';
    }
}

int exitStatus(std::uint8_t status, bool haveTable) {
    switch (status) {
        case SMARTStatusVerified:
            return haveTable ? exit_codes::kOk : exit_codes::kWarning;
        case SMARTStatusFailing:
            return exit_codes::kError;
        default:
            return exit_codes::kUnknown;
    }
}

}  // namespace

int runSmart(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption socket(QStringLiteral("socket"), {}, QStringLiteral("PATH"));
    const QCommandLineOption machine(
        QStringList{QStringLiteral("machine"), QStringLiteral("fixture")}, {},
        QStringLiteral("DIR"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({json, socket, machine, help});

    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli smart: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli smart --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("smart")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    if (parser.positionalArguments().size() != 1) {
        return usageError(
            localized(QStringLiteral("expected one DISK (for example sda or nvme0n1)")));
    }
    QString disk = parser.positionalArguments().constFirst();
    if (disk.startsWith(QLatin1String("/dev/"))) {
        disk = disk.mid(5);
    }
    if (!isPlausibleDiskName(disk.toStdString())) {
        return usageError(localized(QStringLiteral("'%1' is not a disk name")).arg(disk));
    }

    const std::optional<DriveAccessOptions> options =
        driveAccessOptions(parser, machine, &socket, QStringLiteral("smart"), err);
    if (!options) {
        return exit_codes::kNoInput;
    }

    StderrLogger logger(err, 5);
    const std::unique_ptr<SmartAccess> access = makeSmartAccess(*options, logger);
    if (!access->hasDisk(disk.toStdString())) {
        err << "ostrivane-cli smart: " << localized(QStringLiteral("no such disk '%1'")).arg(disk)
            << '\n';
        err.flush();
        return exit_codes::kNoInput;
    }
    SingleDiskResolver names(disk.toStdString());
    SmartReader reader(*access, names, logger);

    QElapsedTimer timer;
    timer.start();
    // Asked first, as the monitor asks; this command reads the disk all the
    // same, as the user asked for it by name.
    const PowerMode mode = reader.getDiskPowerMode(0);
    const std::uint8_t status = reader.getDiskSMARTStatus(0);
    const std::optional<AttributeTable> table = reader.getDiskSMARTAttributes(0);
    // The model is not known here: attribute 241 of unknown unit stays out.
    const DriveWear wear = driveWear(table, reader.getDiskDeviceStatistics(0), QString());
    const qint64 milliseconds = timer.elapsed();
    const SmartProtocol protocol = access->protocolOf(disk.toStdString());

    if (parser.isSet(json)) {
        out << jsonText(toJson(disk, protocol, status, table, wear, mode, milliseconds,
                               exitStatus(status, table.has_value())));
    } else {
        printText(disk, protocol, status, table, wear, mode, out);
    }
    out.flush();
    return exitStatus(status, table.has_value());
}

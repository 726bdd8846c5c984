// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/disks_command.h"

#include "cli/aligned_labels.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/json_output.h"
#include "cli/stderr_logger.h"
#include "disks/disk_enumeration.h"
#include "disks/drive_access.h"
#include "disks/platform/linux/machine_snapshot.h"
#include "ext/text.h"
#include "foundation/single_line_text.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace {

const char* const kDisksHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli disks [OPTIONS]

Lists the physical disks that carry mounted, non-removable volumes, boot disk
first, as each check walks them: disk number, device node and the names of
the volumes on the disk, then each disk's model, firmware revision, protocol,
whether it is a solid-state drive and whether it is attached over NVMe, and
its serial number. Nothing is sent to the drives; no privileges are needed.

Options:
  --json           print the list as JSON
  --machine DIR    read a recorded machine (see snapshot-machine) instead of this one
  -h, --help       show this help
)");

const char* const kSnapshotHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli snapshot-machine DIR

Copies the files that disk detection reads on this machine (the mount table,
the block-device part of /sys, udev's labels, /dev/disk/by-label, the answer
of 'zpool list -vHP' and the machine type) into DIR, a new folder. Then
'ostrivane-cli disks --machine DIR' shows what detection makes of them; send
the folder with a report when this machine's disks are listed wrongly. Only
files are read: no command is sent to any drive. Serial numbers are included.

Options:
  -h, --help       show this help
)");

struct DiskRow {
    DiskEntry entry;
    QString node;
    QString serial;
    std::optional<QVariantMap> description;
};

QString yesNo(const std::optional<QVariantMap>& d, const char* key) {
    return d && d->value(QLatin1String(key)).toBool() ? localized(QStringLiteral("yes"))
                                                      : localized(QStringLiteral("no"));
}

QJsonObject toJson(const DiskRow& row, int bootDisk) {
    DriveFacts facts;
    facts.device = row.node.isEmpty() ? std::nullopt : std::optional<QString>(row.node);
    facts.serial = row.serial;
    addDescription(facts, row.description);
    return QJsonObject{
        {QStringLiteral("diskNumber"), row.entry.diskNumber},
        {QStringLiteral("isBootDisk"), row.entry.diskNumber == bootDisk},
        {QStringLiteral("volumes"), row.entry.diskName},
        {QStringLiteral("drive"), driveJson(facts)},
    };
}

void printText(const QList<DiskRow>& rows, QTextStream& out) {
    if (rows.isEmpty()) {
        out << localized(QStringLiteral("No mounted, non-removable disks.")) << '\n';
        return;
    }
    // The labels in the user's language, padded so the values line up.
    enum Field { Model, Revision, Protocol, SolidState, Nvme, Serial, Count };
    QString labels[Count] = {
        localized(QStringLiteral("model:")),    localized(QStringLiteral("revision:")),
        localized(QStringLiteral("protocol:")), localized(QStringLiteral("SSD:")),
        localized(QStringLiteral("NVMe:")),     localized(QStringLiteral("serial:"))};
    alignLabels(labels, 10, QStringLiteral("    "));
    for (const DiskRow& row : rows) {
        out << localized(QStringLiteral("disk %1")).arg(row.entry.diskNumber) << "  "
            << (row.node.isEmpty() ? QStringLiteral("-") : row.node) << "  "
            << singleLineText(row.entry.diskName) << '\n';
        if (!row.description) {
            out << "    " << localized(QStringLiteral("(no description)")) << '\n';
            continue;
        }
        const QVariantMap& d = *row.description;
        const auto text = [&d](const char* key) {
            return singleLineText(d.value(QLatin1String(key)).toString());
        };
        out << labels[Model] << text("DAMediaName") << '\n'
            << labels[Revision] << text("DADeviceRevision") << '\n'
            << labels[Protocol] << text("DADeviceProtocol") << '\n'
            << labels[SolidState] << yesNo(row.description, "isSSD") << '\n'
            << labels[Nvme] << yesNo(row.description, "isNVME") << '\n'
            << labels[Serial] << singleLineText(row.serial) << '\n';
    }
}

}  // namespace

int runDisks(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption machine(QStringLiteral("machine"), {}, QStringLiteral("DIR"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({json, machine, help});
    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli disks: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli disks --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("disks")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kDisksHelp));
        return exit_codes::kOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(localized(QStringLiteral("unexpected argument '%1'"))
                              .arg(parser.positionalArguments().constFirst()));
    }
    const std::optional<DriveAccessOptions> options =
        driveAccessOptions(parser, machine, nullptr, QStringLiteral("disks"), err);
    if (!options) {
        return exit_codes::kNoInput;
    }

    StderrLogger logger(err, 4);
    const std::unique_ptr<DiskPlatform> platform = makeDiskPlatform(machineRoot(*options), logger);
    DiskEnumeration disks(*platform, logger);
    QList<DiskRow> rows;
    for (const DiskEntry& entry : disks.mountedHarddisks(true)) {
        const QString node = platform->deviceNode(entry.diskNumber);
        const std::optional<QString> name = platform->kernelName(entry.diskNumber);
        rows.append({entry, node, name ? platform->serialNumber(*name) : QStringLiteral("NOSERIAL"),
                     disks.descriptionForDevice(entry.diskNumber)});
    }
    if (parser.isSet(json)) {
        QJsonArray list;
        const int bootDisk = disks.bootDiskBSDNum();
        for (const DiskRow& row : rows) {
            list.append(toJson(row, bootDisk));
        }
        out << jsonText(
            jsonAnswer(QStringLiteral("disks"), QJsonObject{{QStringLiteral("disks"), list}}));
    } else {
        printText(rows, out);
    }
    out.flush();
    return exit_codes::kOk;
}

int runSnapshotMachine(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(help);
    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli snapshot-machine: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli snapshot-machine --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("snapshot-machine")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kSnapshotHelp));
        return exit_codes::kOk;
    }
    if (parser.positionalArguments().size() != 1) {
        return usageError(localized(QStringLiteral("expected one DIR")));
    }
    const QString target = parser.positionalArguments().constFirst();
    if (QFileInfo::exists(target) && !QDir(target).isEmpty()) {
        err << "ostrivane-cli snapshot-machine: "
            << localized(QStringLiteral("'%1' exists and is not empty")).arg(target) << '\n';
        return exit_codes::kUsage;
    }
    StderrLogger logger(err, 4);
    const MachineSnapshot::Result result =
        MachineSnapshot(std::filesystem::path("/"), logger).write(target.toStdString());
    if (!result.ok) {
        err << "ostrivane-cli snapshot-machine: "
            << localized(QStringLiteral("could not write '%1'")).arg(target) << '\n';
        return exit_codes::kError;
    }
    out << localized(QStringLiteral("Recorded %1 files and %2 links in %3"))
               .arg(result.files)
               .arg(result.links)
               .arg(target)
        << '\n';
    return exit_codes::kOk;
}

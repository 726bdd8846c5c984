// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/linux_disk_platform.h"

#include "disks/platform/linux/ata_identify.h"
#include "disks/platform/linux/platform_text.h"
#include "disks/platform/linux/sysfs_disks.h"

#include <charconv>

namespace fs = std::filesystem;
using namespace platform_text;

namespace {

constexpr std::size_t kVpdLimit = 4096;
constexpr int kMaxAncestors = 16;

}  // namespace

LinuxDiskPlatform::LinuxDiskPlatform(fs::path root, std::unique_ptr<ZpoolSource> zpool, Logger& log)
    : root_(std::move(root)),
      sysfs_(root_, cache_, log),
      backing_(root_, sysfs_, cache_, std::move(zpool), log),
      labels_(root_, log),
      mounts_(root_, sysfs_, backing_, labels_, cache_, log),
      log_(log) {}

void LinuxDiskPlatform::beginSurvey() {
    cache_.begin();
}

void LinuxDiskPlatform::endSurvey() {
    cache_.end();
}

std::optional<Backing> LinuxDiskPlatform::backingOf(const MountedVolume& volume) {
    return backing_.backingOf(volume);
}

std::vector<MountedVolume> LinuxDiskPlatform::mountedVolumes() {
    return mounts_.readVolumes(true).list;
}

std::optional<MountedVolume> LinuxDiskPlatform::rootVolume() {
    return mounts_.readVolumes(false).root;
}

int LinuxDiskPlatform::numberFor(const std::string& wholeDisk) {
    const std::lock_guard lock(mutex_);
    const auto [it, added] = numbers_.try_emplace(wholeDisk, int(names_.size()));
    if (added) {
        names_.push_back(wholeDisk);
    }
    return it->second;
}

std::optional<int> LinuxDiskPlatform::diskNumber(const QString& device) {
    const std::string name = utf8(device);
    if (startsWith(name, kZfsPrefix)) {
        return numberFor(name);
    }
    if (isVirtualMemoryDevice(name)) {
        return std::nullopt;
    }
    const std::optional<std::string> whole = sysfs_.wholeDiskOf(name);
    if (!whole) {
        return std::nullopt;
    }
    return numberFor(*whole);
}

void LinuxDiskPlatform::numberAllDisks() {
    for (const std::string& name : RootFolder::names(root_.at("/sys/block"))) {
        if (!isVirtualMemoryDevice(name) && isPlausibleDiskName(name)) {
            numberFor(name);
        }
    }
}

std::optional<QString> LinuxDiskPlatform::kernelName(int disk) {
    const std::lock_guard lock(mutex_);
    if (disk < 0 || std::size_t(disk) >= names_.size()) {
        return std::nullopt;
    }
    return qs(names_[std::size_t(disk)]);
}

QString LinuxDiskPlatform::deviceNode(int disk) {
    const std::optional<QString> name = kernelName(disk);
    if (!name || name->startsWith(QLatin1String(kZfsPrefix))) {
        return {};
    }
    return QStringLiteral("/dev/") + *name;
}

std::string LinuxDiskPlatform::serialOfWholeDisk(const std::string& disk) {
    const SysfsDisks sysfs(root_.at("/sys").string());
    if (const auto controller = sysfs.nvmeController(disk)) {
        if (auto serial =
                RootFolder::readLine(root_.at("/sys/class/nvme") / *controller / "serial");
            serial && !serial->empty()) {
            return *serial;
        }
    }
    const fs::path block = root_.at("/sys/block") / disk;
    if (const auto page = RootFolder::read(block / "device" / "vpd_pg89", kVpdLimit)) {
        const VpdParse parse = parseAtaInformationPage(bytesOf(page->bytes));
        if (parse.identity && !parse.identity->serial.empty()) {
            return parse.identity->serial;
        }
    }
    if (const auto page = RootFolder::read(block / "device" / "vpd_pg80", kVpdLimit)) {
        if (auto serial = parseUnitSerialPage(bytesOf(page->bytes))) {
            return *serial;
        }
    }
    if (auto serial = RootFolder::readLine(block / "serial"); serial && !serial->empty()) {
        return *serial;
    }
    // A USB bridge that hides the drive's own number still has its own.
    if (auto folder = root_.resolve(block)) {
        fs::path at = *folder;
        for (int i = 0; i < kMaxAncestors && at.has_relative_path() && at != root_.root(); ++i) {
            at = at.parent_path();
            std::error_code ec;
            if (fs::exists(at / "idVendor", ec)) {
                if (auto serial = RootFolder::readLine(at / "serial"); serial && !serial->empty()) {
                    return *serial;
                }
                break;
            }
        }
    }
    return "NOSERIAL";
}

QString LinuxDiskPlatform::serialNumber(const QString& device) {
    const std::string name = utf8(device);
    const std::optional<std::string> whole = sysfs_.wholeDiskOf(name);
    return whole ? qs(serialOfWholeDisk(*whole)) : QStringLiteral("NOSERIAL");
}

void LinuxDiskPlatform::modelAndRevision(const std::string& disk, const fs::path& device,
                                         const QString& protocol, QVariantMap& keys) {
    QString model;
    QString revision;
    const SysfsDisks sysfs(root_.at("/sys").string());
    if (protocol == QLatin1String("NVMe")) {
        if (const auto controller = sysfs.nvmeController(disk)) {
            const fs::path folder = root_.at("/sys/class/nvme") / *controller;
            model = qs(RootFolder::readLine(folder / "model").value_or(std::string()));
            revision = qs(RootFolder::readLine(folder / "firmware_rev").value_or(std::string()));
        }
    } else if (protocol == QLatin1String("Virtio")) {
        model = QStringLiteral("Virtio Block Device");
    } else if (protocol == QLatin1String("SD")) {
        model = qs(RootFolder::readLine(device / "name").value_or(std::string()));
        revision = qs(RootFolder::readLine(device / "fwrev").value_or(std::string()));
    } else {
        std::error_code ec;
        const fs::path vpd = device / "vpd_pg89";
        if (fs::exists(vpd, ec)) {
            const auto page = RootFolder::read(vpd, kVpdLimit);
            const VpdParse parse =
                page ? parseAtaInformationPage(bytesOf(page->bytes)) : VpdParse{};
            if (parse.identity && !parse.identity->model.empty()) {
                model = qs(parse.identity->model);
                revision = qs(parse.identity->firmware);
            } else {
                error(QStringLiteral("Error: the ATA information page of %1 is unreadable; its "
                                     "model name may be shortened")
                          .arg(qs(disk)));
            }
        }
        if (model.isEmpty()) {
            const std::string vendor = RootFolder::readLine(device / "vendor").value_or("");
            const std::string name = RootFolder::readLine(device / "model").value_or("");
            model = qs(vendor.empty() || vendor == "ATA" ? name : vendor + " " + name);
        }
        if (revision.isEmpty()) {
            revision = qs(RootFolder::readLine(device / "rev").value_or(std::string()));
        }
    }
    keys.insert(QStringLiteral("DAMediaName"), model);
    keys.insert(QStringLiteral("DADeviceModel"), model);
    keys.insert(QStringLiteral("DADeviceRevision"), revision);
}

DiskDescription LinuxDiskPlatform::describe(int disk) {
    DiskDescription description;
    const std::optional<QString> name = kernelName(disk);
    if (!name || name->startsWith(QLatin1String(kZfsPrefix))) {
        return description;
    }
    const std::string kernel = name->toStdString();
    const std::optional<fs::path> media = root_.resolve(root_.at("/sys/block") / kernel);
    if (!media) {
        return description;
    }
    const std::optional<std::string> size = RootFolder::readLine(*media / "size");
    if (!RootFolder::readLine(*media / "dev")) {
        description.outcome = DiskDescription::Outcome::NoDescription;
        return description;
    }
    description.outcome = DiskDescription::Outcome::Described;
    QVariantMap& keys = description.keys;
    keys.insert(QStringLiteral("DAMediaBSDName"), *name);
    keys.insert(QStringLiteral("DAMediaPath"), qs(root_.machinePath(*media)));
    keys.insert(QStringLiteral("DAMediaWhole"), true);
    qint64 sectors = 0;
    if (size &&
        std::from_chars(size->data(), size->data() + size->size(), sectors).ec == std::errc()) {
        keys.insert(QStringLiteral("DAMediaSize"), sectors * 512);
    }
    const std::optional<fs::path> device = root_.resolve(*media / "device");
    if (!device) {
        description.media = DiskDescription::Media::NoDeviceObject;
        return description;
    }
    const std::string devicePath = root_.machinePath(*device);
    keys.insert(QStringLiteral("DADevicePath"), qs(devicePath));

    // The bus is the first numbered bus folder on the way from the root of the device tree.
    QString protocol = QStringLiteral("SCSI");
    std::string bus;
    std::string busPath;
    std::string walked;
    for (const std::string& part : components(devicePath)) {
        walked += "/" + part;
        const auto found = [&](const char* kind, const char* prefix) {
            if (bus.empty() && isNumbered(part, prefix)) {
                protocol = QLatin1String(kind);
                bus = part;
                busPath = walked;
            }
        };
        found("USB", "usb");
        found("Virtio", "virtio");
        found("SATA", "ata");
        found("SD", "mmc");
        if (bus.empty() && (startsWith(part, "end_device-") || startsWith(part, "port-"))) {
            protocol = QStringLiteral("SAS");
        }
    }
    if (startsWith(kernel, "nvme")) {
        protocol = QStringLiteral("NVMe");
        bus = "NVMe";
        busPath = devicePath;
    }
    keys.insert(QStringLiteral("DADeviceProtocol"), protocol);
    keys.insert(QStringLiteral("DABusName"), qs(bus));
    keys.insert(QStringLiteral("DABusPath"), qs(busPath));
    keys.insert(QStringLiteral("DAMediaRemovable"),
                RootFolder::readLine(*media / "removable") == "1");
    keys.insert(QStringLiteral("DADeviceInternal"), !isBelowHotPlugBus(devicePath));
    modelAndRevision(kernel, *device, protocol, keys);

    const std::optional<std::string> rotational = RootFolder::readLine(*media / "queue/rotational");
    if (!rotational || (*rotational != "0" && *rotational != "1")) {
        description.media = DiskDescription::Media::NoCharacteristics;
    } else {
        description.media = *rotational == "0" ? DiskDescription::Media::SolidState
                                               : DiskDescription::Media::Rotating;
    }
    return description;
}

std::optional<QString> LinuxDiskPlatform::wholeDiskLabel(int disk) {
    const std::optional<QString> name = kernelName(disk);
    if (!name) {
        return std::nullopt;
    }
    const std::string kernel = name->toStdString();
    const auto folder = sysfs_.blockFolder(kernel);
    if (!folder) {
        return std::nullopt;
    }
    LabelReader::Pass pass;
    return labels_.labelOf(kernel, RootFolder::readLine(*folder / "dev").value_or(std::string()),
                           pass);
}

std::unique_ptr<LinuxDiskPlatform> makeLinuxDiskPlatform(const fs::path& root, Logger& log) {
    const RootFolder folder(root);
    std::unique_ptr<ZpoolSource> zpool;
    if (folder.isSystemRoot()) {
        zpool = std::make_unique<ZpoolCommand>();
    } else {
        zpool = std::make_unique<ZpoolAnswerFile>(folder.at("/zpool-list-vHP.txt"));
    }
    return std::make_unique<LinuxDiskPlatform>(root, std::move(zpool), log);
}

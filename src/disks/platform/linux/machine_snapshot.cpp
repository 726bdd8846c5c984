// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/machine_snapshot.h"

#include "disks/platform/linux/linux_disk_platform.h"

#include <QString>

#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileLimit = 64 * 1024;
constexpr std::size_t kMountInfoLimit = 16 * 1024 * 1024;
constexpr int kMaxAncestors = 16;

}  // namespace

bool MachineSnapshot::put(const fs::path& place, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(place.parent_path(), ec);
    std::ofstream out(place, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) {
        log_.log_message(3, QStringLiteral("Error: could not write %1")
                                .arg(QString::fromStdString(place.string())));
        result_.ok = false;
        return false;
    }
    ++result_.files;
    return true;
}

void MachineSnapshot::copyFile(const std::string& machinePath) {
    const auto content =
        RootFolder::read(source_.at(machinePath),
                         machinePath == "/proc/self/mountinfo" ? kMountInfoLimit : kFileLimit);
    if (content) {
        put(target_ / machinePath.substr(1), content->bytes);
    }
}

std::optional<fs::path> MachineSnapshot::copyLink(const std::string& machinePath) {
    const fs::path place = source_.at(machinePath);
    std::error_code ec;
    if (!fs::is_symlink(place, ec)) {
        return std::nullopt;
    }
    fs::path text = fs::read_symlink(place, ec);
    if (ec) {
        return std::nullopt;
    }
    if (text.is_absolute()) {
        text = text.lexically_relative(fs::path(machinePath).parent_path());
    }
    const fs::path link = target_ / machinePath.substr(1);
    fs::create_directories(link.parent_path(), ec);
    fs::remove(link, ec);
    fs::create_symlink(text, link, ec);
    if (!ec) {
        ++result_.links;
    }
    return source_.resolve(place);
}

void MachineSnapshot::copyAttributes(const fs::path& folder,
                                     std::initializer_list<const char*> names) {
    const std::string base = source_.machinePath(folder);
    for (const char* name : names) {
        std::error_code ec;
        if (fs::is_regular_file(folder / name, ec)) {
            copyFile(base + "/" + name);
        }
    }
}

void MachineSnapshot::copyBlockFolder(const fs::path& folder) {
    if (!copiedFolders_.insert(folder.string()).second) {
        return;
    }
    copyAttributes(folder, {"dev", "size", "partition", "removable", "ro", "serial",
                            "queue/rotational", "dm/name"});
    const std::string base = source_.machinePath(folder);
    for (const std::string& slave : RootFolder::names(folder / "slaves")) {
        copyLink(base + "/slaves/" + slave);
    }
    const std::optional<fs::path> device = copyLink(base + "/device");
    if (!device) {
        return;
    }
    copyAttributes(*device, {"type", "vendor", "model", "rev", "vpd_pg80", "vpd_pg89", "name",
                             "fwrev", "serial"});
    // The USB device above a bridge carries the serial number shown for it.
    fs::path at = *device;
    for (int i = 0; i < kMaxAncestors && at != source_.root() && at.has_relative_path(); ++i) {
        at = at.parent_path();
        std::error_code ec;
        if (fs::exists(at / "idVendor", ec)) {
            copyAttributes(at, {"idVendor", "idProduct", "serial"});
            break;
        }
    }
}

MachineSnapshot::Result MachineSnapshot::write(const fs::path& target) {
    target_ = target;
    result_ = Result{true, 0, 0};
    std::error_code ec;
    fs::create_directories(target_, ec);
    if (ec) {
        return Result{};
    }
    copyFile("/proc/self/mountinfo");
    for (const char* folder : {"/sys/class/block", "/sys/block", "/sys/dev/block"}) {
        for (const std::string& name : RootFolder::names(source_.at(folder))) {
            if (const auto resolved = copyLink(std::string(folder) + "/" + name)) {
                copyBlockFolder(*resolved);
            }
        }
    }
    for (const std::string& controller : RootFolder::names(source_.at("/sys/class/nvme"))) {
        if (const auto resolved = copyLink("/sys/class/nvme/" + controller)) {
            copyAttributes(*resolved, {"model", "serial", "firmware_rev", "dev"});
        }
    }
    for (const std::string& uuid : RootFolder::names(source_.at("/sys/fs/btrfs"))) {
        for (const std::string& device :
             RootFolder::names(source_.at("/sys/fs/btrfs/" + uuid + "/devices"))) {
            copyLink("/sys/fs/btrfs/" + uuid + "/devices/" + device);
        }
    }
    for (const std::string& record : RootFolder::names(source_.at("/run/udev/data"))) {
        if (record.size() > 1 && record[0] == 'b') {
            copyFile("/run/udev/data/" + record);
        }
    }
    for (const std::string& label : RootFolder::names(source_.at("/dev/disk/by-label"))) {
        if (const auto node = copyLink("/dev/disk/by-label/" + label)) {
            // The node itself only has to exist for the link to lead somewhere.
            put(target_ / source_.machinePath(*node).substr(1), std::string());
        }
    }
    for (const char* path :
         {"/sys/class/dmi/id/product_name", "/sys/class/dmi/id/product_family",
          "/proc/device-tree/model", "/proc/sys/kernel/hostname", "/proc/net/route"}) {
        copyFile(path);
    }
    for (const std::string& interface : RootFolder::names(source_.at("/sys/class/net"))) {
        for (const char* name : {"address", "type", "flags"}) {
            copyFile("/sys/class/net/" + interface + "/" + name);
        }
    }
    for (const std::string& supply : RootFolder::names(source_.at("/sys/class/power_supply"))) {
        for (const char* name : {"type", "status", "online"}) {
            copyFile("/sys/class/power_supply/" + supply + "/" + name);
        }
    }
    if (source_.isSystemRoot()) {
        if (auto zpool = ZpoolCommand().listVerbose()) {
            put(target_ / "zpool-list-vHP.txt", *zpool);
        }
    }
    put(target_ / "README.md",
        "# Recorded machine\n\nWritten by `ostrivane-cli snapshot-machine`. Read it with\n"
        "`ostrivane-cli disks --machine <this folder>`.\n");
    return result_;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/mount_reader.h"

#include "disks/platform/linux/platform_text.h"

#include <unordered_set>

namespace fs = std::filesystem;
using namespace platform_text;

namespace {

constexpr std::size_t kMountInfoLimit = 16 * 1024 * 1024;

}  // namespace

std::shared_ptr<const MountTable> MountReader::mountTable() const {
    SurveyFacts* facts = cache_.facts();
    if (facts != nullptr && facts->mounts) {
        return facts->mounts;
    }
    auto table = std::make_shared<MountTable>();
    if (auto text = RootFolder::read(root_.at("/proc/self/mountinfo"), kMountInfoLimit)) {
        table->readable = true;
        table->truncated = text->truncated;
        table->info = parseMountInfo(text->bytes);
    }
    if (facts != nullptr) {
        facts->mounts = table;
    }
    return table;
}

MountReader::Volumes MountReader::readVolumes(bool wantList) {
    Volumes result;
    const std::shared_ptr<const MountTable> table = mountTable();
    if (!table->readable) {
        error(QStringLiteral("Error: could not read /proc/self/mountinfo"));
        return result;
    }
    if (table->truncated) {
        error(QStringLiteral(
                  "Error: /proc/self/mountinfo is longer than %1 bytes; the rest is ignored")
                  .arg(kMountInfoLimit));
    }
    const MountInfo& info = table->info;
    if (wantList) {
        for (const std::string& line : info.rejectedLines) {
            error(QStringLiteral("Error: malformed mountinfo line: %1").arg(clipped(line)));
        }
    }
    std::unordered_set<std::string> seen;
    seen.reserve(info.entries.size());
    // Most volumes share a handful of file-system types: one QString each.
    std::string lastFsType;
    QString lastFsTypeText;
    LabelReader::Pass labelPass;
    // Later mounts on "/" hide earlier ones: the root is the last.
    for (const MountInfoEntry& entry : info.entries) {
        if (!wantList) {
            if (entry.mountPoint != "/") {
                continue;
            }
            result.root.reset();
        }
        MountedVolume volume;
        volume.path = qs(entry.mountPoint);
        if (lastFsTypeText.isNull() || entry.fsType != lastFsType) {
            lastFsType = entry.fsType;
            lastFsTypeText = qs(entry.fsType);
        }
        volume.fsType = lastFsTypeText;
        const std::string entryNumbers = devNumbers(entry.major, entry.minor);
        std::string device;
        std::string numbers;
        if (entry.fsType == "zfs") {
            const std::string pool = entry.source.substr(0, entry.source.find('/'));
            if (pool.empty()) {
                continue;
            }
            device = kZfsPoolPrefix + pool;
        } else if (entry.major != 0) {
            auto name = sysfs_.blockDeviceName(entryNumbers, entry.mountPoint);
            if (!name) {
                continue;
            }
            device = std::move(*name);
            numbers = entryNumbers;
        } else if (entry.fsType == "btrfs" && startsWith(entry.source, "/dev/")) {
            // btrfs reports an anonymous device number; its source names a member.
            const auto node = root_.resolve(root_.at(entry.source));
            device = node ? node->filename().string() : fs::path(entry.source).filename().string();
            if (!sysfs_.blockFolder(device)) {
                error(QStringLiteral("Error: no block device %1 for the volume at %2")
                          .arg(qs(entry.source), qs(entry.mountPoint)));
                continue;
            }
            numbers =
                RootFolder::readLine(*sysfs_.blockFolder(device) / "dev").value_or(std::string());
        } else {
            continue;  // pseudo and network file systems
        }
        if (isVirtualMemoryDevice(device)) {
            continue;
        }
        // A file system mounted twice (bind mounts, btrfs subvolumes) is one volume.
        std::string key = joined({device, "|", entryNumbers});
        if (wantList && !seen.insert(std::move(key)).second) {
            continue;
        }
        volume.device = qs(device);
        if (!startsWith(device, kZfsPoolPrefix)) {
            const std::string whole = sysfs_.wholeDiskOf(device).value_or(device);
            std::vector<std::string> leafDisks = backing_.physicalLeaves(device);
            for (std::string& leaf : leafDisks) {
                leaf = sysfs_.wholeDiskOf(leaf).value_or(leaf);
            }
            const auto addFlags = [&](const std::string& disk) {
                const DiskFlags flags = sysfs_.diskFlags(disk);
                volume.removable |= flags.removable;
                volume.ejectable |= flags.ejectable;
            };
            addFlags(whole);
            for (const std::string& disk : leafDisks) {
                addFlags(disk);
            }
            if (wantList) {
                volume.name = labels_.labelOf(device, numbers, labelPass);
            }
        }
        if (!volume.name) {
            volume.name = volume.path;
        }
        if (wantList) {
            result.list.push_back(std::move(volume));
        } else {
            result.root = std::move(volume);
        }
    }
    return result;
}

#include "disks/platform/linux/linux_disk_platform.h"

#include "disks/platform/linux/ata_identify.h"
#include "disks/platform/linux/mountinfo.h"
#include "disks/platform/linux/sysfs_disks.h"
#include "disks/platform/linux/volume_labels.h"

#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMountInfoLimit = 16 * 1024 * 1024;
constexpr std::size_t kUdevRecordLimit = 64 * 1024;
constexpr std::size_t kVpdLimit = 4096;
constexpr std::size_t kZpoolAnswerLimit = 4 * 1024 * 1024;
constexpr int kMaxStackDepth = 16;
constexpr int kMaxAncestors = 16;
constexpr int kZpoolTimeoutMs = 10000;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix);
}

// QString::toStdString, without the byte array in between for the plain
// ASCII that kernel device names are.
std::string utf8(const QString& text) {
    std::string result;
    result.reserve(std::size_t(text.size()));
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return text.toStdString();
        }
        result += char(c.unicode());
    }
    return result;
}

// Memory-backed and looped block devices are never volumes of a physical disk.
bool isVirtualMemoryDevice(std::string_view name) {
    return startsWith(name, "loop") || startsWith(name, "ram") || startsWith(name, "zram");
}

// A path component like "usb2", "ata3": the prefix followed by digits only.
bool isNumbered(std::string_view component, std::string_view prefix) {
    if (!startsWith(component, prefix) || component.size() == prefix.size()) {
        return false;
    }
    for (const char c : component.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::vector<std::string> components(const std::string& machinePath) {
    std::vector<std::string> result;
    for (const fs::path& part : fs::path(machinePath)) {
        if (part != "/") {
            result.push_back(part.string());
        }
    }
    return result;
}

// Hot-plug buses: a disk below one of them can be unplugged (ejectable).
bool isBelowHotPlugBus(std::string_view machinePath) {
    std::size_t at = 0;
    while (at < machinePath.size()) {
        std::size_t end = machinePath.find('/', at);
        if (end == std::string_view::npos) {
            end = machinePath.size();
        }
        const std::string_view part = machinePath.substr(at, end - at);
        at = end + 1;
        // Most parts of a device path cannot name one; their first letter tells.
        const char first = part.empty() ? '\0' : part.front();
        if (first != 'u' && first != 'f' && first != 't') {
            continue;
        }
        if (isNumbered(part, "usb") || isNumbered(part, "fw") || startsWith(part, "thunderbolt")) {
            return true;
        }
    }
    return false;
}

// fs::path(path).filename(), on text.
std::string fileNameOf(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return {};
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// fs::path(path).parent_path().filename(), on text; the rare shapes where
// separators need care are left to std::filesystem.
std::string parentNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path.back() == '/' || slash == std::string::npos || slash == 0 ||
        path[slash - 1] == '/') {
        return fs::path(path).parent_path().filename().string();
    }
    const std::size_t before = path.rfind('/', slash - 1);
    const std::size_t start = before == std::string::npos ? 0 : before + 1;
    return path.substr(start, slash - start);
}

std::string devNumbers(unsigned major, unsigned minor) {
    std::array<char, 10> digits;  // enough for any 32-bit number
    std::string text;
    text.append(digits.data(), std::to_chars(digits.data(), digits.data() + 10, major).ptr);
    text += ':';
    text.append(digits.data(), std::to_chars(digits.data(), digits.data() + 10, minor).ptr);
    return text;
}

// The parts one after the other, in one allocation.
std::string joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) {
        size += part.size();
    }
    std::string result;
    result.reserve(size);
    for (const std::string_view part : parts) {
        result += part;
    }
    return result;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

QString clipped(std::string_view text) {
    constexpr std::size_t kShown = 200;
    return QString::fromUtf8(text.data(), qsizetype(std::min(text.size(), kShown)));
}

// The answer remembered in `map` (null outside a survey) for `key`, else a fresh one.
template <typename Map, typename Compute>
typename Map::mapped_type remembered(Map* map, const std::string& key, const Compute& compute) {
    if (map == nullptr) {
        return compute();
    }
    if (const auto found = map->find(key); found != map->end()) {
        return found->second;
    }
    return map->emplace(key, compute()).first->second;
}

}  // namespace

// Keyed by kernel device name; only what does not depend on the asking volume.
struct LinuxDiskPlatform::SurveyFacts {
    std::shared_ptr<const MountTable> mounts;
    // Folders a link led to and that proved real: the same device folder is
    // reached from /sys/dev/block and from /sys/class/block.
    std::unordered_set<std::string> realPlaces;
    std::unordered_map<std::string, std::optional<std::string>> folders;
    std::unordered_map<std::string, std::optional<std::string>> wholeDisks;
    std::unordered_map<std::string, std::vector<std::string>> slaves;
    std::unordered_map<std::string, DiskFlags> flags;
    // Running the zpool tool once per survey, not once per dataset.
    std::optional<std::optional<std::string>> zpoolAnswer;
};

thread_local std::vector<LinuxDiskPlatform::OpenSurvey> LinuxDiskPlatform::surveys_;

LinuxDiskPlatform::LinuxDiskPlatform(fs::path root, std::unique_ptr<ZpoolSource> zpool, Logger& log)
    : root_(std::move(root)),
      classBlock_(root_.at("/sys/class/block").native() + '/'),
      devBlock_(root_.at("/sys/dev/block").native() + '/'),
      sysBlock_(root_.at("/sys/block").native() + '/'),
      udevData_(root_.at("/run/udev/data").native() + '/'),
      zpool_(std::move(zpool)),
      log_(log) {}

void LinuxDiskPlatform::beginSurvey() {
    for (OpenSurvey& open : surveys_) {
        if (open.platform == this) {
            ++open.depth;
            return;
        }
    }
    surveys_.push_back({this, 1, std::make_unique<SurveyFacts>()});
}

void LinuxDiskPlatform::endSurvey() {
    for (auto it = surveys_.begin(); it != surveys_.end(); ++it) {
        if (it->platform == this) {
            if (--it->depth == 0) {
                surveys_.erase(it);
            }
            return;
        }
    }
}

LinuxDiskPlatform::SurveyFacts* LinuxDiskPlatform::survey() const {
    for (const OpenSurvey& open : surveys_) {
        if (open.platform == this) {
            return open.facts.get();
        }
    }
    return nullptr;
}

std::unordered_set<std::string>* LinuxDiskPlatform::realPlaces() const {
    SurveyFacts* facts = survey();
    return facts != nullptr ? &facts->realPlaces : nullptr;
}

const std::string* LinuxDiskPlatform::blockFolderIn(const std::string& name,
                                                    std::optional<std::string>& scratch) const {
    if (!SysfsDisks::isPlausibleName(name)) {
        return nullptr;
    }
    const std::optional<std::string>* folder = &scratch;
    if (SurveyFacts* facts = survey(); facts == nullptr) {
        scratch = root_.resolveText(joined({classBlock_, name}));
    } else {
        auto found = facts->folders.find(name);
        if (found == facts->folders.end()) {
            found = facts->folders
                        .emplace(name,
                                 root_.resolveText(joined({classBlock_, name}), &facts->realPlaces))
                        .first;
        }
        folder = &found->second;
    }
    return *folder ? &**folder : nullptr;
}

std::optional<std::string> LinuxDiskPlatform::blockFolderText(const std::string& name) const {
    std::optional<std::string> scratch;
    const std::string* folder = blockFolderIn(name, scratch);
    if (folder == nullptr) {
        return std::nullopt;
    }
    // Outside a survey the answer is in the scratch; inside, in the survey's map.
    return scratch ? std::move(scratch) : std::optional<std::string>(*folder);
}

std::optional<fs::path> LinuxDiskPlatform::blockFolder(const std::string& name) const {
    std::optional<std::string> folder = blockFolderText(name);
    if (!folder) {
        return std::nullopt;
    }
    return fs::path(std::move(*folder));
}

std::optional<std::string> LinuxDiskPlatform::wholeDiskOf(const std::string& name) const {
    SurveyFacts* facts = survey();
    return remembered(facts ? &facts->wholeDisks : nullptr, name,
                      [&]() -> std::optional<std::string> {
                          std::optional<std::string> scratch;
                          const std::string* folder = blockFolderIn(name, scratch);
                          if (folder == nullptr) {
                              return std::nullopt;
                          }
                          struct stat info {};
                          if (::stat(joined({*folder, "/partition"}).c_str(), &info) != 0) {
                              return name;
                          }
                          std::string disk = parentNameOf(*folder);
                          // A partition's folder lies in its disk's folder, so
                          // that one is known without following its links.
                          if (facts != nullptr && SysfsDisks::isPlausibleName(disk) &&
                              !facts->folders.contains(disk)) {
                              const std::size_t slash = folder->rfind('/');
                              facts->folders.emplace(disk, folder->substr(0, slash));
                          }
                          return disk;
                      });
}

std::vector<std::string> LinuxDiskPlatform::slavesOf(const std::string& name) const {
    const auto listed = [&]() -> std::vector<std::string> {
        std::optional<std::string> scratch;
        const std::string* folder = blockFolderIn(name, scratch);
        return folder != nullptr ? RootFolder::names(joined({*folder, "/slaves"}))
                                 : std::vector<std::string>();
    };
    SurveyFacts* facts = survey();
    if (facts == nullptr) {
        return listed();
    }
    if (const auto found = facts->slaves.find(name); found != facts->slaves.end()) {
        return found->second;
    }
    // The kernel gives a slaves/ folder to whole disks only, never to a
    // partition: a survey that already knows it is one need not look. (Its
    // folder was found or missed in learning that, so none is looked up.)
    if (const auto whole = facts->wholeDisks.find(name);
        whole != facts->wholeDisks.end() && whole->second != name) {
        return {};
    }
    return facts->slaves.emplace(name, listed()).first->second;
}

LinuxDiskPlatform::DiskFlags LinuxDiskPlatform::diskFlags(const std::string& disk) const {
    SurveyFacts* facts = survey();
    return remembered(facts ? &facts->flags : nullptr, disk, [&] {
        DiskFlags flags;
        flags.removable = RootFolder::readLine(joined({sysBlock_, disk, "/removable"})) == "1";
        std::optional<std::string> scratch;
        if (const std::string* folder = blockFolderIn(disk, scratch)) {
            flags.ejectable = isBelowHotPlugBus(root_.machinePathView(*folder));
        }
        return flags;
    });
}

std::shared_ptr<const LinuxDiskPlatform::MountTable> LinuxDiskPlatform::mountTable() const {
    SurveyFacts* facts = survey();
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

std::vector<std::string> LinuxDiskPlatform::physicalLeaves(const std::string& name) {
    std::vector<std::string> leaves;
    std::set<std::string> onPath;
    bool loopReported = false;
    const auto walk = [&](const auto& self, const std::string& device, int depth) -> void {
        const std::vector<std::string> slaves = slavesOf(device);
        if (slaves.empty()) {
            if (depth > 0) {
                leaves.push_back(device);
            }
            return;
        }
        if (depth >= kMaxStackDepth || !onPath.insert(device).second) {
            if (!loopReported) {
                error(QStringLiteral("Error: the device stack below %1 loops at %2")
                          .arg(qs(name), qs(device)));
                loopReported = true;
            }
            return;
        }
        for (const std::string& slave : slaves) {
            self(self, slave, depth + 1);
        }
        onPath.erase(device);
    };
    walk(walk, name, 0);
    return leaves;
}

std::optional<std::string> LinuxDiskPlatform::blockDeviceName(const std::string& numbers,
                                                              const std::string& mountPoint) {
    std::optional<std::string> folder =
        root_.resolveText(joined({devBlock_, numbers}), realPlaces());
    if (!folder) {
        error(QStringLiteral("Error: no block device %1 for the volume at %2")
                  .arg(qs(numbers), qs(mountPoint)));
        return std::nullopt;
    }
    std::string name = fileNameOf(*folder);
    // /sys/class/block/NAME leads to the same folder: no need to follow it too.
    if (SurveyFacts* facts = survey(); facts != nullptr && SysfsDisks::isPlausibleName(name)) {
        facts->folders.try_emplace(name, std::move(folder));
    }
    return name;
}

std::optional<QString> LinuxDiskPlatform::labelOf(const std::string& device,
                                                  const std::string& numbers,
                                                  std::map<std::string, std::string>& byLabel,
                                                  bool& byLabelRead) {
    if (!numbers.empty()) {
        // udev keeps its database in /run, a file system in memory.
        const auto record =
            RootFolder::readRegularFile(joined({udevData_, "b", numbers}), kUdevRecordLimit);
        if (record) {
            const UdevLabel label = labelFromUdevRecord(record->bytes);
            if (label.outcome == LabelParse::Found) {
                return QString::fromUtf8(label.label.data(), qsizetype(label.label.size()));
            }
            if (label.outcome == LabelParse::Rejected || record->truncated) {
                error(QStringLiteral("Error: the label of %1 in udev's database is too long")
                          .arg(qs(device)));
                return std::nullopt;
            }
        }
    }
    if (!byLabelRead) {
        byLabelRead = true;
        const fs::path folder = root_.at("/dev/disk/by-label");
        for (const std::string& link : RootFolder::names(folder)) {
            if (const auto target = root_.resolve(folder / link)) {
                byLabel.emplace(target->filename().string(), decodeUdevEscapes(link));
            }
        }
    }
    const auto found = byLabel.find(device);
    if (found == byLabel.end() || found->second.size() > kMaxLabelBytes) {
        return std::nullopt;
    }
    return QString::fromUtf8(found->second.data(), qsizetype(found->second.size()));
}

LinuxDiskPlatform::Volumes LinuxDiskPlatform::readVolumes(bool wantList) {
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
    std::map<std::string, std::string> byLabel;
    bool byLabelRead = false;
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
            device = kZfsPrefix + pool;
        } else if (entry.major != 0) {
            auto name = blockDeviceName(entryNumbers, entry.mountPoint);
            if (!name) {
                continue;
            }
            device = std::move(*name);
            numbers = entryNumbers;
        } else if (entry.fsType == "btrfs" && startsWith(entry.source, "/dev/")) {
            // btrfs reports an anonymous device number; its source names a member.
            const auto node = root_.resolve(root_.at(entry.source));
            device = node ? node->filename().string() : fs::path(entry.source).filename().string();
            if (!blockFolder(device)) {
                error(QStringLiteral("Error: no block device %1 for the volume at %2")
                          .arg(qs(entry.source), qs(entry.mountPoint)));
                continue;
            }
            numbers = RootFolder::readLine(*blockFolder(device) / "dev").value_or(std::string());
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
        if (!startsWith(device, kZfsPrefix)) {
            const std::string whole = wholeDiskOf(device).value_or(device);
            std::vector<std::string> leafDisks = physicalLeaves(device);
            for (std::string& leaf : leafDisks) {
                leaf = wholeDiskOf(leaf).value_or(leaf);
            }
            const auto addFlags = [&](const std::string& disk) {
                const DiskFlags flags = diskFlags(disk);
                volume.removable |= flags.removable;
                volume.ejectable |= flags.ejectable;
            };
            addFlags(whole);
            for (const std::string& disk : leafDisks) {
                addFlags(disk);
            }
            if (wantList) {
                volume.name = labelOf(device, numbers, byLabel, byLabelRead);
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

std::vector<MountedVolume> LinuxDiskPlatform::mountedVolumes() {
    return readVolumes(true).list;
}

std::optional<MountedVolume> LinuxDiskPlatform::rootVolume() {
    return readVolumes(false).root;
}

std::vector<std::string> LinuxDiskPlatform::btrfsMembers(const std::string& device) const {
    const fs::path filesystems = root_.at("/sys/fs/btrfs");
    for (const std::string& uuid : RootFolder::names(filesystems)) {
        std::vector<std::string> members = RootFolder::names(filesystems / uuid / "devices");
        if (std::find(members.begin(), members.end(), device) != members.end()) {
            return members;
        }
    }
    return {};
}

std::optional<std::string> LinuxDiskPlatform::zpoolAnswer() {
    SurveyFacts* facts = survey();
    if (facts != nullptr && facts->zpoolAnswer) {
        return *facts->zpoolAnswer;
    }
    std::optional<std::string> answer = zpool_ ? zpool_->listVerbose() : std::nullopt;
    if (facts != nullptr) {
        facts->zpoolAnswer = answer;
    }
    return answer;
}

std::vector<QString> LinuxDiskPlatform::zfsMembers(const std::string& pool) {
    const std::optional<std::string> answer = zpoolAnswer();
    if (!answer) {
        error(QStringLiteral("Error: no answer from zpool list for pool %1").arg(qs(pool)));
        return {};
    }
    const auto pools = parseZpoolList(*answer);
    const auto found = pools.find(pool);
    if (found == pools.end()) {
        error(QStringLiteral("Error: zpool list does not show pool %1").arg(qs(pool)));
        return {};
    }
    std::vector<QString> members;
    for (const std::string& path : found->second) {
        // By-id and by-path names are links to the device node; a recorded
        // machine may hold no /dev, and then the node's own name is used.
        std::string name;
        if (const auto node = root_.resolve(root_.at(path))) {
            name = node->filename().string();
        } else if (startsWith(path, "/dev/") && path.find('/', 5) == std::string::npos) {
            name = path.substr(5);
        }
        members.push_back(qs(name));
    }
    return members;
}

std::optional<Backing> LinuxDiskPlatform::backingOf(const MountedVolume& volume) {
    if (!volume.device) {
        return std::nullopt;
    }
    const std::string device = utf8(*volume.device);
    if (startsWith(device, kZfsPrefix)) {
        return Backing{Backing::Kind::Zfs, zfsMembers(device.substr(std::strlen(kZfsPrefix)))};
    }
    if (!blockFolderText(device)) {
        return std::nullopt;
    }
    if (volume.fsType == QLatin1String("btrfs")) {
        const std::vector<std::string> members = btrfsMembers(device);
        if (members.size() > 1) {
            Backing backing{Backing::Kind::Members, {}};
            for (const std::string& member : members) {
                backing.members.push_back(qs(member));
            }
            return backing;
        }
    }
    const std::vector<std::string> slaves = slavesOf(device);
    if (slaves.empty()) {
        return Backing{};
    }
    Backing backing;
    if (startsWith(device, "md")) {
        backing.kind = Backing::Kind::Members;
        for (const std::string& slave : slaves) {
            backing.members.push_back(qs(slave));
        }
    } else {
        backing.kind = Backing::Kind::Stack;
        for (const std::string& leaf : physicalLeaves(device)) {
            backing.members.push_back(qs(leaf));
        }
    }
    return backing;
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
    const std::optional<std::string> whole = wholeDiskOf(name);
    if (!whole) {
        return std::nullopt;
    }
    return numberFor(*whole);
}

void LinuxDiskPlatform::numberAllDisks() {
    for (const std::string& name : RootFolder::names(root_.at("/sys/block"))) {
        if (!isVirtualMemoryDevice(name) && SysfsDisks::isPlausibleName(name)) {
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
    const std::optional<std::string> whole = wholeDiskOf(name);
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
    const auto folder = blockFolder(kernel);
    if (!folder) {
        return std::nullopt;
    }
    std::map<std::string, std::string> byLabel;
    bool byLabelRead = false;
    return labelOf(kernel, RootFolder::readLine(*folder / "dev").value_or(std::string()), byLabel,
                   byLabelRead);
}

std::optional<std::string> ZpoolCommand::listVerbose() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("zpool"));
    if (tool.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.start(tool, {QStringLiteral("list"), QStringLiteral("-vHP")});
    if (!process.waitForFinished(kZpoolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    const QByteArray output = process.readAllStandardOutput().left(qsizetype(kZpoolAnswerLimit));
    return output.toStdString();
}

std::optional<std::string> ZpoolAnswerFile::listVerbose() {
    const auto content = RootFolder::read(file_, kZpoolAnswerLimit);
    if (!content) {
        return std::nullopt;
    }
    return content->bytes;
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

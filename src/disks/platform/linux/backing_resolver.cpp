// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/backing_resolver.h"

#include "disks/platform/linux/platform_text.h"

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <set>

namespace fs = std::filesystem;
using namespace platform_text;

namespace {

constexpr std::size_t kZpoolAnswerLimit = 4 * 1024 * 1024;
constexpr int kMaxStackDepth = 16;
constexpr int kZpoolTimeoutMs = 10000;

}  // namespace

BackingResolver::BackingResolver(const RootFolder& root, const SysfsSurvey& sysfs,
                                 const SurveyCache& cache, std::unique_ptr<ZpoolSource> zpool,
                                 Logger& log)
    : root_(root), sysfs_(sysfs), cache_(cache), zpool_(std::move(zpool)), log_(log) {}

std::vector<std::string> BackingResolver::physicalLeaves(const std::string& name) {
    std::vector<std::string> leaves;
    std::set<std::string> onPath;
    bool loopReported = false;
    const auto walk = [&](const auto& self, const std::string& device, int depth) -> void {
        const std::vector<std::string> slaves = sysfs_.slavesOf(device);
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

std::vector<std::string> BackingResolver::btrfsMembers(const std::string& device) const {
    const fs::path filesystems = root_.at("/sys/fs/btrfs");
    for (const std::string& uuid : RootFolder::names(filesystems)) {
        std::vector<std::string> members = RootFolder::names(filesystems / uuid / "devices");
        if (std::find(members.begin(), members.end(), device) != members.end()) {
            return members;
        }
    }
    return {};
}

std::optional<std::string> BackingResolver::zpoolAnswer() {
    SurveyFacts* facts = cache_.facts();
    if (facts != nullptr && facts->zpoolAnswer) {
        return *facts->zpoolAnswer;
    }
    std::optional<std::string> answer = zpool_ ? zpool_->listVerbose() : std::nullopt;
    if (facts != nullptr) {
        facts->zpoolAnswer = answer;
    }
    return answer;
}

std::vector<QString> BackingResolver::zfsMembers(const std::string& pool) {
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

std::optional<Backing> BackingResolver::backingOf(const MountedVolume& volume) {
    if (!volume.device) {
        return std::nullopt;
    }
    const std::string device = utf8(*volume.device);
    if (startsWith(device, kZfsPoolPrefix)) {
        return Backing{Backing::Kind::Zfs, zfsMembers(device.substr(std::strlen(kZfsPoolPrefix)))};
    }
    if (!sysfs_.blockFolderText(device)) {
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
    const std::vector<std::string> slaves = sysfs_.slavesOf(device);
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

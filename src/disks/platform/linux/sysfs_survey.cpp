// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/sysfs_survey.h"

#include "disks/platform/linux/platform_text.h"
#include "disks/platform/smart_access.h"

#include <sys/stat.h>

using namespace platform_text;

SysfsSurvey::SysfsSurvey(const RootFolder& root, const SurveyCache& cache, Logger& log)
    : root_(root),
      cache_(cache),
      log_(log),
      classBlock_(root_.at("/sys/class/block").native() + '/'),
      devBlock_(root_.at("/sys/dev/block").native() + '/'),
      sysBlock_(root_.at("/sys/block").native() + '/') {}

std::unordered_set<std::string>* SysfsSurvey::realPlaces() const {
    SurveyFacts* facts = cache_.facts();
    return facts != nullptr ? &facts->realPlaces : nullptr;
}

const std::string* SysfsSurvey::blockFolderIn(const std::string& name,
                                              std::optional<std::string>& scratch) const {
    if (!isPlausibleDiskName(name)) {
        return nullptr;
    }
    const std::optional<std::string>* folder = &scratch;
    if (SurveyFacts* facts = cache_.facts(); facts == nullptr) {
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

std::optional<std::string> SysfsSurvey::blockFolderText(const std::string& name) const {
    std::optional<std::string> scratch;
    const std::string* folder = blockFolderIn(name, scratch);
    if (folder == nullptr) {
        return std::nullopt;
    }
    // Outside a survey the answer is in the scratch; inside, in the survey's map.
    return scratch ? std::move(scratch) : std::optional<std::string>(*folder);
}

std::optional<fs::path> SysfsSurvey::blockFolder(const std::string& name) const {
    std::optional<std::string> folder = blockFolderText(name);
    if (!folder) {
        return std::nullopt;
    }
    return fs::path(std::move(*folder));
}

std::optional<std::string> SysfsSurvey::wholeDiskOf(const std::string& name) const {
    SurveyFacts* facts = cache_.facts();
    return remembered(
        facts ? &facts->wholeDisks : nullptr, name, [&]() -> std::optional<std::string> {
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
            if (facts != nullptr && isPlausibleDiskName(disk) && !facts->folders.contains(disk)) {
                const std::size_t slash = folder->rfind('/');
                facts->folders.emplace(disk, folder->substr(0, slash));
            }
            return disk;
        });
}

std::vector<std::string> SysfsSurvey::slavesOf(const std::string& name) const {
    const auto listed = [&]() -> std::vector<std::string> {
        std::optional<std::string> scratch;
        const std::string* folder = blockFolderIn(name, scratch);
        return folder != nullptr ? RootFolder::names(joined({*folder, "/slaves"}))
                                 : std::vector<std::string>();
    };
    SurveyFacts* facts = cache_.facts();
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

DiskFlags SysfsSurvey::diskFlags(const std::string& disk) const {
    SurveyFacts* facts = cache_.facts();
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

std::optional<std::string> SysfsSurvey::blockDeviceName(const std::string& numbers,
                                                        const std::string& mountPoint) const {
    std::optional<std::string> folder =
        root_.resolveText(joined({devBlock_, numbers}), realPlaces());
    if (!folder) {
        log_.log_message(3, QStringLiteral("Error: no block device %1 for the volume at %2")
                                .arg(qs(numbers), qs(mountPoint)));
        return std::nullopt;
    }
    std::string name = fileNameOf(*folder);
    // /sys/class/block/NAME leads to the same folder: no need to follow it too.
    if (SurveyFacts* facts = cache_.facts(); facts != nullptr && isPlausibleDiskName(name)) {
        facts->folders.try_emplace(name, std::move(folder));
    }
    return name;
}

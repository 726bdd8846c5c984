// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/linux/root_folder.h"

#include <filesystem>
#include <set>
#include <string>

// Records the files that the disk enumeration, the disk descriptions and the
// host facts read into a new folder, with sysfs' links kept as relative
// links, so the folder can be read as a recorded machine. Reads files only:
// no drive is sent a command. Group membership is left out (it names users).
class MachineSnapshot {
  public:
    MachineSnapshot(std::filesystem::path source, Logger& log)
        : source_(std::move(source)), log_(log) {}

    struct Result {
        bool ok = false;
        int files = 0;
        int links = 0;
    };
    Result write(const std::filesystem::path& target);

  private:
    void copyFile(const std::string& machinePath);
    // Recreates the link; returns the folder it leads to in the source, when it does.
    std::optional<std::filesystem::path> copyLink(const std::string& machinePath);
    void copyAttributes(const std::filesystem::path& folder,
                        std::initializer_list<const char*> names);
    void copyBlockFolder(const std::filesystem::path& folder);
    bool put(const std::filesystem::path& place, const std::string& bytes);

    RootFolder source_;
    Logger& log_;
    std::filesystem::path target_;
    Result result_;
    std::set<std::string> copiedFolders_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/linux/root_folder.h"
#include "disks/platform/linux/survey_cache.h"

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

// The block devices as sysfs shows them below a root folder: each device's
// folder, the whole disk holding it, the devices it is stacked on and how
// removable its disk is. Inside a survey every answer is remembered.
class SysfsSurvey {
  public:
    SysfsSurvey(const RootFolder& root, const SurveyCache& cache, Logger& log);

    // The device's folder: the survey's own copy while one is open, else
    // `scratch`; null when there is none.
    const std::string* blockFolderIn(const std::string& name,
                                     std::optional<std::string>& scratch) const;
    std::optional<std::string> blockFolderText(const std::string& name) const;
    std::optional<std::filesystem::path> blockFolder(const std::string& name) const;
    std::optional<std::string> wholeDiskOf(const std::string& name) const;
    // The devices below a device-mapper or md device (its slaves/ folder).
    std::vector<std::string> slavesOf(const std::string& name) const;
    DiskFlags diskFlags(const std::string& disk) const;
    // The kernel name of the device with numbers "MAJ:MIN"; absent (and
    // logged) when there is none for the volume at `mountPoint`.
    std::optional<std::string> blockDeviceName(const std::string& numbers,
                                               const std::string& mountPoint) const;

  private:
    std::unordered_set<std::string>* realPlaces() const;

    const RootFolder& root_;
    const SurveyCache& cache_;
    Logger& log_;
    // Folders asked about for every device, as text ending in a slash.
    std::string classBlock_;
    std::string devBlock_;
    std::string sysBlock_;
};

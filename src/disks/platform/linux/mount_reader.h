// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/linux/backing_resolver.h"
#include "disks/platform/linux/label_reader.h"
#include "disks/platform/linux/root_folder.h"
#include "disks/platform/linux/survey_cache.h"
#include "disks/platform/linux/sysfs_survey.h"

#include <memory>
#include <optional>
#include <vector>

// The mounted volumes from /proc/self/mountinfo: which block device (or ZFS
// pool) each lives on, how removable its disks are, and its label.
class MountReader {
  public:
    MountReader(const RootFolder& root, const SysfsSurvey& sysfs, BackingResolver& backing,
                const LabelReader& labels, const SurveyCache& cache, Logger& log)
        : root_(root),
          sysfs_(sysfs),
          backing_(backing),
          labels_(labels),
          cache_(cache),
          log_(log) {}

    struct Volumes {
        std::vector<MountedVolume> list;
        std::optional<MountedVolume> root;
    };
    // Every volume (wantList), or only the one mounted last on "/".
    Volumes readVolumes(bool wantList);

  private:
    std::shared_ptr<const MountTable> mountTable() const;
    void error(const QString& text) { log_.log_message(3, text); }

    const RootFolder& root_;
    const SysfsSurvey& sysfs_;
    BackingResolver& backing_;
    const LabelReader& labels_;
    const SurveyCache& cache_;
    Logger& log_;
};

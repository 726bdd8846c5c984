// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/linux/root_folder.h"
#include "disks/platform/linux/survey_cache.h"
#include "disks/platform/linux/sysfs_survey.h"
#include "disks/platform/linux/zpool_list.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A pool's pseudo device: ZFS datasets have no block device of their own.
inline constexpr const char* kZfsPoolPrefix = "zfs:";

// The devices a volume's file system really lives on: md RAID and btrfs
// members, device-mapper stacks down to their physical devices, ZFS pool
// members from `zpool list`.
class BackingResolver {
  public:
    BackingResolver(const RootFolder& root, const SysfsSurvey& sysfs, const SurveyCache& cache,
                    std::unique_ptr<ZpoolSource> zpool, Logger& log);

    std::optional<Backing> backingOf(const MountedVolume& volume);
    // The devices at the bottom of a device's stack; empty for a plain device.
    std::vector<std::string> physicalLeaves(const std::string& name);

  private:
    std::vector<std::string> btrfsMembers(const std::string& device) const;
    std::optional<std::string> zpoolAnswer();
    std::vector<QString> zfsMembers(const std::string& pool);
    void error(const QString& text) { log_.log_message(3, text); }

    const RootFolder& root_;
    const SysfsSurvey& sysfs_;
    const SurveyCache& cache_;
    std::unique_ptr<ZpoolSource> zpool_;
    Logger& log_;
};

// A ZpoolSource running `zpool list -vHP` on this machine, when the tool exists.
class ZpoolCommand final : public ZpoolSource {
  public:
    std::optional<std::string> listVerbose() override;
};

// A ZpoolSource reading a recorded answer ("zpool-list-vHP.txt" in a fixture machine).
class ZpoolAnswerFile final : public ZpoolSource {
  public:
    explicit ZpoolAnswerFile(std::filesystem::path file) : file_(std::move(file)) {}
    std::optional<std::string> listVerbose() override;

  private:
    std::filesystem::path file_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/linux/backing_resolver.h"
#include "disks/platform/linux/label_reader.h"
#include "disks/platform/linux/mount_reader.h"
#include "disks/platform/linux/root_folder.h"
#include "disks/platform/linux/survey_cache.h"
#include "disks/platform/linux/sysfs_survey.h"
#include "disks/platform/linux/zpool_list.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// The disk questions answered from /proc/self/mountinfo, sysfs, udev's
// database and `zpool list`, all read below a root folder ("/" for this
// machine, a recorded machine's folder otherwise). Nothing here needs
// privileges or sends a command to a drive. The reading is done by the
// mount, sysfs, backing and label readers; this class numbers the disks and
// describes them.
class LinuxDiskPlatform final : public DiskPlatform {
  public:
    LinuxDiskPlatform(std::filesystem::path root, std::unique_ptr<ZpoolSource> zpool, Logger& log);

    std::vector<MountedVolume> mountedVolumes() override;
    std::optional<MountedVolume> rootVolume() override;
    std::optional<Backing> backingOf(const MountedVolume& volume) override;
    std::optional<int> diskNumber(const QString& device) override;
    void numberAllDisks() override;
    std::optional<QString> kernelName(int disk) override;
    QString serialNumber(const QString& device) override;
    DiskDescription describe(int disk) override;
    std::optional<QString> wholeDiskLabel(int disk) override;
    void beginSurvey() override;
    void endSurvey() override;

    // "/dev/nvme0n1"; empty when the number names no block device.
    QString deviceNode(int disk) override;

    // A pool's pseudo device: ZFS datasets have no block device of their own.
    static constexpr const char* kZfsPrefix = kZfsPoolPrefix;

  private:
    int numberFor(const std::string& wholeDisk);
    std::string serialOfWholeDisk(const std::string& disk);
    void modelAndRevision(const std::string& disk, const std::filesystem::path& device,
                          const QString& protocol, QVariantMap& keys);
    void error(const QString& text) { log_.log_message(3, text); }

    RootFolder root_;
    SurveyCache cache_;
    SysfsSurvey sysfs_;
    BackingResolver backing_;
    LabelReader labels_;
    MountReader mounts_;
    Logger& log_;

    std::mutex mutex_;  // the numbering may be asked from any thread
    std::unordered_map<std::string, int> numbers_;
    std::vector<std::string> names_;
};

// The platform for a root folder: the zpool tool for "/", the recorded answer otherwise.
std::unique_ptr<LinuxDiskPlatform> makeLinuxDiskPlatform(const std::filesystem::path& root,
                                                         Logger& log);

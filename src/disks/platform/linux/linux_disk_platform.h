#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/linux/mountinfo.h"
#include "disks/platform/linux/root_folder.h"
#include "disks/platform/linux/zpool_list.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The disk questions answered from /proc/self/mountinfo, sysfs, udev's
// database and `zpool list`, all read below a root folder ("/" for this
// machine, a recorded machine's folder otherwise). Nothing here needs
// privileges or sends a command to a drive.
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
    static constexpr const char* kZfsPrefix = "zfs:";

  private:
    // What a survey remembers; see beginSurvey().
    struct SurveyFacts;
    struct OpenSurvey {
        const LinuxDiskPlatform* platform = nullptr;
        int depth = 0;
        std::unique_ptr<SurveyFacts> facts;
    };
    // Per thread, so one thread's survey never serves another thread's call.
    static thread_local std::vector<OpenSurvey> surveys_;
    // This thread's open survey of this platform; null outside one.
    SurveyFacts* survey() const;
    std::unordered_set<std::string>* realPlaces() const;

    // /proc/self/mountinfo as read and parsed once.
    struct MountTable {
        bool readable = false;
        bool truncated = false;
        MountInfo info;
    };
    std::shared_ptr<const MountTable> mountTable() const;

    struct DiskFlags {
        bool removable = false;
        bool ejectable = false;
    };
    DiskFlags diskFlags(const std::string& disk) const;

    struct Volumes {
        std::vector<MountedVolume> list;
        std::optional<MountedVolume> root;
    };
    Volumes readVolumes(bool wantList);
    std::optional<std::string> blockDeviceName(const std::string& numbers,
                                               const std::string& mountPoint);
    // The device's folder: the survey's own copy while one is open, else
    // `scratch`; null when there is none.
    const std::string* blockFolderIn(const std::string& name,
                                     std::optional<std::string>& scratch) const;
    std::optional<std::string> blockFolderText(const std::string& name) const;
    std::optional<std::filesystem::path> blockFolder(const std::string& name) const;
    std::optional<std::string> wholeDiskOf(const std::string& name) const;
    std::vector<std::string> slavesOf(const std::string& name) const;
    std::optional<std::string> zpoolAnswer();
    std::vector<std::string> physicalLeaves(const std::string& name);
    std::optional<QString> labelOf(const std::string& device, const std::string& devNumbers,
                                   std::map<std::string, std::string>& byLabel, bool& byLabelRead);
    std::vector<std::string> btrfsMembers(const std::string& device) const;
    std::vector<QString> zfsMembers(const std::string& pool);
    int numberFor(const std::string& wholeDisk);
    std::string serialOfWholeDisk(const std::string& disk);
    void modelAndRevision(const std::string& disk, const std::filesystem::path& device,
                          const QString& protocol, QVariantMap& keys);
    void error(const QString& text) { log_.log_message(3, text); }

    RootFolder root_;
    // Folders asked about for every device, as text ending in a slash.
    std::string classBlock_;
    std::string devBlock_;
    std::string sysBlock_;
    std::string udevData_;
    std::unique_ptr<ZpoolSource> zpool_;
    Logger& log_;

    std::mutex mutex_;  // the numbering may be asked from any thread
    std::unordered_map<std::string, int> numbers_;
    std::vector<std::string> names_;
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

// The platform for a root folder: the zpool tool for "/", the recorded answer otherwise.
std::unique_ptr<LinuxDiskPlatform> makeLinuxDiskPlatform(const std::filesystem::path& root,
                                                         Logger& log);

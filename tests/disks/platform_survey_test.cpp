// SPDX-License-Identifier: GPL-3.0-or-later
// What the Linux platform remembers during one enumeration call must never
// reach the next call, nor a call on another thread.
#include "disks/disk_enumeration.h"
#include "disks/platform/linux/linux_disk_platform.h"

#include "line_logger.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char* const kSdbDisk =
    "sys/devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0/block/sdb";

class PlatformSurveyTest : public ::testing::Test {
  protected:
    QTemporaryDir copy;
    fs::path root;
    LineLogger log;

    void SetUp() override {
        root = copy.path().toStdString();
        fs::copy(fs::path(OSTRIVANE_TEST_DATA_DIR) / "machines" / "desktop-sata-md-usb", root,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }

    void write(const std::string& relative, const std::string& text) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << text;
    }
    void link(const std::string& relative, const std::string& target) const {
        const fs::path at = root / relative;
        fs::create_directories(at.parent_path());
        fs::create_symlink(fs::path(target).lexically_relative(fs::path(relative).parent_path()),
                           at);
    }
    void append(const std::string& relative, const std::string& text) const {
        std::ofstream(root / relative, std::ios::app) << text;
    }
    // The internal disk sdb is pulled and a USB stick takes over its name.
    void replaceSdbByAStick() const { write(std::string(kSdbDisk) + "/removable", "1\n"); }

    static DiskList original() {
        return {{0, QStringLiteral("Mirror, Système, /home")},
                {2, QStringLiteral("Mirror (sdb1), Work, Data")}};
    }
};

TEST_F(PlatformSurveyTest, ADiskAddedBetweenTwoCallsIsSeen) {
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    ASSERT_EQ(disks.mountedHarddisks(true), original());

    const std::string disk =
        "sys/devices/pci0000:00/0000:00:17.0/ata3/host2/target2:0:0/2:0:0:0/block/sde";
    write(disk + "/dev", "8:64\n");
    write(disk + "/removable", "0\n");
    write(disk + "/sde1/dev", "8:65\n");
    write(disk + "/sde1/partition", "1\n");
    link("sys/block/sde", disk);
    link("sys/class/block/sde", disk);
    link("sys/class/block/sde1", disk + "/sde1");
    link("sys/dev/block/8:65", disk + "/sde1");
    append("proc/self/mountinfo", "40 1 8:65 / /new rw,relatime - ext4 /dev/sde1 rw\n");

    DiskList expected = original();
    expected.append(
        {platform->diskNumber(QStringLiteral("sde")).value_or(-1), QStringLiteral("/new")});
    EXPECT_EQ(disks.mountedHarddisks(true), expected);
    EXPECT_EQ(disks.volumeNamesForDevice(expected.last().diskNumber), QStringLiteral("/new"));
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlatformSurveyTest, ADiskReplacedUnderTheSameNameIsReadAgain) {
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    ASSERT_EQ(disks.mountedHarddisks(true), original());
    replaceSdbByAStick();
    // The mirror has a member on sdb, so it goes with the stick's volumes.
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{0, QStringLiteral("Système, /home")}}));
}

TEST_F(PlatformSurveyTest, ASurveyServesOnlyItsOwnThread) {
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    const DiskPlatform::Survey survey(*platform);
    ASSERT_EQ(disks.mountedHarddisks(true), original());
    replaceSdbByAStick();
    DiskList elsewhere;
    std::thread([&] { elsewhere = disks.mountedHarddisks(true); }).join();
    EXPECT_EQ(elsewhere, (DiskList{{0, QStringLiteral("Système, /home")}}));
}

TEST_F(PlatformSurveyTest, PlatformQuestionsOutsideASurveyReadAfresh) {
    const auto platform = makeLinuxDiskPlatform(root, log);
    const auto sdbVolumes = [&] {
        int count = 0;
        for (const MountedVolume& volume : platform->mountedVolumes()) {
            count += volume.device && volume.device->startsWith(QLatin1String("sdb")) &&
                     !volume.removable;
        }
        return count;
    };
    EXPECT_EQ(sdbVolumes(), 2);
    replaceSdbByAStick();
    EXPECT_EQ(sdbVolumes(), 0);
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/disk_enumeration.h"

#include "line_logger.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// A scripted platform: volumes, backings and descriptions as a test sets them.
// Device names are "diskN" or "diskNsM"; anything else does not look good.
class FakePlatform final : public DiskPlatform {
  public:
    std::vector<MountedVolume> volumes;
    std::optional<MountedVolume> root;
    std::map<QString, Backing> backings;  // by device; absent: plain
    std::set<QString> undescribed;        // devices without a description
    std::map<int, DiskDescription> descriptions;
    std::map<QString, QString> serials;
    int rootVolumeCalls = 0;
    int surveysBegun = 0;
    int surveysOpen = 0;

    std::vector<MountedVolume> mountedVolumes() override { return volumes; }
    std::optional<MountedVolume> rootVolume() override {
        ++rootVolumeCalls;
        return root;
    }
    std::optional<Backing> backingOf(const MountedVolume& volume) override {
        if (undescribed.count(*volume.device)) {
            return std::nullopt;
        }
        const auto found = backings.find(*volume.device);
        return found == backings.end() ? Backing{} : found->second;
    }
    std::optional<int> diskNumber(const QString& device) override {
        if (!device.startsWith(QLatin1String("disk")) || device.size() < 5) {
            return std::nullopt;
        }
        bool ok = false;
        const int n = device.mid(4).section(QLatin1Char('s'), 0, 0).toInt(&ok);
        return ok ? std::optional(n) : std::nullopt;
    }
    void numberAllDisks() override {}
    std::optional<QString> kernelName(int disk) override {
        return QStringLiteral("disk%1").arg(disk);
    }
    QString serialNumber(const QString& device) override {
        return serials.count(device) ? serials[device] : QStringLiteral("NOSERIAL");
    }
    DiskDescription describe(int disk) override {
        return descriptions.count(disk) ? descriptions[disk] : DiskDescription{};
    }
    std::optional<QString> wholeDiskLabel(int) override { return std::nullopt; }
    void beginSurvey() override {
        ++surveysBegun;
        ++surveysOpen;
    }
    void endSurvey() override { --surveysOpen; }

    void add(const QString& path, const QString& name, const QString& device) {
        volumes.push_back({path, name, false, false, device, QStringLiteral("ext4")});
    }
};

class EnumerationTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    LineLogger log;
    DiskEnumeration disks{platform, log};
};

TEST_F(EnumerationTest, NoVolumeGivesAnEmptyList) {
    EXPECT_TRUE(disks.mountedHarddisks(true).isEmpty());
    platform.volumes.push_back({QStringLiteral("/media/stick"),
                                QStringLiteral("Stick"),
                                true,
                                false,
                                QStringLiteral("disk4s1"),
                                {}});
    platform.volumes.push_back({QStringLiteral("/media/usb"),
                                QStringLiteral("USB"),
                                false,
                                true,
                                QStringLiteral("disk5s1"),
                                {}});
    platform.add(QStringLiteral("/private/var/vm"), QStringLiteral("VM"),
                 QStringLiteral("disk1s4"));
    platform.add(QStringLiteral("/loop"), QStringLiteral("Loop"), QStringLiteral("loop0"));
    EXPECT_TRUE(disks.mountedHarddisks(true).isEmpty());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(EnumerationTest, VolumesOfOneDiskAreJoinedInMountOrder) {
    platform.add(QStringLiteral("/work"), QStringLiteral("Work"), QStringLiteral("disk1s1"));
    platform.add(QStringLiteral("/data"), QStringLiteral("Data"), QStringLiteral("disk1s2"));
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{1, QStringLiteral("Work, Data")}}));
}

TEST_F(EnumerationTest, AVolumeResolvingToAListedDiskGoesInFront) {
    platform.add(QStringLiteral("/"), QStringLiteral("System"), QStringLiteral("disk3s1"));
    platform.add(QStringLiteral("/data"), QStringLiteral("Data"), QStringLiteral("disk4s1"));
    platform.backings[QStringLiteral("disk3s1")] = {Backing::Kind::Stack,
                                                    {QStringLiteral("disk0s2")}};
    platform.backings[QStringLiteral("disk4s1")] = {Backing::Kind::Stack,
                                                    {QStringLiteral("disk0s3")}};
    platform.serials[QStringLiteral("disk0s2")] = QStringLiteral("SERIAL123");
    platform.serials[QStringLiteral("disk0s3")] = QStringLiteral("SERIAL123");
    EXPECT_EQ(disks.mountedHarddisks(true),
              (DiskList{{0, QStringLiteral("Data, System (SERIAL123)")}}));
    // Without backing resolution each volume stays on its own disk.
    EXPECT_EQ(disks.mountedHarddisks(false),
              (DiskList{{3, QStringLiteral("System")}, {4, QStringLiteral("Data")}}));
}

TEST_F(EnumerationTest, RaidMembersAreShownByNameAndBadMembersLogged) {
    platform.add(QStringLiteral("/mirror"), QStringLiteral("Mirror"), QStringLiteral("disk5s1"));
    platform.backings[QStringLiteral("disk5s1")] = {
        Backing::Kind::Members,
        {QStringLiteral("disk2s2"), QStringLiteral("sdz"), QStringLiteral("disk3s2")}};
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{2, QStringLiteral("Mirror (disk2s2)")},
                                                      {3, QStringLiteral("Mirror (disk3s2)")}}));
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Error: 1bsd name doesn't look good sdz")});
}

TEST_F(EnumerationTest, ZfsMembersCarrySerialsAndMissingNamesAreLogged) {
    platform.add(QStringLiteral("/tank"), QStringLiteral("tank"), QStringLiteral("disk6"));
    platform.backings[QStringLiteral("disk6")] = {
        Backing::Kind::Zfs, {QStringLiteral("disk1s1"), QString(), QStringLiteral("bad")}};
    platform.serials[QStringLiteral("disk1s1")] = QStringLiteral("Z1");
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{1, QStringLiteral("tank (Z1)")}}));
    EXPECT_EQ(log.lines, (QStringList{QStringLiteral("Error: couldn't get bsd name"),
                                      QStringLiteral("Error: bsd name doesn't look good bad")}));
    // A pool whose members are all unknown stays under its own number.
    platform.backings[QStringLiteral("disk6")].members = {};
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{6, QStringLiteral("tank")}}));
}

TEST_F(EnumerationTest, SkippedVolumesAreLoggedWhereTheyLoseInformation) {
    platform.volumes.push_back(
        {QStringLiteral("/x"), std::nullopt, false, false, QStringLiteral("disk1s1"), {}});
    platform.add(QStringLiteral("/y"), QStringLiteral("Y"), QStringLiteral("disk2s1"));
    platform.undescribed.insert(QStringLiteral("disk2s1"));
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{2, QStringLiteral("Y")}}));
    EXPECT_EQ(log.lines,
              (QStringList{QStringLiteral("Error: getResourceValue == NULL, 1126"),
                           QStringLiteral("Error: DADiskCopyDescription == NULL, 1103")}));
}

TEST_F(EnumerationTest, BootDiskMovesToTheFrontOnlyWhenNeeded) {
    platform.add(QStringLiteral("/a"), QStringLiteral("A"), QStringLiteral("disk4s1"));
    platform.root = platform.volumes.front();
    EXPECT_EQ(disks.mountedHarddisks(true), (DiskList{{4, QStringLiteral("A")}}));
    EXPECT_EQ(platform.rootVolumeCalls, 0);  // a single entry is never reordered

    platform.add(QStringLiteral("/b"), QStringLiteral("B"), QStringLiteral("disk5s1"));
    platform.add(QStringLiteral("/"), QStringLiteral("C"), QStringLiteral("disk6s1"));
    platform.root = platform.volumes.back();
    EXPECT_EQ(
        disks.mountedHarddisks(true),
        (DiskList{{6, QStringLiteral("C")}, {5, QStringLiteral("B")}, {4, QStringLiteral("A")}}));
}

TEST_F(EnumerationTest, BootDiskIsCachedOnlyOnceFound) {
    EXPECT_EQ(disks.bootDiskBSDNum(), -1);  // "/" not from a disk (overlay, network)
    EXPECT_EQ(disks.bootDiskBSDNum(), -1);
    EXPECT_EQ(platform.rootVolumeCalls, 2);
    platform.root = MountedVolume{
        QStringLiteral("/"), QStringLiteral("R"), false, false, QStringLiteral("disk7s2"), {}};
    platform.backings[QStringLiteral("disk7s2")] = {Backing::Kind::Stack,
                                                    {QStringLiteral("disk1s3")}};
    EXPECT_EQ(disks.bootDiskBSDNum(), 1);
    platform.root.reset();
    EXPECT_EQ(disks.bootDiskBSDNum(), 1);
    EXPECT_EQ(platform.rootVolumeCalls, 3);
}

TEST_F(EnumerationTest, FullProbeStopsAfterFiveMisses) {
    const auto described = [] {
        DiskDescription d;
        d.outcome = DiskDescription::Outcome::Described;
        return d;
    };
    for (int n : {0, 1, 4}) {
        platform.descriptions[n] = described();
    }
    DiskList list = disks.allHarddisks();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[2], (DiskEntry{4, QStringLiteral("/dev/disk4")}));

    platform.descriptions.clear();
    platform.descriptions[0] = described();
    platform.descriptions[6] = described();
    list = disks.allHarddisks();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].diskNumber, 0);
}

TEST_F(EnumerationTest, DescriptionAddsSolidStateAndNvmeKeys) {
    DiskDescription nvme;
    nvme.outcome = DiskDescription::Outcome::Described;
    nvme.media = DiskDescription::Media::SolidState;
    nvme.keys = {{QStringLiteral("DABusName"), QStringLiteral("NVMe")},
                 {QStringLiteral("DAMediaName"), QStringLiteral("X")}};
    platform.descriptions[0] = nvme;
    DiskDescription hdd = nvme;
    hdd.media = DiskDescription::Media::Rotating;
    // The bus name decides: a device path mentioning NVMe behind it does not count.
    hdd.keys = {{QStringLiteral("DABusName"), QStringLiteral("ata1")},
                {QStringLiteral("DADevicePath"), QStringLiteral("/NVMe")}};
    platform.descriptions[1] = hdd;

    const auto first = disks.descriptionForDevice(0);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->value(QStringLiteral("isSSD")).toBool());
    EXPECT_TRUE(first->value(QStringLiteral("isNVME")).toBool());
    const auto second = disks.descriptionForDevice(1);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->contains(QStringLiteral("isSSD")));
    EXPECT_FALSE(second->contains(QStringLiteral("isNVME")));

    EXPECT_FALSE(disks.descriptionForDevice(9));
    platform.descriptions[2].outcome = DiskDescription::Outcome::NoDescription;
    EXPECT_FALSE(disks.descriptionForDevice(2));
    EXPECT_EQ(log.lines,
              (QStringList{QStringLiteral("Error:    DADiskCreateFromBSDName returned NULL"),
                           QStringLiteral("Error:    DADiskCopyDescription returned NULL")}));
}

TEST_F(EnumerationTest, VolumeLookupsByNameAndNumber) {
    platform.add(QStringLiteral("/work"), QStringLiteral("Work"), QStringLiteral("disk12s1"));
    platform.add(QStringLiteral("/data"), QStringLiteral("Data"), QStringLiteral("disk12s3"));
    platform.add(QStringLiteral("/private/var/vm"), QStringLiteral("VM"),
                 QStringLiteral("disk12s4"));
    EXPECT_EQ(disks.bsdNumberForVolume(QStringLiteral("Data")), 12);
    EXPECT_FALSE(disks.bsdNumberForVolume(QStringLiteral("Nope")));
    EXPECT_EQ(disks.volumeNamesForDevice(12), QStringLiteral("Work, Data"));
    EXPECT_FALSE(disks.volumeNamesForDevice(3));
}

// The platform may remember device facts only while a call runs.
TEST_F(EnumerationTest, EveryCallClosesTheSurveyItOpens) {
    platform.add(QStringLiteral("/"), QStringLiteral("R"), QStringLiteral("disk1s1"));
    platform.add(QStringLiteral("/b"), QStringLiteral("B"), QStringLiteral("disk2s1"));
    platform.root = platform.volumes.front();
    EXPECT_EQ(disks.mountedHarddisks(true).size(), 2);
    EXPECT_EQ(disks.bsdNumberForVolume(QStringLiteral("B")), 2);
    EXPECT_EQ(disks.volumeNamesForDevice(1), QStringLiteral("R"));
    EXPECT_EQ(platform.surveysBegun, 4);  // the boot disk was asked inside the list's survey
    EXPECT_EQ(platform.surveysOpen, 0);
}

}  // namespace

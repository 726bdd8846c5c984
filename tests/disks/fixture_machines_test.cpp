// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/disk_enumeration.h"
#include "disks/dx_host_information.h"
#include "disks/platform/fixture/fixture_smart_access.h"
#include "disks/platform/linux/linux_disk_platform.h"
#include "disks/platform/linux/machine_snapshot.h"

#include "core/smart_status.h"
#include "line_logger.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path machine(const char* name) {
    return fs::path(OSTRIVANE_TEST_DATA_DIR) / "machines" / name;
}

struct Expected {
    const char* machine;
    DiskList disks;
    QStringList nodes;
    int boot;
};

class MachineListTest : public ::testing::TestWithParam<Expected> {};

TEST_P(MachineListTest, ListsTheDisksInOrder) {
    const Expected& expected = GetParam();
    LineLogger log;
    const auto platform = makeLinuxDiskPlatform(machine(expected.machine), log);
    DiskEnumeration disks(*platform, log);
    EXPECT_EQ(disks.mountedHarddisks(true), expected.disks);
    QStringList nodes;
    for (const DiskEntry& entry : expected.disks) {
        nodes << platform->deviceNode(entry.diskNumber);
    }
    EXPECT_EQ(nodes, expected.nodes);
    EXPECT_EQ(disks.bootDiskBSDNum(), expected.boot);
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Machines, MachineListTest,
    ::testing::Values(Expected{"laptop-nvme-luks-lvm",
                               {{1, QStringLiteral("Home Files, / (S4EWNX0R123456A), boot, EFI")}},
                               {QStringLiteral("/dev/nvme0n1")},
                               1},
                      Expected{"desktop-sata-md-usb",
                               {{0, QStringLiteral("Mirror, Système, /home")},
                                {2, QStringLiteral("Mirror (sdb1), Work, Data")}},
                               {QStringLiteral("/dev/sda"), QStringLiteral("/dev/sdb")},
                               0},
                      Expected{"btrfs-two-ssd",
                               {{0, QStringLiteral("Fedora Root (sda2), ESP")},
                                {1, QStringLiteral("Fedora Root (sdb1)")}},
                               {QStringLiteral("/dev/sda"), QStringLiteral("/dev/sdb")},
                               0},
                      Expected{"zfs-two-nvme",
                               {{1, QStringLiteral("/home, / (23123A800001), EFI")},
                                {2, QStringLiteral("/home, / (23123A800002)")}},
                               {QStringLiteral("/dev/nvme0n1"), QStringLiteral("/dev/nvme1n1")},
                               1},
                      Expected{"vm-virtio",
                               {{0, QStringLiteral("cloudimg-rootfs, UEFI")}},
                               {QStringLiteral("/dev/vda")},
                               0},
                      Expected{"dev-root",
                               {{0, QStringLiteral("rootfs, bootfs")}},
                               {QStringLiteral("/dev/mmcblk0")},
                               0}),
    [](const auto& info) {
        std::string name = info.param.machine;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// The boot disk is moved to the front even when another disk's volume comes first.
TEST(FixtureMachines, BootDiskComesFirstWhenMountedLater) {
    QTemporaryDir copy;
    fs::copy(machine("desktop-sata-md-usb"), copy.path().toStdString(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    const fs::path mountinfo = fs::path(copy.path().toStdString()) / "proc/self/mountinfo";
    std::string text;
    {
        std::ifstream in(mountinfo);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    // Mount /work (sdb) before "/" (sda).
    const auto line = [&text](const std::string& needle) {
        const std::size_t at = text.find(needle);
        const std::size_t start = text.rfind('\n', at) + 1;
        return text.substr(start, text.find('\n', at) - start + 1);
    };
    const std::string work = line(" /work ");
    text.erase(text.find(work), work.size());
    text.insert(text.find(line(" / ")), work);
    std::ofstream(mountinfo) << text;

    LineLogger log;
    const auto platform = makeLinuxDiskPlatform(copy.path().toStdString(), log);
    DiskEnumeration disks(*platform, log);
    const DiskList list = disks.mountedHarddisks(true);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(platform->deviceNode(list[0].diskNumber), QStringLiteral("/dev/sda"));
    EXPECT_EQ(list[1].diskName, QStringLiteral("Mirror, Work, Data"));
}

TEST(FixtureMachines, DescriptionsNameTheWholeModel) {
    LineLogger log;
    const auto platform = makeLinuxDiskPlatform(machine("desktop-sata-md-usb"), log);
    DiskEnumeration disks(*platform, log);
    disks.mountedHarddisks(true);

    const auto ssd = disks.descriptionForDevice(0);
    ASSERT_TRUE(ssd);
    // device/model holds "Samsung SSD 860 ", the 16 characters of the SCSI inquiry.
    EXPECT_EQ(ssd->value(QStringLiteral("DAMediaName")).toString(),
              QStringLiteral("Samsung SSD 860 EVO 500GB"));
    EXPECT_EQ(ssd->value(QStringLiteral("DADeviceRevision")).toString(),
              QStringLiteral("RVT04B6Q"));
    EXPECT_EQ(ssd->value(QStringLiteral("DADeviceProtocol")).toString(), QStringLiteral("SATA"));
    EXPECT_EQ(ssd->value(QStringLiteral("DABusName")).toString(), QStringLiteral("ata1"));
    EXPECT_TRUE(ssd->value(QStringLiteral("isSSD")).toBool());
    EXPECT_FALSE(ssd->contains(QStringLiteral("isNVME")));

    const auto hdd = disks.descriptionForDevice(2);
    ASSERT_TRUE(hdd);
    EXPECT_EQ(hdd->value(QStringLiteral("DAMediaName")).toString(),
              QStringLiteral("WDC WD40EFRX-68N32N0"));
    EXPECT_FALSE(hdd->contains(QStringLiteral("isSSD")));
    EXPECT_FALSE(hdd->contains(QStringLiteral("isNVME")));
    EXPECT_TRUE(log.lines.isEmpty());

    const auto laptop = makeLinuxDiskPlatform(machine("laptop-nvme-luks-lvm"), log);
    DiskEnumeration laptopDisks(*laptop, log);
    laptopDisks.mountedHarddisks(true);
    const auto nvme = laptopDisks.descriptionForDevice(1);
    ASSERT_TRUE(nvme);
    EXPECT_EQ(nvme->value(QStringLiteral("DAMediaName")).toString(),
              QStringLiteral("Samsung SSD 970 EVO Plus 1TB"));
    EXPECT_EQ(nvme->value(QStringLiteral("DADeviceRevision")).toString(),
              QStringLiteral("2B2QEXM7"));
    EXPECT_TRUE(nvme->value(QStringLiteral("isSSD")).toBool());
    EXPECT_TRUE(nvme->value(QStringLiteral("isNVME")).toBool());
}

TEST(FixtureMachines, FullProbeListsEveryDiskOnce) {
    LineLogger log;
    const auto platform = makeLinuxDiskPlatform(machine("desktop-sata-md-usb"), log);
    DiskEnumeration disks(*platform, log);
    QStringList names;
    for (const DiskEntry& entry : disks.allHarddisks()) {
        names << entry.diskName;
    }
    // md0 carries a file system of its own, so it shows its label.
    EXPECT_EQ(names, (QStringList{QStringLiteral("Mirror"), QStringLiteral("/dev/sda"),
                                  QStringLiteral("/dev/sdb"), QStringLiteral("/dev/sdc"),
                                  QStringLiteral("/dev/sdd")}));
}

class BadInputTest : public ::testing::Test {
  protected:
    QTemporaryDir copy;
    LineLogger log;
    fs::path root;
    void SetUp() override {
        root = copy.path().toStdString();
        fs::copy(machine("bad-input"), root,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
};

TEST_F(BadInputTest, DamagedSourcesAreLoggedAndTheRestListed) {
    // A label of 4 MB in udev's record for "/short".
    {
        std::ofstream record(root / "run/udev/data/b8:17");
        record << "E:ID_FS_LABEL=" << std::string(4 * 1024 * 1024, 'x') << "\n";
    }
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    const DiskList list = disks.mountedHarddisks(true);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0], (DiskEntry{0, QStringLiteral("Good")}));
    EXPECT_EQ(list[1].diskName, QStringLiteral("/loop"));  // a slaves/ cycle resolves to nothing
    EXPECT_EQ(list[2].diskName, QStringLiteral("/short"));
    EXPECT_TRUE(log.has(QStringLiteral("Error: malformed mountinfo line: 99 1 8:2 / /broken")));
    EXPECT_TRUE(log.has(QStringLiteral("Error: no block device 8:33 for the volume at /mnt/gone")));
    EXPECT_TRUE(log.has(QStringLiteral("loops at")));
    EXPECT_TRUE(log.has(QStringLiteral("Error: the label of sdb1 in udev's database is too long")));

    // The cut-short ATA information page leaves the 16-character inquiry model.
    log.lines.clear();
    const auto description = disks.descriptionForDevice(list[2].diskNumber);
    ASSERT_TRUE(description);
    EXPECT_EQ(description->value(QStringLiteral("DAMediaName")).toString(),
              QStringLiteral("Micron_5300_MTFD"));
    EXPECT_TRUE(log.has(QStringLiteral("ATA information page of sdb is unreadable")));
}

TEST_F(BadInputTest, LinksNeverLeaveTheMachineFolder) {
    fs::remove(root / "sys/dev/block/8:1");
    fs::create_symlink("../../../../../../../../../../../sys/block", root / "sys/dev/block/8:1");
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    for (const DiskEntry& entry : disks.mountedHarddisks(true)) {
        EXPECT_NE(entry.diskName, QStringLiteral("Good"));
    }
    EXPECT_TRUE(log.has(QStringLiteral("Error: no block device 8:1 for the volume at /")));
}

// A recorded copy of a machine lists the same disks as the machine.
TEST(HotPlugBusTest, OnlyNumberedUsbAndFireWireBusesAndThunderboltAreExternal) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    const std::pair<const char*, bool> buses[] = {
        {"usb3/3-1", false},      {"fw1/fw1.0", false}, {"thunderbolt/domain0/0-1", false},
        {"usbmisc/u1", true},     {"fwd/f0", true},     {"ufs0/u0", true},
        {"target/thunder", true}, {"ata1/host0", true},
    };
    std::vector<std::string> names;
    for (const auto& [bus, internal] : buses) {
        const std::string name = "sd" + std::string(1, char('a' + names.size()));
        const fs::path device = root / "sys/devices/pci0000:00" / bus / "target0:0:0/0:0:0:0";
        const fs::path block = device / "block" / name;
        fs::create_directories(block);
        std::ofstream(block / "dev") << "8:" << names.size() * 16 << "\n";
        fs::create_symlink(fs::relative(device, block), block / "device");
        fs::create_directories(root / "sys/block");
        fs::create_symlink(fs::relative(block, root / "sys/block"), root / "sys/block" / name);
        names.push_back(name);
    }
    LineLogger log;
    const auto platform = makeLinuxDiskPlatform(root, log);
    platform->numberAllDisks();
    for (int disk = 0; disk < int(names.size()); ++disk) {
        const DiskDescription description = platform->describe(disk);
        const std::string name = platform->kernelName(disk).value_or(QString()).toStdString();
        const auto at = std::find(names.begin(), names.end(), name);
        ASSERT_NE(at, names.end());
        const auto& [bus, internal] = buses[std::size_t(at - names.begin())];
        EXPECT_EQ(description.keys.value(QStringLiteral("DADeviceInternal")).toBool(), internal)
            << bus;
    }
}

TEST(MachineSnapshotTest, RecordsWhatTheEnumerationReads) {
    for (const char* name : {"laptop-nvme-luks-lvm", "desktop-sata-md-usb", "btrfs-two-ssd"}) {
        LineLogger log;
        QTemporaryDir target;
        const fs::path out = fs::path(target.path().toStdString()) / "snap";
        ASSERT_TRUE(MachineSnapshot(machine(name), log).write(out).ok);
        const auto original = makeLinuxDiskPlatform(machine(name), log);
        const auto recorded = makeLinuxDiskPlatform(out, log);
        DiskEnumeration a(*original, log);
        DiskEnumeration b(*recorded, log);
        const DiskList list = a.mountedHarddisks(true);
        EXPECT_EQ(list, b.mountedHarddisks(true)) << name;
        for (const DiskEntry& entry : list) {
            EXPECT_EQ(a.descriptionForDevice(entry.diskNumber),
                      b.descriptionForDevice(entry.diskNumber))
                << name;
        }
        EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
    }
}

// Whole checks can run on a recorded machine: numbers mean the same disk to both halves.
TEST(DXHostInformationTest, ReadsSmartDataOfListedDisks) {
    LineLogger log;
    const fs::path root = machine("desktop-sata-md-usb");
    DXHostInformation host(
        root, std::make_unique<FixtureSmartAccess>(QString::fromStdString(root.string())), log, {});
    const DiskList list = host.mountedHarddisks(true);
    ASSERT_EQ(list.size(), 2);
    for (const DiskEntry& entry : list) {
        EXPECT_EQ(host.getDiskSMARTStatus(entry.diskNumber), SMARTStatusVerified);
        const auto table = host.getDiskSMARTAttributes(entry.diskNumber);
        ASSERT_TRUE(table);
        EXPECT_TRUE(table->count(5));
    }
    EXPECT_EQ(host.serialNumber(0), QStringLiteral("S3Z1NB0K123456X"));
    EXPECT_EQ(host.machineType(), QStringLiteral("MS-7C56"));
}

}  // namespace

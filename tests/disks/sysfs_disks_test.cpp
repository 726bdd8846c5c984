// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/sysfs_disks.h"
#include "fake_sysfs.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

namespace {

TEST(SysfsDisks, PlausibleNames) {
    for (const char* good : {"sda", "nvme0n1", "dm-0", "mmcblk0", "vd_b"}) {
        EXPECT_TRUE(SysfsDisks::isPlausibleName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "../sda", "/dev/sda", "sda/", "sd a", "sda\n",
                            "abcdefghijklmnopqrstuvwxyz0123456"}) {
        EXPECT_FALSE(SysfsDisks::isPlausibleName(bad)) << bad;
    }
}

TEST(SysfsDisks, ProtocolOfEachKindOfDisk) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    fake.partition("sda1x");
    fake.write("block/sr0/dev", "11:0\n");
    fake.write("block/sr0/device/type", "5\n");  // optical drive
    fake.write("block/sdb/dev", "8:16\n");
    fake.write("block/sdb/device/type", "0\n");
    fake.write("block/sdb/device/vendor", "SEAGATE\n");  // SAS, no ATA translation
    fake.write("block/sdc/dev", "8:32\n");
    fake.write("block/sdc/device/type", "0\n");
    fake.write("block/sdc/device/vendor", "JMicron\n");
    fake.write("block/sdc/device/vpd_pg89", "");  // USB bridge with SAT
    fake.nvmeController("nvme0", "244:0");
    fake.nvmeNamespace("nvme0n1", "nvme0");
    // Native multipath: the namespace hangs below its subsystem.
    fake.nvmeController("nvme1", "244:1");
    fake.link("devices/nvme-subsys1/nvme1", "../nvme1");
    fake.nvmeNamespace("nvme1n1", "nvme-subsys1");

    const SysfsDisks sysfs(fake.root().string());
    EXPECT_EQ(sysfs.protocolOf("sda"), SmartProtocol::Ata);
    EXPECT_EQ(sysfs.protocolOf("sdc"), SmartProtocol::Ata);
    EXPECT_EQ(sysfs.protocolOf("sdb"), SmartProtocol::None);
    EXPECT_EQ(sysfs.protocolOf("sr0"), SmartProtocol::None);
    EXPECT_EQ(sysfs.protocolOf("sda1x"), SmartProtocol::None);
    EXPECT_EQ(sysfs.protocolOf("sdz"), SmartProtocol::None);
    EXPECT_EQ(sysfs.protocolOf("nvme0n1"), SmartProtocol::Nvme);
    EXPECT_EQ(sysfs.protocolOf("nvme1n1"), SmartProtocol::Nvme);
    EXPECT_EQ(sysfs.nvmeController("nvme1n1"), "nvme1");
    EXPECT_EQ(sysfs.controllerDevice("nvme1"), makedev(244, 1));
    EXPECT_EQ(sysfs.blockDevice("sda"), makedev(8, 0));
    EXPECT_FALSE(sysfs.isWholeDisk("sda1x"));
    EXPECT_FALSE(sysfs.isWholeDisk(".."));
}

TEST(SysfsDisks, MalformedDeviceNumbers) {
    FakeSysfs fake;
    for (const char* text : {"", "8", "8:", ":0", "8:0x", "x:0", "8:0:1", "99999999999:0"}) {
        fake.write("block/sda/dev", std::string(text) + "\n");
        EXPECT_FALSE(SysfsDisks(fake.root().string()).blockDevice("sda")) << text;
    }
}

}  // namespace

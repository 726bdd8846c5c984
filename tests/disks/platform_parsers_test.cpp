// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/ata_identify.h"
#include "disks/platform/linux/mountinfo.h"
#include "disks/platform/linux/volume_labels.h"
#include "disks/platform/linux/zpool_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(MountInfo, ReadsFieldsAfterTheSeparatorAndUndoesEscapes) {
    const MountInfo info = parseMountInfo(
        "36 35 98:0 /mnt1 /media/a\\040b\\134c rw,noatime master:1 shared:2 - ext3 /dev/root rw\n"
        "37 35 8:1 / /x rw - ext4 /dev/sda1\n"  // no super options
        "\n"
        "38 35 8:1 / /short\n"                            // too few fields
        "39 35 8:x / /y rw - ext4 /dev/sda1 rw\n"         // bad device number
        "40 35 8:1 / /z rw shared:1 ext4 /dev/sda1 rw\n"  // no separator
        "41 35 8:1 / relative rw - ext4 /dev/sda1 rw\n"   // not a path
        "42 35 :1 / /w rw - ext4 /dev/sda1 rw");
    ASSERT_EQ(info.entries.size(), 2u);
    EXPECT_EQ(info.entries[0].major, 98u);
    EXPECT_EQ(info.entries[0].mountPoint, "/media/a b\\c");
    EXPECT_EQ(info.entries[0].fsType, "ext3");
    EXPECT_EQ(info.entries[0].source, "/dev/root");
    EXPECT_EQ(info.entries[1].source, "/dev/sda1");
    EXPECT_EQ(info.rejectedLines.size(), 5u);
}

TEST(MountInfo, FindsTheSeparatorAfterAnyNumberOfOptionalFields) {
    const MountInfo info = parseMountInfo(
        "50 1 8:2 / /many rw shared:1 master:2 propagate_from:3 unbindable - xfs /dev/sda2 rw\n"
        "51 1 8:3 / /tabs\trw\t-\text4\t/dev/sda3\n"
        "52 1 8:4 / /a rw - ext4\n"            // no source after the type
        "53 1 8:5 / /b - ext4 /dev/sda5 rw\n"  // the options field is missing
        "54 1 8:6 / /c rw - \n"                // nothing after the separator
        "55 1 8:7 / /d rw -- ext4 /dev/sda7\n");
    ASSERT_EQ(info.entries.size(), 2u);
    EXPECT_EQ(info.entries[0].fsType, "xfs");
    EXPECT_EQ(info.entries[0].source, "/dev/sda2");
    EXPECT_EQ(info.entries[1].mountPoint, "/tabs");
    EXPECT_EQ(info.entries[1].source, "/dev/sda3");
    ASSERT_EQ(info.rejectedLines.size(), 4u);
    EXPECT_EQ(info.rejectedLines[1], "53 1 8:5 / /b - ext4 /dev/sda5 rw");
}

TEST(MountInfo, KeepsEscapesThatAreNotOctal) {
    EXPECT_EQ(unescapeOctal("a\\040"), "a ");
    EXPECT_EQ(unescapeOctal("a\\04"), "a\\04");
    EXPECT_EQ(unescapeOctal("a\\400b"), "a\\400b");
    EXPECT_EQ(unescapeOctal("a\\09x"), "a\\09x");
    EXPECT_EQ(unescapeOctal("\\"), "\\");
}

TEST(VolumeLabels, PreferTheEncodedFormAndRejectHugeOnes) {
    UdevLabel label = labelFromUdevRecord(
        "S:disk/by-label/Home\\x20Files\nE:ID_FS_LABEL=Home_Files\n"
        "E:ID_FS_LABEL_ENC=Home\\x20Files\\x2fÜ\n");
    EXPECT_EQ(label.outcome, LabelParse::Found);
    EXPECT_EQ(label.label, "Home Files/Ü");
    EXPECT_EQ(labelFromUdevRecord("E:ID_FS_LABEL=Data\n").label, "Data");
    EXPECT_EQ(labelFromUdevRecord("E:ID_FS_LABEL_ENCX=1\nE:ID_FS_TYPE=ext4\n").outcome,
              LabelParse::Absent);
    EXPECT_EQ(labelFromUdevRecord("E:ID_FS_LABEL=\n").outcome, LabelParse::Absent);
    EXPECT_EQ(labelFromUdevRecord("E:ID_FS_LABEL=" + std::string(5000, 'x')).outcome,
              LabelParse::Rejected);
    EXPECT_EQ(decodeUdevEscapes("a\\x2"), "a\\x2");
    EXPECT_EQ(decodeUdevEscapes("a\\xzz\\x41"), "a\\xzzA");
}

std::vector<std::uint8_t> ataPage(const std::string& model) {
    std::vector<std::uint8_t> page(572, 0);
    page[1] = 0x89;
    page[56] = 0xEC;
    const std::string padded = (model + std::string(40, ' ')).substr(0, 40);
    for (std::size_t i = 0; i < 40; i += 2) {
        page[60 + 54 + i] = std::uint8_t(padded[i + 1]);
        page[60 + 54 + i + 1] = std::uint8_t(padded[i]);
    }
    page[60 + 510] = 0xA5;
    unsigned sum = 0;
    for (std::size_t i = 60; i < 60 + 511; ++i) {
        sum += page[i];
    }
    page[60 + 511] = std::uint8_t(256 - sum % 256);
    return page;
}

TEST(AtaInformationPage, ReadsTheFortyCharacterModel) {
    const std::string model = "Samsung SSD 870 QVO 8TB 0123456789ABCDEF";
    VpdParse parse = parseAtaInformationPage(ataPage(model));
    ASSERT_TRUE(parse.identity);
    EXPECT_EQ(parse.identity->model, model);

    std::vector<std::uint8_t> page = ataPage("X");
    EXPECT_EQ(parseAtaInformationPage(std::span(page).first(571)).problem, VpdProblem::TooShort);
    page[60 + 100] ^= 1;
    EXPECT_EQ(parseAtaInformationPage(page).problem, VpdProblem::BadChecksum);
    page = ataPage("X");
    page[1] = 0x80;
    EXPECT_EQ(parseAtaInformationPage(page).problem, VpdProblem::NotAtaInformation);
    page = ataPage("X");
    page[56] = 0;
    EXPECT_EQ(parseAtaInformationPage(page).problem, VpdProblem::NotIdentifyData);
}

TEST(AtaInformationPage, UnitSerialPageIsBoundsChecked) {
    const std::vector<std::uint8_t> good{0, 0x80, 0, 4, ' ', 'A', 'B', ' '};
    EXPECT_EQ(parseUnitSerialPage(good), "AB");
    const std::vector<std::uint8_t> lying{0, 0x80, 0, 200, 'A', 'B'};
    EXPECT_FALSE(parseUnitSerialPage(lying));
}

TEST(ZpoolList, TakesLeafDevicePathsPerPool) {
    const auto pools = parseZpoolList(
        "rpool\t1.81T\t612G\t-\tONLINE\t-\n"
        "\tmirror-0\t1.81T\t-\tONLINE\n"
        "\t/dev/nvme0n1p1\t-\t-\tONLINE\n"
        "\t/dev/disk/by-id/nvme-x-part1\t-\t-\tONLINE\n"
        "tank\t10T\n"
        "\traidz1-0\n"
        "\t/dev/sda\n"
        "logs\t-\n"
        "\t/dev/sdb\n"
        "\n\t\t\n");
    ASSERT_EQ(pools.size(), 2u);
    EXPECT_EQ(pools.at("rpool"),
              (std::vector<std::string>{"/dev/nvme0n1p1", "/dev/disk/by-id/nvme-x-part1"}));
    EXPECT_EQ(pools.at("tank"), (std::vector<std::string>{"/dev/sda", "/dev/sdb"}));
}

}  // namespace

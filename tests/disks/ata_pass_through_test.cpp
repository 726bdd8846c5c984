// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/ata_pass_through.h"
#include "disks/platform/linux/errno_result.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

// Descriptor-format sense with one ATA Status Return descriptor (SAT).
std::vector<std::uint8_t> descriptorSense(std::uint8_t mid, std::uint8_t high,
                                          std::uint8_t status) {
    std::vector<std::uint8_t> s(8 + 14, 0);
    s[0] = 0x72;
    s[1] = 0x01;  // recovered error
    s[3] = 0x1D;
    s[7] = 14;
    s[8] = 0x09;
    s[9] = 0x0C;
    s[8 + 9] = mid;
    s[8 + 11] = high;
    s[8 + 13] = status;
    return s;
}

// Fixed-format sense carrying ATA pass-through information (ASC 00h/ASCQ 1Dh).
std::vector<std::uint8_t> fixedSense(std::uint8_t mid, std::uint8_t high, std::uint8_t status) {
    std::vector<std::uint8_t> s(18, 0);
    s[0] = 0x70;
    s[2] = 0x01;
    s[4] = status;
    s[7] = 10;
    s[10] = mid;
    s[11] = high;
    s[13] = 0x1D;
    return s;
}

TEST(AtaPassThrough, CommandBlocks) {
    const Cdb16 data = ataSmartCdb(AtaSmartCommand::ReadData);
    EXPECT_EQ(data, (Cdb16{0x85, 0x08, 0x0E, 0, 0xD0, 0, 1, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0}));
    const Cdb16 status = ataSmartCdb(AtaSmartCommand::ReturnStatus);
    EXPECT_EQ(status, (Cdb16{0x85, 0x06, 0x20, 0, 0xDA, 0, 0, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0}));
    EXPECT_EQ(ataSmartCdb(AtaSmartCommand::ReadThresholds)[4], 0xD1);

    // READ LOG EXT of Device Statistics page 7: 48-bit (extend), one page in,
    // log address in LBA (7:0), page number in LBA (15:8).
    EXPECT_EQ(ataReadLogExtCdb(0x04, 7),
              (Cdb16{0x85, 0x09, 0x0E, 0, 0, 0, 1, 0, 0x04, 0, 0x07, 0, 0, 0, 0x2F, 0}));
    EXPECT_EQ(ataReadLogExtCdb(0x04, 0x0102)[11], 0x01);
    // CHECK POWER MODE: no data, registers back in the sense.
    EXPECT_EQ(ataCheckPowerModeCdb(),
              (Cdb16{0x85, 0x06, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE5, 0}));
}

TEST(AtaPassThrough, PowerModeCountInBothSenseFormats) {
    std::vector<std::uint8_t> descriptor = descriptorSense(0, 0, 0x50);
    descriptor[8 + 5] = 0x00;  // standby
    std::vector<std::uint8_t> fixed = fixedSense(0, 0, 0x50);
    fixed[6] = 0x80;  // idle
    const auto fromDescriptor = ataRegistersFromSense(descriptor);
    const auto fromFixed = ataRegistersFromSense(fixed);
    ASSERT_TRUE(fromDescriptor && fromFixed);
    EXPECT_EQ(fromDescriptor->count, 0x00);
    EXPECT_EQ(fromFixed->count, 0x80);
    descriptor[8 + 5] = 0xFF;
    EXPECT_EQ(ataRegistersFromSense(descriptor)->count, 0xFF);

    EXPECT_EQ(powerModeOf({kIOReturnSuccess, 0x00}), PowerMode::Standby);
    EXPECT_EQ(powerModeOf({kIOReturnSuccess, 0x01}), PowerMode::Standby);
    EXPECT_EQ(powerModeOf({kIOReturnSuccess, 0x82}), PowerMode::Idle);
    EXPECT_EQ(powerModeOf({kIOReturnSuccess, 0xFF}), PowerMode::Active);
    EXPECT_EQ(powerModeOf({kIOReturnNotResponding, 0}), PowerMode::Sleep);
    // A failed question says nothing: such a disk is read as before.
    EXPECT_EQ(powerModeOf({kIOReturnError, 0x00}), PowerMode::Unknown);
    EXPECT_EQ(powerModeOf({kIOReturnNoResources, 0x00}), PowerMode::Unknown);
}

TEST(AtaPassThrough, ReturnStatusInBothSenseFormats) {
    for (const auto& make : {descriptorSense, fixedSense}) {
        const AtaStatusAnswer good =
            ataStatusFromRegisters(ataRegistersFromSense(make(0x4F, 0xC2, 0x50)));
        EXPECT_EQ(good.result, kIOReturnSuccess);
        EXPECT_TRUE(good.answered);
        EXPECT_FALSE(good.thresholdExceeded);

        const AtaStatusAnswer bad =
            ataStatusFromRegisters(ataRegistersFromSense(make(0xF4, 0x2C, 0x50)));
        EXPECT_EQ(bad.result, kIOReturnSuccess);
        EXPECT_TRUE(bad.answered);
        EXPECT_TRUE(bad.thresholdExceeded);

        // The verdict came, but the drive flagged an error with it.
        const AtaStatusAnswer flagged =
            ataStatusFromRegisters(ataRegistersFromSense(make(0x4F, 0xC2, 0x51)));
        EXPECT_EQ(flagged.result, kIOReturnError);
        EXPECT_TRUE(flagged.answered);

        const AtaStatusAnswer neither =
            ataStatusFromRegisters(ataRegistersFromSense(make(0x00, 0x00, 0x50)));
        EXPECT_FALSE(neither.answered);
        EXPECT_NE(neither.result, kIOReturnSuccess);
    }
}

TEST(AtaPassThrough, MalformedSenseIsRejected) {
    EXPECT_FALSE(ataRegistersFromSense({}));
    auto d = descriptorSense(0x4F, 0xC2, 0x50);
    // Truncated descriptor, and an additional length pointing past the buffer.
    EXPECT_FALSE(ataRegistersFromSense(std::span(d).first(15)));
    d[9] = 0xFF;
    EXPECT_FALSE(ataRegistersFromSense(d));
    d = descriptorSense(0x4F, 0xC2, 0x50);
    d[8] = 0x00;  // another descriptor type
    EXPECT_FALSE(ataRegistersFromSense(d));
    d[9] = 0x00;  // zero-length descriptors are stepped over, not looped on
    EXPECT_FALSE(ataRegistersFromSense(d));

    auto f = fixedSense(0x4F, 0xC2, 0x50);
    f[13] = 0x00;  // no ATA pass-through information: the registers are not there
    EXPECT_FALSE(ataRegistersFromSense(f));
    const auto fixedFull = fixedSense(0x4F, 0xC2, 0x50);
    EXPECT_FALSE(ataRegistersFromSense(std::span(fixedFull).first(13)));
    const std::vector<std::uint8_t> unknownFormat{0x7F, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ataRegistersFromSense(unknownFormat));
    EXPECT_EQ(senseKey(unknownFormat), 0);
    EXPECT_EQ(senseKey(fixedSense(0, 0, 0)), 0x01);
}

TEST(AtaPassThrough, ErrnoToResultCodes) {
    EXPECT_EQ(resultFromErrno(ENOENT), kIOReturnNoResources);
    EXPECT_EQ(resultFromErrno(ENOTTY), kIOReturnNoResources);
    EXPECT_EQ(resultFromErrno(EBUSY), kIOReturnNotResponding);
    EXPECT_EQ(resultFromErrno(ETIMEDOUT), kIOReturnNotResponding);
    EXPECT_EQ(resultFromErrno(EAGAIN), kIOReturnNotResponding);
    EXPECT_EQ(resultFromErrno(EACCES), kIOReturnNotPrivileged);
    EXPECT_EQ(resultFromErrno(EIO), kIOReturnError);
}

}  // namespace

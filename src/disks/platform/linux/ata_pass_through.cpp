// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/ata_pass_through.h"

namespace {

constexpr std::uint8_t kAtaPassThrough16 = 0x85;
constexpr std::uint8_t kAtaSmart = 0xB0;
constexpr std::uint8_t kAtaReadLogExt = 0x2F;
constexpr std::uint8_t kAtaCheckPowerMode = 0xE5;
constexpr std::uint8_t kExtend = 0x01;
constexpr std::uint8_t kSmartLbaMid = 0x4F;
constexpr std::uint8_t kSmartLbaHigh = 0xC2;
constexpr std::uint8_t kExceededLbaMid = 0xF4;
constexpr std::uint8_t kExceededLbaHigh = 0x2C;
constexpr std::uint8_t kAtaStatusErr = 0x01;

constexpr std::uint8_t kProtocolNonData = 3;
constexpr std::uint8_t kProtocolPioDataIn = 4;
constexpr std::uint8_t kCkCond = 0x20;
// T_DIR (from device), BYT_BLOK (count in blocks), T_LENGTH = count field.
constexpr std::uint8_t kTransferInBlocksByCount = 0x08 | 0x04 | 0x02;

constexpr std::uint8_t kAtaStatusReturnDescriptor = 0x09;

}  // namespace

Cdb16 ataSmartCdb(AtaSmartCommand command) {
    Cdb16 cdb{};
    cdb[0] = kAtaPassThrough16;
    if (command == AtaSmartCommand::ReturnStatus) {
        cdb[1] = kProtocolNonData << 1;
        cdb[2] = kCkCond;
    } else {
        cdb[1] = kProtocolPioDataIn << 1;
        cdb[2] = kTransferInBlocksByCount;
        cdb[6] = 1;  // one block
    }
    cdb[4] = std::uint8_t(command);  // features (7:0)
    cdb[10] = kSmartLbaMid;          // LBA (15:8)
    cdb[12] = kSmartLbaHigh;         // LBA (23:16)
    cdb[14] = kAtaSmart;
    return cdb;
}

Cdb16 ataReadLogExtCdb(std::uint8_t log, std::uint16_t page) {
    Cdb16 cdb{};
    cdb[0] = kAtaPassThrough16;
    cdb[1] = kProtocolPioDataIn << 1 | kExtend;
    cdb[2] = kTransferInBlocksByCount;
    cdb[6] = 1;                         // one page
    cdb[8] = log;                       // LBA (7:0): log address
    cdb[10] = std::uint8_t(page);       // LBA (15:8): page (7:0)
    cdb[11] = std::uint8_t(page >> 8);  // LBA (47:40): page (15:8)
    cdb[14] = kAtaReadLogExt;
    return cdb;
}

Cdb16 ataCheckPowerModeCdb() {
    Cdb16 cdb{};
    cdb[0] = kAtaPassThrough16;
    cdb[1] = kProtocolNonData << 1;
    cdb[2] = kCkCond;
    cdb[14] = kAtaCheckPowerMode;
    return cdb;
}

std::optional<AtaRegisters> ataRegistersFromSense(std::span<const std::uint8_t> sense) {
    if (sense.empty()) {
        return std::nullopt;
    }
    const std::uint8_t format = sense[0] & 0x7F;
    if (format == 0x72 || format == 0x73) {
        if (sense.size() < 8) {
            return std::nullopt;
        }
        const std::size_t end = std::min(sense.size(), std::size_t(8) + sense[7]);
        std::size_t at = 8;
        while (at + 2 <= end) {
            const std::size_t length = 2 + std::size_t(sense[at + 1]);
            if (at + length > end) {
                break;
            }
            const auto descriptor = sense.subspan(at, length);
            if (descriptor[0] == kAtaStatusReturnDescriptor && length >= 14) {
                return AtaRegisters{.error = descriptor[3],
                                    .status = descriptor[13],
                                    .lbaMid = descriptor[9],
                                    .lbaHigh = descriptor[11],
                                    .count = descriptor[5]};
            }
            at += length;
        }
        return std::nullopt;
    }
    if (format == 0x70 || format == 0x71) {
        // ATA PASS-THROUGH INFORMATION AVAILABLE (ASC 00h, ASCQ 1Dh): the
        // information field holds error/status, the command-specific field LBA.
        if (sense.size() < 14 || sense[12] != 0x00 || sense[13] != 0x1D) {
            return std::nullopt;
        }
        return AtaRegisters{.error = sense[3],
                            .status = sense[4],
                            .lbaMid = sense[10],
                            .lbaHigh = sense[11],
                            .count = sense[6]};
    }
    return std::nullopt;
}

std::uint8_t senseKey(std::span<const std::uint8_t> sense) {
    if (sense.empty()) {
        return 0;
    }
    const std::uint8_t format = sense[0] & 0x7F;
    if ((format == 0x72 || format == 0x73) && sense.size() > 1) {
        return sense[1] & 0x0F;
    }
    if ((format == 0x70 || format == 0x71) && sense.size() > 2) {
        return sense[2] & 0x0F;
    }
    return 0;
}

AtaStatusAnswer ataStatusFromRegisters(const std::optional<AtaRegisters>& registers) {
    AtaStatusAnswer answer;
    if (!registers) {
        return answer;
    }
    if (registers->lbaMid == kSmartLbaMid && registers->lbaHigh == kSmartLbaHigh) {
        answer.answered = true;
    } else if (registers->lbaMid == kExceededLbaMid && registers->lbaHigh == kExceededLbaHigh) {
        answer.answered = true;
        answer.thresholdExceeded = true;
    } else {
        return answer;
    }
    answer.result = (registers->status & kAtaStatusErr) ? kIOReturnError : kIOReturnSuccess;
    return answer;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/ata_identify.h"

namespace {

constexpr std::size_t kIdentifyOffset = 60;  // after the header, SAT ids and signature
constexpr std::size_t kIdentifySize = 512;
constexpr std::uint8_t kAtaInformationPage = 0x89;
constexpr std::uint8_t kIdentifyDevice = 0xEC;
constexpr std::uint8_t kIdentifyPacketDevice = 0xA1;
constexpr std::uint8_t kIntegritySignature = 0xA5;

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\0'; };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

// ATA strings store two characters per word, the first in the high byte.
std::string ataString(std::span<const std::uint8_t> identify, std::size_t firstWord,
                      std::size_t lastWord) {
    std::string text;
    for (std::size_t word = firstWord; word <= lastWord; ++word) {
        const std::uint8_t high = identify[2 * word + 1];
        const std::uint8_t low = identify[2 * word];
        for (const std::uint8_t c : {high, low}) {
            // Anything outside printable ASCII is a damaged page, not a name.
            text.push_back(c >= 0x20 && c < 0x7F ? char(c) : ' ');
        }
    }
    return trimmed(std::move(text));
}

}  // namespace

VpdParse parseAtaInformationPage(std::span<const std::uint8_t> page) {
    VpdParse result;
    if (page.size() < kIdentifyOffset + kIdentifySize) {
        result.problem = VpdProblem::TooShort;
        return result;
    }
    if (page[1] != kAtaInformationPage) {
        result.problem = VpdProblem::NotAtaInformation;
        return result;
    }
    if (page[56] != kIdentifyDevice && page[56] != kIdentifyPacketDevice) {
        result.problem = VpdProblem::NotIdentifyData;
        return result;
    }
    const std::span<const std::uint8_t> identify = page.subspan(kIdentifyOffset, kIdentifySize);
    if (identify[510] == kIntegritySignature) {
        unsigned sum = 0;
        for (const std::uint8_t b : identify) {
            sum += b;
        }
        if (sum % 256 != 0) {
            result.problem = VpdProblem::BadChecksum;
            return result;
        }
    }
    result.identity = AtaIdentity{ataString(identify, 27, 46), ataString(identify, 10, 19),
                                  ataString(identify, 23, 26)};
    return result;
}

std::optional<std::string> parseUnitSerialPage(std::span<const std::uint8_t> page) {
    if (page.size() < 4 || page[1] != 0x80) {
        return std::nullopt;
    }
    const std::size_t length = (std::size_t(page[2]) << 8) | page[3];
    if (length == 0 || 4 + length > page.size()) {
        return std::nullopt;
    }
    std::string text;
    for (const std::uint8_t c : page.subspan(4, length)) {
        text.push_back(c >= 0x20 && c < 0x7F ? char(c) : ' ');
    }
    text = trimmed(std::move(text));
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

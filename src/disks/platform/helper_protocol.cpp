// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/helper_protocol.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct OperationName {
    HelperOperation operation;
    std::string_view name;
};

constexpr std::array<OperationName, 9> kOperations{{
    {HelperOperation::AtaStatus, "ata-status"},
    {HelperOperation::AtaData, "ata-data"},
    {HelperOperation::AtaThresholds, "ata-thresholds"},
    {HelperOperation::NvmeLog, "nvme-log"},
    {HelperOperation::AtaPowerMode, "ata-power-mode"},
    {HelperOperation::AtaDeviceStatistics0, "ata-devstat-0"},
    {HelperOperation::AtaDeviceStatistics1, "ata-devstat-1"},
    {HelperOperation::AtaDeviceStatistics5, "ata-devstat-5"},
    {HelperOperation::AtaDeviceStatistics7, "ata-devstat-7"},
}};

struct StatisticsOperation {
    HelperOperation operation;
    std::uint8_t page;
};

constexpr std::array<StatisticsOperation, 4> kStatisticsOperations{{
    {HelperOperation::AtaDeviceStatistics0, 0x00},
    {HelperOperation::AtaDeviceStatistics1, 0x01},
    {HelperOperation::AtaDeviceStatistics5, 0x05},
    {HelperOperation::AtaDeviceStatistics7, 0x07},
}};

constexpr std::string_view kAnswerTag = "S1";
constexpr std::string_view kVersionTag = "v2";
constexpr std::size_t kMaxAnswerHeader = 63;

// Splits off the next blank-separated field; empty when none is left.
std::string_view nextField(std::string_view& rest) {
    const std::size_t blank = rest.find(' ');
    const std::string_view field = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return field;
}

template <typename T>
bool parseNumber(std::string_view text, T& value, int base) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

bool parseFlag(std::string_view text, bool& flag) {
    if (text != "0" && text != "1") {
        return false;
    }
    flag = text == "1";
    return true;
}

}  // namespace

std::optional<std::uint8_t> deviceStatisticsPageOf(HelperOperation operation) {
    for (const StatisticsOperation& s : kStatisticsOperations) {
        if (s.operation == operation) {
            return s.page;
        }
    }
    return std::nullopt;
}

std::optional<HelperOperation> deviceStatisticsOperation(std::uint8_t page) {
    for (const StatisticsOperation& s : kStatisticsOperations) {
        if (s.page == page) {
            return s.operation;
        }
    }
    return std::nullopt;
}

ParsedRequest parseHelperRequest(std::span<const std::uint8_t> input) {
    ParsedRequest parsed;
    if (input.empty()) {
        parsed.error = RequestError::Empty;
        return parsed;
    }
    const auto newline = std::find(input.begin(), input.end(), std::uint8_t('\n'));
    const std::size_t lineLength = std::size_t(newline - input.begin());
    if (lineLength + 1 > kMaxRequestLine) {
        parsed.error = RequestError::TooLong;
        return parsed;
    }
    if (newline == input.end()) {
        parsed.error = RequestError::Unterminated;
        return parsed;
    }
    const std::string_view line(reinterpret_cast<const char*>(input.data()), lineLength);
    std::string_view rest = line;
    const std::string_view operation = nextField(rest);
    const std::string_view disk = nextField(rest);
    const bool versioned = !rest.empty();
    const std::string_view version = versioned ? nextField(rest) : std::string_view();
    const std::size_t expected =
        operation.size() + 1 + disk.size() + (versioned ? 1 + version.size() : 0);
    if (operation.empty() || disk.empty() || !rest.empty() || line.size() != expected ||
        (versioned && version != kVersionTag)) {
        parsed.error = RequestError::Malformed;
        return parsed;
    }
    const auto known = std::find_if(kOperations.begin(), kOperations.end(),
                                    [&](const OperationName& o) { return o.name == operation; });
    if (known == kOperations.end()) {
        parsed.error = RequestError::UnknownOperation;
        return parsed;
    }
    if (!isPlausibleDiskName(disk)) {
        parsed.error = RequestError::BadName;
        return parsed;
    }
    parsed.request.operation = known->operation;
    parsed.request.disk = std::string(disk);
    parsed.request.version = versioned ? kHelperProtocolVersion : 1;
    return parsed;
}

std::string formatHelperRequest(const HelperRequest& request) {
    for (const OperationName& o : kOperations) {
        if (o.operation == request.operation) {
            return std::string(o.name) + ' ' + request.disk +
                   (request.version >= kHelperProtocolVersion ? " v2\n" : "\n");
        }
    }
    return {};
}

std::string_view requestErrorText(RequestError error) {
    switch (error) {
        case RequestError::None:
            return "ok";
        case RequestError::Empty:
            return "empty request";
        case RequestError::TooLong:
            return "request line too long";
        case RequestError::Unterminated:
            return "request line not terminated";
        case RequestError::Malformed:
            return "malformed request";
        case RequestError::UnknownOperation:
            return "unknown operation";
        case RequestError::BadName:
            return "not a disk name";
    }
    return "invalid request";
}

std::vector<std::uint8_t> encodeHelperAnswer(const HelperAnswer& answer) {
    std::array<char, 64> header{};
    const int length = std::snprintf(header.data(), header.size(), "%s %08x %d %d %zu\n",
                                     kAnswerTag.data(), unsigned(answer.result),
                                     answer.answered ? 1 : 0, answer.thresholdExceeded ? 1 : 0,
                                     answer.page ? answer.page->size() : std::size_t(0));
    std::vector<std::uint8_t> bytes(header.begin(), header.begin() + length);
    if (answer.page) {
        bytes.insert(bytes.end(), answer.page->begin(), answer.page->end());
    }
    return bytes;
}

namespace {

struct AnswerHeader {
    HelperAnswer answer;
    std::size_t headerSize = 0;  // with the newline
    std::size_t length = 0;
};

enum class HeaderState { Incomplete, Invalid, Complete };

// The header line at the start of `bytes`; the body is not looked at.
HeaderState parseAnswerHeader(std::span<const std::uint8_t> bytes, AnswerHeader& header) {
    const std::size_t searched = std::min(bytes.size(), kMaxAnswerHeader + 1);
    const auto end = bytes.begin() + std::ptrdiff_t(searched);
    const auto newline = std::find(bytes.begin(), end, std::uint8_t('\n'));
    if (newline == end) {
        return searched > kMaxAnswerHeader ? HeaderState::Invalid : HeaderState::Incomplete;
    }
    std::string_view rest(reinterpret_cast<const char*>(bytes.data()),
                          std::size_t(newline - bytes.begin()));
    std::uint32_t result = 0;
    HelperAnswer& answer = header.answer;
    if (nextField(rest) != kAnswerTag || !parseNumber(nextField(rest), result, 16) ||
        !parseFlag(nextField(rest), answer.answered) ||
        !parseFlag(nextField(rest), answer.thresholdExceeded) ||
        !parseNumber(nextField(rest), header.length, 10) || !rest.empty() ||
        (header.length != 0 && header.length != kSmartPageSize)) {
        return HeaderState::Invalid;
    }
    answer.result = IOReturn(result);
    header.headerSize = std::size_t(newline - bytes.begin()) + 1;
    return HeaderState::Complete;
}

}  // namespace

AnswerFrame helperAnswerFrame(std::span<const std::uint8_t> bytes) {
    AnswerHeader header;
    switch (parseAnswerHeader(bytes, header)) {
        case HeaderState::Incomplete:
            return {};
        case HeaderState::Invalid:
            return {AnswerFrame::State::Invalid, 0};
        case HeaderState::Complete:
            break;
    }
    return {AnswerFrame::State::Complete, header.headerSize + header.length};
}

std::optional<HelperAnswer> decodeHelperAnswer(std::span<const std::uint8_t> bytes) {
    AnswerHeader header;
    if (parseAnswerHeader(bytes, header) != HeaderState::Complete) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> body = bytes.subspan(header.headerSize);
    const std::size_t length = header.length;
    if (body.size() != length) {
        return std::nullopt;
    }
    HelperAnswer answer = header.answer;
    if (length == kSmartPageSize) {
        SmartPage page{};
        std::copy(body.begin(), body.end(), page.begin());
        answer.page = page;
    }
    return answer;
}

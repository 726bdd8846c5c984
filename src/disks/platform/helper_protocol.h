// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/smart_access.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The wire format between the unprivileged reader and ostrivane-smart-helper.
//
// Request: one line "<operation> <disk>[ v2]\n", at most kMaxRequestLine bytes
// with the newline; the operation is one of a fixed set and the disk a bare
// kernel name. Nothing else from the caller reaches the helper's device
// commands.
//
// Answer: one header line "S1 <result, 8 hex digits> <answered 0|1>
// <exceeded 0|1> <length>\n" followed by exactly <length> bytes (0 or 512).
//
// Without a version the helper answers once and closes, as it always did. A
// "v2" request keeps the connection open for the next request, each checked
// as the first; after kMaxRequestsPerConnection requests, a refused one, or
// kHelperIdleTimeout without one, the helper answers what it has and closes.

// Where ostrivane-smart.socket listens.
inline constexpr const char* kSmartSocketPath = "/run/ostrivane/smart.sock";

enum class HelperOperation {
    AtaStatus,
    AtaData,
    AtaThresholds,
    NvmeLog,
    // CHECK POWER MODE; the answer's page carries the count register in byte 0.
    AtaPowerMode,
    // READ LOG EXT of one fixed page of the Device Statistics log.
    AtaDeviceStatistics0,
    AtaDeviceStatistics1,
    AtaDeviceStatistics5,
    AtaDeviceStatistics7,
};

// The Device Statistics page of an operation; absent for the other operations.
std::optional<std::uint8_t> deviceStatisticsPageOf(HelperOperation operation);
std::optional<HelperOperation> deviceStatisticsOperation(std::uint8_t page);

inline constexpr int kHelperProtocolVersion = 2;

struct HelperRequest {
    HelperOperation operation = HelperOperation::AtaStatus;
    std::string disk;
    // 1: one request per connection; 2: more may follow on the same connection.
    int version = 1;
};

enum class RequestError {
    None,
    Empty,
    TooLong,
    Unterminated,
    Malformed,
    UnknownOperation,
    BadName
};

inline constexpr std::size_t kMaxRequestLine = 64;
// A check asks at most three questions per drive (and retries a few); the
// bound only keeps one connection from holding a helper without end.
inline constexpr std::size_t kMaxRequestsPerConnection = 256;
inline constexpr int kHelperIdleTimeoutMs = 10000;

struct ParsedRequest {
    RequestError error = RequestError::None;
    HelperRequest request;
};

// Parses the bytes read from the caller (up to the first newline; whatever
// follows it is ignored). The disk name is only checked for its form here;
// whether it is a real whole disk is the helper's next check.
ParsedRequest parseHelperRequest(std::span<const std::uint8_t> input);
std::string formatHelperRequest(const HelperRequest& request);
std::string_view requestErrorText(RequestError error);

struct HelperAnswer {
    IOReturn result = kIOReturnError;
    bool answered = false;
    bool thresholdExceeded = false;
    std::optional<SmartPage> page;
};

inline constexpr std::size_t kMaxAnswerSize = 64 + kSmartPageSize;

std::vector<std::uint8_t> encodeHelperAnswer(const HelperAnswer& answer);
// Absent when the bytes are not exactly one well-formed answer.
std::optional<HelperAnswer> decodeHelperAnswer(std::span<const std::uint8_t> bytes);

// How far a stream of answers has come: the size of the whole first answer
// once its header line is in `bytes`.
struct AnswerFrame {
    enum class State { Incomplete, Invalid, Complete };
    State state = State::Incomplete;
    std::size_t size = 0;  // header and body, when Complete
};
AnswerFrame helperAnswerFrame(std::span<const std::uint8_t> bytes);

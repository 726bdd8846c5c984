// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the helper's request parser and the client's answer
// decoder must accept or refuse any bytes without reading out of bounds,
// also when one connection carries many requests or answers.
#include "disks/platform/helper_protocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// An accepted request re-formats to a line the parser accepts again.
void checkRoundTrip(const ParsedRequest& parsed) {
    const std::string line = formatHelperRequest(parsed.request);
    const ParsedRequest again = parseHelperRequest(
        std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
    if (again.error != RequestError::None || again.request.disk != parsed.request.disk ||
        again.request.version != parsed.request.version ||
        again.request.operation != parsed.request.operation) {
        __builtin_trap();
    }
    // A log read names one of the fixed Device Statistics pages, and only that
    // page maps back to it: no request reaches any other page of any log.
    if (const std::optional<std::uint8_t> page = deviceStatisticsPageOf(parsed.request.operation)) {
        if (!isDeviceStatisticsPage(*page) ||
            deviceStatisticsOperation(*page) != parsed.request.operation) {
            __builtin_trap();
        }
    }
}

// A decoded answer (a power mode's count, a log page) encodes to an answer
// that decodes to the same fields, within the bound the client reads.
void checkAnswerRoundTrip(const HelperAnswer& answer) {
    const std::vector<std::uint8_t> again = encodeHelperAnswer(answer);
    const std::optional<HelperAnswer> decoded = decodeHelperAnswer(again);
    if (!decoded || decoded->result != answer.result || decoded->page != answer.page ||
        decoded->answered != answer.answered || again.size() > kMaxAnswerSize) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    // The helper's view: request after request, as its session reads them
    // (each at most kMaxRequestLine bytes, up to and with its newline).
    std::span<const std::uint8_t> rest = input;
    for (std::size_t served = 0; served < kMaxRequestsPerConnection && !rest.empty(); ++served) {
        const std::size_t window = std::min(rest.size(), kMaxRequestLine);
        const auto newline =
            std::find(rest.begin(), rest.begin() + std::ptrdiff_t(window), std::uint8_t('\n'));
        const std::size_t taken = newline == rest.begin() + std::ptrdiff_t(window)
                                      ? window
                                      : std::size_t(newline - rest.begin()) + 1;
        const ParsedRequest parsed = parseHelperRequest(rest.first(taken));
        rest = rest.subspan(taken);
        if (parsed.error != RequestError::None) {
            break;
        }
        checkRoundTrip(parsed);
        if (parsed.request.version < kHelperProtocolVersion) {
            break;
        }
    }

    // The client's view: a stream of framed answers, each decoded alone.
    (void)decodeHelperAnswer(input);
    std::span<const std::uint8_t> answers = input;
    while (!answers.empty()) {
        const AnswerFrame frame = helperAnswerFrame(answers);
        if (frame.state != AnswerFrame::State::Complete || frame.size > answers.size()) {
            break;
        }
        const std::optional<HelperAnswer> answer = decodeHelperAnswer(answers.first(frame.size));
        if (!answer) {
            __builtin_trap();  // a complete frame is a well-formed answer
        }
        checkAnswerRoundTrip(*answer);
        answers = answers.subspan(frame.size);
    }
    return 0;
}

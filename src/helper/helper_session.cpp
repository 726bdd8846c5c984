// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/helper_session.h"

#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>

HelperAnswer answerHelperRequest(const ParsedRequest& parsed, SmartAccess& access,
                                 const SysfsDisks& sysfs) {
    HelperAnswer answer;
    if (parsed.error != RequestError::None) {
        answer.result = kIOReturnBadArgument;
        return answer;
    }
    const std::string& disk = parsed.request.disk;
    if (!sysfs.isWholeDisk(disk)) {
        answer.result = kIOReturnNoResources;
        return answer;
    }
    const auto fromPage = [&answer](const PageAnswer& page) {
        answer.result = page.result;
        if (page.result == kIOReturnSuccess) {
            answer.page = page.page;
        }
    };
    switch (parsed.request.operation) {
        case HelperOperation::AtaStatus: {
            const AtaStatusAnswer status = access.ataReturnStatus(disk);
            answer.result = status.result;
            answer.answered = status.answered;
            answer.thresholdExceeded = status.thresholdExceeded;
            break;
        }
        case HelperOperation::AtaData:
            fromPage(access.ataReadData(disk));
            break;
        case HelperOperation::AtaThresholds:
            fromPage(access.ataReadThresholds(disk));
            break;
        case HelperOperation::NvmeLog:
            fromPage(access.nvmeHealthLog(disk));
            break;
        case HelperOperation::AtaPowerMode: {
            const PowerModeAnswer mode = access.ataPowerMode(disk);
            answer.result = mode.result;
            if (mode.result == kIOReturnSuccess) {
                SmartPage page{};
                page[0] = mode.count;
                answer.page = page;
            }
            break;
        }
        case HelperOperation::AtaDeviceStatistics0:
        case HelperOperation::AtaDeviceStatistics1:
        case HelperOperation::AtaDeviceStatistics5:
        case HelperOperation::AtaDeviceStatistics7:
            fromPage(access.ataDeviceStatistics(
                disk, deviceStatisticsPageOf(parsed.request.operation).value_or(0)));
            break;
    }
    return answer;
}

std::vector<std::uint8_t> readHelperRequest(int fd) {
    std::vector<std::uint8_t> bytes;
    std::uint8_t byte = 0;
    // Byte by byte, so nothing past the request line is consumed; the line is short.
    while (bytes.size() < kMaxRequestLine) {
        const ssize_t n = ::read(fd, &byte, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        bytes.push_back(byte);
        if (byte == '\n') {
            break;
        }
    }
    return bytes;
}

namespace {

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += std::size_t(n);
    }
    return true;
}

// Whether a next request arrives (or the caller hangs up) within the time.
bool waitForInput(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0;
    }
}

}  // namespace

int serveHelperRequest(int in, int out, SmartAccess& access, const SysfsDisks& sysfs,
                       const HelperSessionLimits& limits) {
    for (std::size_t served = 0; served < std::max<std::size_t>(limits.maxRequests, 1); ++served) {
        if (served > 0 && !waitForInput(in, limits.idleTimeoutMs)) {
            return 0;
        }
        if (limits.beforeRequest) {
            limits.beforeRequest();
        }
        const std::vector<std::uint8_t> input = readHelperRequest(in);
        if (served > 0 && input.empty()) {
            return 0;  // the caller is done
        }
        const ParsedRequest parsed = parseHelperRequest(input);
        if (parsed.error != RequestError::None) {
            std::fprintf(stderr, "ostrivane-smart-helper: refused: %.*s\n",
                         int(requestErrorText(parsed.error).size()),
                         requestErrorText(parsed.error).data());
        }
        if (!writeAll(out, encodeHelperAnswer(answerHelperRequest(parsed, access, sysfs)))) {
            return 1;
        }
        if (parsed.error != RequestError::None) {
            return 2;
        }
        if (parsed.request.version < kHelperProtocolVersion) {
            return 0;
        }
    }
    return 0;
}

#include "helper/helper_session.h"

#include <unistd.h>
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

int serveHelperRequest(int in, int out, SmartAccess& access, const SysfsDisks& sysfs) {
    const std::vector<std::uint8_t> input = readHelperRequest(in);
    const ParsedRequest parsed = parseHelperRequest(input);
    if (parsed.error != RequestError::None) {
        std::fprintf(stderr, "ostrivane-smart-helper: refused: %.*s\n",
                     int(requestErrorText(parsed.error).size()),
                     requestErrorText(parsed.error).data());
    }
    const std::vector<std::uint8_t> answer =
        encodeHelperAnswer(answerHelperRequest(parsed, access, sysfs));
    std::size_t written = 0;
    while (written < answer.size()) {
        const ssize_t n = ::write(out, answer.data() + written, answer.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return 1;
        }
        written += std::size_t(n);
    }
    return parsed.error == RequestError::None ? 0 : 2;
}

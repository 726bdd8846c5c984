// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/helper_client.h"

#include "disks/platform/linux/sysfs_disks.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

// Connects to the socket; -1 when it cannot be reached.
int connectTo(const std::string& path, std::chrono::seconds timeout) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const timeval limit{.tv_sec = timeout.count(), .tv_usec = 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += std::size_t(n);
    }
    return true;
}

// Reads exactly one framed answer. Absent when the helper closed, timed out
// or sent something that is not an answer; the connection is then unusable.
std::optional<std::vector<std::uint8_t>> receiveAnswer(int fd) {
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 1024> chunk{};
    for (;;) {
        const AnswerFrame frame = helperAnswerFrame(bytes);
        if (frame.state == AnswerFrame::State::Invalid) {
            return std::nullopt;
        }
        std::size_t wanted = chunk.size();
        if (frame.state == AnswerFrame::State::Complete) {
            if (bytes.size() >= frame.size) {
                // The helper sends nothing unasked: more than one answer is a fault.
                return bytes.size() == frame.size ? std::optional(std::move(bytes)) : std::nullopt;
            }
            wanted = std::min(wanted, frame.size - bytes.size());
        }
        const ssize_t n = ::recv(fd, chunk.data(), wanted, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
}

}  // namespace

HelperClient::HelperClient(std::string socketPath, std::string sysRoot,
                           std::function<void()> unavailable)
    : socketPath_(std::move(socketPath)),
      sysfs_(std::make_unique<SysfsDisks>(std::move(sysRoot))),
      unavailable_(std::move(unavailable)) {}

HelperClient::~HelperClient() {
    disconnect();
}

void HelperClient::disconnect() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

SmartProtocol HelperClient::protocolOf(const std::string& disk) {
    return sysfs_->protocolOf(disk);
}

bool HelperClient::hasDisk(const std::string& disk) {
    return sysfs_->isWholeDisk(disk);
}

HelperAnswer HelperClient::ask(HelperOperation operation, const std::string& disk) {
    const std::lock_guard lock(mutex_);
    HelperAnswer failed;
    const std::string request = formatHelperRequest({operation, disk, kHelperProtocolVersion});
    // A kept connection may find the helper gone (idle or at its limit): then
    // once more on a new one. Every command is a read, so asking again is safe.
    for (;;) {
        if (fd_ >= 0 && std::chrono::steady_clock::now() - lastAnswer_ > kReuseWithin) {
            disconnect();
        }
        const bool kept = fd_ >= 0;
        if (!kept) {
            fd_ = connectTo(socketPath_, kAnswerTimeout);
            if (fd_ < 0) {
                if (!reported_ && unavailable_) {
                    unavailable_();
                }
                reported_ = true;
                failed.result = kIOReturnNotPrivileged;
                return failed;
            }
            ++connections_;
        }
        std::optional<std::vector<std::uint8_t>> bytes;
        if (sendAll(fd_, request)) {
            bytes = receiveAnswer(fd_);
        }
        if (bytes) {
            lastAnswer_ = std::chrono::steady_clock::now();
            if (auto answer = decodeHelperAnswer(*bytes)) {
                return *answer;
            }
        }
        disconnect();
        if (!kept) {
            failed.result = bytes ? kIOReturnError : kIOReturnNotResponding;
            return failed;
        }
    }
}

PageAnswer HelperClient::askPage(HelperOperation operation, const std::string& disk) {
    const HelperAnswer answer = ask(operation, disk);
    PageAnswer page;
    page.result = answer.result;
    if (answer.result == kIOReturnSuccess) {
        if (!answer.page) {
            page.result = kIOReturnError;
        } else {
            page.page = *answer.page;
        }
    }
    return page;
}

AtaStatusAnswer HelperClient::ataReturnStatus(const std::string& disk) {
    const HelperAnswer answer = ask(HelperOperation::AtaStatus, disk);
    return {answer.result, answer.answered, answer.thresholdExceeded};
}

PageAnswer HelperClient::ataReadData(const std::string& disk) {
    return askPage(HelperOperation::AtaData, disk);
}

PageAnswer HelperClient::ataReadThresholds(const std::string& disk) {
    return askPage(HelperOperation::AtaThresholds, disk);
}

PageAnswer HelperClient::nvmeHealthLog(const std::string& disk) {
    return askPage(HelperOperation::NvmeLog, disk);
}

PageAnswer HelperClient::ataDeviceStatistics(const std::string& disk, std::uint8_t page) {
    const std::optional<HelperOperation> operation = deviceStatisticsOperation(page);
    if (!operation) {
        return {kIOReturnBadArgument, {}};
    }
    return askPage(*operation, disk);
}

PowerModeAnswer HelperClient::ataPowerMode(const std::string& disk) {
    const PageAnswer answer = askPage(HelperOperation::AtaPowerMode, disk);
    return {answer.result, answer.result == kIOReturnSuccess ? answer.page[0] : std::uint8_t(0)};
}

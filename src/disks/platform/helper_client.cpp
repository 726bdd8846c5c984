#include "disks/platform/helper_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
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

// Reads until the helper closes; an answer longer than any valid one is cut
// off and then rejected by the decoder. Timed-out reads fail.
std::optional<std::vector<std::uint8_t>> receiveAll(int fd) {
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 1024> chunk{};
    while (bytes.size() <= kMaxAnswerSize) {
        const ssize_t n = ::recv(fd, chunk.data(), chunk.size(), 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
    return bytes;
}

}  // namespace

HelperClient::HelperClient(std::string socketPath, std::string sysRoot,
                           std::function<void()> unavailable)
    : socketPath_(std::move(socketPath)),
      sysfs_(std::move(sysRoot)),
      unavailable_(std::move(unavailable)) {}

SmartProtocol HelperClient::protocolOf(const std::string& disk) {
    return sysfs_.protocolOf(disk);
}

HelperAnswer HelperClient::ask(HelperOperation operation, const std::string& disk) {
    HelperAnswer failed;
    const int fd = connectTo(socketPath_, kAnswerTimeout);
    if (fd < 0) {
        if (!reported_ && unavailable_) {
            unavailable_();
        }
        reported_ = true;
        failed.result = kIOReturnNotPrivileged;
        return failed;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    if (sendAll(fd, formatHelperRequest({operation, disk}))) {
        ::shutdown(fd, SHUT_WR);
        bytes = receiveAll(fd);
    }
    ::close(fd);
    if (!bytes) {
        failed.result = kIOReturnNotResponding;
        return failed;
    }
    return decodeHelperAnswer(*bytes).value_or(failed);
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

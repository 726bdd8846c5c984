// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/linux_smart_access.h"

#include "disks/platform/linux/ata_pass_through.h"
#include "disks/platform/linux/errno_result.h"

#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

constexpr std::uint8_t kNvmeGetLogPage = 0x02;
constexpr std::uint8_t kNvmeHealthLogId = 0x02;
constexpr std::uint32_t kAllNamespaces = 0xFFFFFFFF;
constexpr std::uint8_t kDeviceStatisticsLog = 0x04;

constexpr unsigned kScsiCheckCondition = 0x02;
constexpr unsigned kHostTimeOut = 0x03;    // DID_TIME_OUT
constexpr unsigned kHostBusBusy = 0x02;    // DID_BUS_BUSY
constexpr unsigned kHostNoConnect = 0x01;  // DID_NO_CONNECT
constexpr unsigned kDriverTimeout = 0x06;  // DRIVER_TIMEOUT
constexpr std::uint8_t kSenseNotReady = 0x02;
constexpr std::uint8_t kSenseIllegalRequest = 0x05;
constexpr std::uint8_t kSenseRecovered = 0x01;

// A file descriptor closed on every path out.
class Node {
  public:
    explicit Node(int fd) : fd_(fd) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Opens a device node and checks it is the device sysfs names, so a stale or
// planted node in the device folder is never sent a command.
IOReturn openNode(const std::string& path, bool block, dev_t expected, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return resultFromErrno(errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (block ? !S_ISBLK(st.st_mode) : !S_ISCHR(st.st_mode)) ||
        st.st_rdev != expected) {
        ::close(fd);
        fd = -1;
        return kIOReturnNoResources;
    }
    return kIOReturnSuccess;
}

struct SgOutcome {
    IOReturn result = kIOReturnError;
    std::array<std::uint8_t, 64> sense{};
    std::size_t senseLength = 0;
    std::span<const std::uint8_t> senseBytes() const {
        return std::span(sense).first(std::min(senseLength, sense.size()));
    }
};

SgOutcome sendAtaCommand(int fd, Cdb16 cdb, std::span<std::uint8_t> data,
                         std::chrono::milliseconds timeout) {
    SgOutcome out;
    sg_io_hdr_t io{};
    io.interface_id = 'S';
    io.dxfer_direction = data.empty() ? SG_DXFER_NONE : SG_DXFER_FROM_DEV;
    io.cmd_len = cdb.size();
    io.cmdp = cdb.data();
    io.mx_sb_len = out.sense.size();
    io.sbp = out.sense.data();
    io.dxfer_len = unsigned(data.size());
    io.dxferp = data.empty() ? nullptr : data.data();
    io.timeout = unsigned(timeout.count());
    if (::ioctl(fd, SG_IO, &io) != 0) {
        out.result = resultFromErrno(errno);
        return out;
    }
    out.senseLength = io.sb_len_wr;
    if (io.host_status == kHostTimeOut || io.host_status == kHostBusBusy ||
        (io.driver_status & 0x0F) == kDriverTimeout) {
        out.result = kIOReturnNotResponding;
        return out;
    }
    if (io.host_status == kHostNoConnect) {
        out.result = kIOReturnNoResources;
        return out;
    }
    if (io.host_status != 0) {
        out.result = kIOReturnError;
        return out;
    }
    if (io.status == 0 || io.status == kScsiCheckCondition) {
        const std::uint8_t key = senseKey(out.senseBytes());
        if (io.status == 0 || key == 0 || key == kSenseRecovered) {
            out.result = kIOReturnSuccess;
        } else if (key == kSenseIllegalRequest) {
            // The device or its bridge does not take ATA pass-through.
            out.result = kIOReturnNoResources;
        } else if (key == kSenseNotReady) {
            out.result = kIOReturnNotResponding;
        } else {
            out.result = kIOReturnError;
        }
        return out;
    }
    out.result = kIOReturnError;
    return out;
}

}  // namespace

LinuxSmartAccess::LinuxSmartAccess(Roots roots, std::chrono::milliseconds timeout)
    : sysfs_(std::move(roots.sys)), devRoot_(std::move(roots.dev)), timeout_(timeout) {}

bool LinuxSmartAccess::hasDisk(const std::string& disk) {
    return sysfs_.isWholeDisk(disk);
}

SmartProtocol LinuxSmartAccess::protocolOf(const std::string& disk) {
    return sysfs_.protocolOf(disk);
}

IOReturn LinuxSmartAccess::openAtaDisk(const std::string& disk, int& fd) {
    const std::optional<dev_t> number = sysfs_.blockDevice(disk);
    if (!number || sysfs_.protocolOf(disk) != SmartProtocol::Ata) {
        return kIOReturnNoResources;
    }
    return openNode(devRoot_ + "/" + disk, true, *number, fd);
}

AtaStatusAnswer LinuxSmartAccess::ataReturnStatus(const std::string& disk) {
    AtaStatusAnswer answer;
    int fd = -1;
    answer.result = openAtaDisk(disk, fd);
    const Node node(fd);
    if (answer.result != kIOReturnSuccess) {
        return answer;
    }
    const SgOutcome out =
        sendAtaCommand(fd, ataSmartCdb(AtaSmartCommand::ReturnStatus), {}, timeout_);
    if (out.result != kIOReturnSuccess) {
        answer.result = out.result;
        return answer;
    }
    answer = ataStatusFromRegisters(ataRegistersFromSense(out.senseBytes()));
    return answer;
}

PageAnswer LinuxSmartAccess::ataReadData(const std::string& disk) {
    return ataReadPage(disk, false);
}

PageAnswer LinuxSmartAccess::ataReadThresholds(const std::string& disk) {
    return ataReadPage(disk, true);
}

PageAnswer LinuxSmartAccess::ataReadPage(const std::string& disk, bool thresholds) {
    PageAnswer answer;
    int fd = -1;
    answer.result = openAtaDisk(disk, fd);
    const Node node(fd);
    if (answer.result != kIOReturnSuccess) {
        return answer;
    }
    SmartPage page{};
    const SgOutcome out = sendAtaCommand(
        fd, ataSmartCdb(thresholds ? AtaSmartCommand::ReadThresholds : AtaSmartCommand::ReadData),
        page, timeout_);
    answer.result = out.result;
    if (out.result == kIOReturnSuccess) {
        answer.page = page;
    }
    return answer;
}

PageAnswer LinuxSmartAccess::ataDeviceStatistics(const std::string& disk, std::uint8_t page) {
    PageAnswer answer;
    if (!isDeviceStatisticsPage(page)) {
        answer.result = kIOReturnBadArgument;
        return answer;
    }
    int fd = -1;
    answer.result = openAtaDisk(disk, fd);
    const Node node(fd);
    if (answer.result != kIOReturnSuccess) {
        return answer;
    }
    SmartPage bytes{};
    const SgOutcome out =
        sendAtaCommand(fd, ataReadLogExtCdb(kDeviceStatisticsLog, page), bytes, timeout_);
    answer.result = out.result;
    if (out.result == kIOReturnSuccess) {
        answer.page = bytes;
    }
    return answer;
}

PowerModeAnswer LinuxSmartAccess::ataPowerMode(const std::string& disk) {
    PowerModeAnswer answer;
    int fd = -1;
    answer.result = openAtaDisk(disk, fd);
    const Node node(fd);
    if (answer.result != kIOReturnSuccess) {
        return answer;
    }
    const SgOutcome out = sendAtaCommand(fd, ataCheckPowerModeCdb(), {}, timeout_);
    if (out.result != kIOReturnSuccess) {
        answer.result = out.result;
        return answer;
    }
    const std::optional<AtaRegisters> registers = ataRegistersFromSense(out.senseBytes());
    // Without the registers the answer is unknown: the caller reads as before.
    if (!registers || (registers->status & 0x01) != 0) {
        answer.result = kIOReturnError;
        return answer;
    }
    answer.count = registers->count;
    return answer;
}

PageAnswer LinuxSmartAccess::nvmeHealthLog(const std::string& disk) {
    PageAnswer answer;
    const std::optional<std::string> controller = sysfs_.nvmeController(disk);
    const std::optional<dev_t> number =
        controller ? sysfs_.controllerDevice(*controller) : std::nullopt;
    if (!number) {
        answer.result = kIOReturnNoResources;
        return answer;
    }
    int fd = -1;
    answer.result = openNode(devRoot_ + "/" + *controller, false, *number, fd);
    const Node node(fd);
    if (answer.result != kIOReturnSuccess) {
        return answer;
    }
    SmartPage page{};
    nvme_admin_cmd cmd{};
    cmd.opcode = kNvmeGetLogPage;
    cmd.nsid = kAllNamespaces;
    cmd.addr = reinterpret_cast<std::uintptr_t>(page.data());
    cmd.data_len = std::uint32_t(page.size());
    // Number of dwords minus one in bits 31:16, log identifier in 7:0.
    cmd.cdw10 = std::uint32_t(page.size() / 4 - 1) << 16 | kNvmeHealthLogId;
    cmd.timeout_ms = std::uint32_t(timeout_.count());
    const int status = ::ioctl(fd, NVME_IOCTL_ADMIN_CMD, &cmd);
    if (status < 0) {
        answer.result = resultFromErrno(errno);
    } else if (status > 0) {
        // A positive value is the controller's NVMe status: the command failed.
        answer.result = kIOReturnError;
    } else {
        answer.result = kIOReturnSuccess;
        answer.page = page;
    }
    return answer;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/sysfs_disks.h"

#include <sys/sysmacros.h>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The first line of a small sysfs attribute, blanks trimmed; absent when unreadable.
std::optional<std::string> readAttribute(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    const auto notBlank = [](unsigned char c) { return c != ' ' && c != '\t' && c != '\r'; };
    line.erase(line.begin(), std::find_if(line.begin(), line.end(), notBlank));
    line.erase(std::find_if(line.rbegin(), line.rend(), notBlank).base(), line.end());
    return line;
}

// "MAJ:MIN" -> device number.
std::optional<dev_t> parseDevNumber(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    const std::string_view s = *text;
    const std::size_t colon = s.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    unsigned major = 0;
    unsigned minor = 0;
    const auto a = std::from_chars(s.data(), s.data() + colon, major);
    const auto b = std::from_chars(s.data() + colon + 1, s.data() + s.size(), minor);
    if (a.ec != std::errc() || a.ptr != s.data() + colon || b.ec != std::errc() ||
        b.ptr != s.data() + s.size()) {
        return std::nullopt;
    }
    return makedev(major, minor);
}

// "nvme" followed by digits only: a controller, not a namespace or subsystem.
bool isControllerName(std::string_view name) {
    return name.size() > 4 && name.substr(0, 4) == "nvme" &&
           std::all_of(name.begin() + 4, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool SysfsDisks::isPlausibleName(std::string_view name) {
    return isPlausibleDiskName(name);
}

bool SysfsDisks::isWholeDisk(const std::string& name) const {
    if (!isPlausibleName(name)) {
        return false;
    }
    std::error_code ec;
    const fs::path dir = fs::path(root_) / "block" / name;
    return fs::is_directory(dir, ec) && !fs::exists(dir / "partition", ec) &&
           fs::exists(dir / "dev", ec);
}

SmartProtocol SysfsDisks::protocolOf(const std::string& name) const {
    if (!isWholeDisk(name)) {
        return SmartProtocol::None;
    }
    if (name.rfind("nvme", 0) == 0) {
        return nvmeController(name) ? SmartProtocol::Nvme : SmartProtocol::None;
    }
    const fs::path device = fs::path(root_) / "block" / name / "device";
    if (readAttribute(device / "type") != "0") {
        return SmartProtocol::None;
    }
    std::error_code ec;
    // libata names every disk's vendor "ATA"; a USB or SAS bridge that
    // translates ATA offers the ATA Information VPD page instead.
    if (readAttribute(device / "vendor") == "ATA" || fs::exists(device / "vpd_pg89", ec)) {
        return SmartProtocol::Ata;
    }
    return SmartProtocol::None;
}

std::optional<dev_t> SysfsDisks::blockDevice(const std::string& name) const {
    if (!isWholeDisk(name)) {
        return std::nullopt;
    }
    return parseDevNumber(readAttribute(fs::path(root_) / "block" / name / "dev"));
}

std::optional<std::string> SysfsDisks::nvmeController(const std::string& name) const {
    if (!isWholeDisk(name)) {
        return std::nullopt;
    }
    std::error_code ec;
    const fs::path device = fs::canonical(fs::path(root_) / "block" / name / "device", ec);
    if (ec) {
        return std::nullopt;
    }
    if (isControllerName(device.filename().string())) {
        return device.filename().string();
    }
    // With native multipath the namespace hangs below its subsystem, which
    // lists its controllers; any live one can read the controller-wide log.
    std::optional<std::string> first;
    for (const auto& entry : fs::directory_iterator(device, ec)) {
        const std::string candidate = entry.path().filename().string();
        if (isControllerName(candidate) && controllerDevice(candidate) &&
            (!first || candidate < *first)) {
            first = candidate;
        }
    }
    return first;
}

std::optional<dev_t> SysfsDisks::controllerDevice(const std::string& controller) const {
    if (!isControllerName(controller)) {
        return std::nullopt;
    }
    return parseDevNumber(readAttribute(fs::path(root_) / "class" / "nvme" / controller / "dev"));
}

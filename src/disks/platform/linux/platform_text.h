// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Small text helpers of the disk platform's readers: kernel device names and
// sysfs paths are handled as text, which is much cheaper than paths.
namespace platform_text {

namespace fs = std::filesystem;

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

inline bool startsWith(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix);
}

// QString::toStdString, without the byte array in between for the plain
// ASCII that kernel device names are.
inline std::string utf8(const QString& text) {
    std::string result;
    result.reserve(std::size_t(text.size()));
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return text.toStdString();
        }
        result += char(c.unicode());
    }
    return result;
}

// Memory-backed and looped block devices are never volumes of a physical disk.
inline bool isVirtualMemoryDevice(std::string_view name) {
    return startsWith(name, "loop") || startsWith(name, "ram") || startsWith(name, "zram");
}

// A path component like "usb2", "ata3": the prefix followed by digits only.
inline bool isNumbered(std::string_view component, std::string_view prefix) {
    if (!startsWith(component, prefix) || component.size() == prefix.size()) {
        return false;
    }
    for (const char c : component.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

inline std::vector<std::string> components(const std::string& machinePath) {
    std::vector<std::string> result;
    for (const fs::path& part : fs::path(machinePath)) {
        if (part != "/") {
            result.push_back(part.string());
        }
    }
    return result;
}

// Hot-plug buses: a disk below one of them can be unplugged (ejectable).
inline bool isBelowHotPlugBus(std::string_view machinePath) {
    std::size_t at = 0;
    while (at < machinePath.size()) {
        std::size_t end = machinePath.find('/', at);
        if (end == std::string_view::npos) {
            end = machinePath.size();
        }
        const std::string_view part = machinePath.substr(at, end - at);
        at = end + 1;
        // Most parts of a device path cannot name one; their first letter tells.
        const char first = part.empty() ? '\0' : part.front();
        if (first != 'u' && first != 'f' && first != 't') {
            continue;
        }
        if (isNumbered(part, "usb") || isNumbered(part, "fw") || startsWith(part, "thunderbolt")) {
            return true;
        }
    }
    return false;
}

// fs::path(path).filename(), on text.
inline std::string fileNameOf(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return {};
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// fs::path(path).parent_path().filename(), on text; the rare shapes where
// separators need care are left to std::filesystem.
inline std::string parentNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path.back() == '/' || slash == std::string::npos || slash == 0 ||
        path[slash - 1] == '/') {
        return fs::path(path).parent_path().filename().string();
    }
    const std::size_t before = path.rfind('/', slash - 1);
    const std::size_t start = before == std::string::npos ? 0 : before + 1;
    return path.substr(start, slash - start);
}

inline std::string devNumbers(unsigned major, unsigned minor) {
    std::array<char, 10> digits;  // enough for any 32-bit number
    std::string text;
    text.append(digits.data(), std::to_chars(digits.data(), digits.data() + 10, major).ptr);
    text += ':';
    text.append(digits.data(), std::to_chars(digits.data(), digits.data() + 10, minor).ptr);
    return text;
}

// The parts one after the other, in one allocation.
inline std::string joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) {
        size += part.size();
    }
    std::string result;
    result.reserve(size);
    for (const std::string_view part : parts) {
        result += part;
    }
    return result;
}

inline std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

inline QString clipped(std::string_view text) {
    constexpr std::size_t kShown = 200;
    return QString::fromUtf8(text.data(), qsizetype(std::min(text.size(), kShown)));
}

}  // namespace platform_text

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/mountinfo.h"

#include <array>
#include <charconv>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next blank-separated field of `line` from `at` on, moving `at` past it;
// empty once the line holds no more.
std::string_view nextField(std::string_view line, std::size_t& at) {
    while (at < line.size() && isBlank(line[at])) {
        ++at;
    }
    const std::size_t start = at;
    while (at < line.size() && !isBlank(line[at])) {
        ++at;
    }
    return line.substr(start, at - start);
}

bool parseDevice(std::string_view text, unsigned& major, unsigned& minor) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto a = std::from_chars(text.data(), text.data() + colon, major);
    const auto b = std::from_chars(text.data() + colon + 1, end, minor);
    return a.ec == std::errc() && a.ptr == text.data() + colon && b.ec == std::errc() &&
           b.ptr == end && colon > 0;
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

}  // namespace

std::string unescapeOctal(std::string_view text) {
    // Most fields hold no escape at all.
    std::size_t i = text.find('\\');
    if (i == std::string_view::npos) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size());
    result.append(text.substr(0, i));
    for (; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(text[i + 1]) && text[i + 1] <= '3' &&
            isOctal(text[i + 2]) && isOctal(text[i + 3])) {
            result.push_back(
                char((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

MountInfo parseMountInfo(std::string_view text) {
    MountInfo info;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
            continue;
        }
        // id parent maj:min root mountpoint options [optional...] - fstype source superoptions
        // Fields are taken as they come: a line holds any number of optional ones.
        std::array<std::string_view, 6> f;
        std::size_t count = 0;
        std::size_t cursor = 0;
        for (; count < f.size(); ++count) {
            f[count] = nextField(line, cursor);
            if (f[count].empty()) {
                break;
            }
        }
        std::string_view field = nextField(line, cursor);
        while (!field.empty() && field != "-") {
            field = nextField(line, cursor);
        }
        const std::string_view fsType = nextField(line, cursor);
        const std::string_view source = nextField(line, cursor);
        MountInfoEntry entry;
        if (count < f.size() || source.empty() || !parseDevice(f[2], entry.major, entry.minor)) {
            info.rejectedLines.emplace_back(line);
            continue;
        }
        entry.fsRoot = unescapeOctal(f[3]);
        entry.mountPoint = unescapeOctal(f[4]);
        entry.fsType = unescapeOctal(fsType);
        entry.source = unescapeOctal(source);
        if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') {
            info.rejectedLines.emplace_back(line);
            continue;
        }
        info.entries.push_back(std::move(entry));
    }
    return info;
}

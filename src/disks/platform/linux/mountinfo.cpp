#include "disks/platform/linux/mountinfo.h"

#include <charconv>

namespace {

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            ++at;
        }
        if (at > start) {
            result.push_back(line.substr(start, at - start));
        }
    }
    return result;
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
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
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
        const std::vector<std::string_view> f = fields(line);
        std::size_t separator = 6;
        while (separator < f.size() && f[separator] != "-") {
            ++separator;
        }
        MountInfoEntry entry;
        if (f.size() < 6 || separator + 2 >= f.size() ||
            !parseDevice(f[2], entry.major, entry.minor)) {
            info.rejectedLines.emplace_back(line);
            continue;
        }
        entry.fsRoot = unescapeOctal(f[3]);
        entry.mountPoint = unescapeOctal(f[4]);
        entry.fsType = unescapeOctal(f[separator + 1]);
        entry.source = unescapeOctal(f[separator + 2]);
        if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') {
            info.rejectedLines.emplace_back(line);
            continue;
        }
        info.entries.push_back(std::move(entry));
    }
    return info;
}

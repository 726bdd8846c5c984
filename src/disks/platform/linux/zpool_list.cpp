// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/zpool_list.h"

namespace {

std::string_view firstField(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t end = line.find_first_of(" \t", start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

std::map<std::string, std::vector<std::string>> parseZpoolList(std::string_view text) {
    std::map<std::string, std::vector<std::string>> pools;
    std::string current;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const std::string_view name = firstField(line);
        if (name.empty()) {
            continue;
        }
        // Section headers of a pool's special vdevs start in the first column too.
        const bool section = name == "logs" || name == "cache" || name == "spares" ||
                             name == "special" || name == "dedup";
        if (line.front() != '\t' && line.front() != ' ' && !section) {
            current = std::string(name);
            pools[current];
        } else if (!current.empty() && name.front() == '/') {
            pools[current].emplace_back(name);
        }
    }
    return pools;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/root_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 16;
constexpr std::size_t kAttributeLimit = 4096;

// At most `limit` bytes; with `firstLine`, stops once a line end has been read;
// with `shortReadEnds`, once a read returns less than asked.
std::optional<RootFolder::Content> readBounded(const char* place, std::size_t limit, bool firstLine,
                                               bool shortReadEnds = false) {
    // O_NONBLOCK: a FIFO (in a recorded machine, say) must not stop the
    // program waiting for a writer; only regular files are read, which sysfs
    // and procfs attributes are too.
    const int fd = ::open(place, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    RootFolder::Content content;
    std::array<char, 8192> buffer;
    bool failed = false;
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0) {
            break;
        }
        const std::size_t room = limit - content.bytes.size();
        if (std::size_t(n) > room) {
            content.bytes.append(buffer.data(), room);
            content.truncated = true;
            break;
        }
        content.bytes.append(buffer.data(), std::size_t(n));
        // Saves the read that would only find the end of a one-line attribute.
        if (firstLine && std::memchr(buffer.data(), '\n', std::size_t(n)) != nullptr) {
            break;
        }
        if (shortReadEnds && std::size_t(n) < buffer.size()) {
            break;
        }
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    return content;
}

}  // namespace

RootFolder::RootFolder(fs::path root) : root_(std::move(root)) {
    std::error_code ec;
    fs::path absolute = fs::absolute(root_, ec);
    if (!ec) {
        root_ = absolute.lexically_normal();
    }
    rootText_ = root_.string();
    while (rootText_.size() > 1 && rootText_.back() == '/') {
        rootText_.pop_back();
    }
    root_ = rootText_;
    systemRoot_ = rootText_ == "/";
}

fs::path RootFolder::at(std::string_view machinePath) const {
    while (!machinePath.empty() && machinePath.front() == '/') {
        machinePath.remove_prefix(1);
    }
    return systemRoot_ ? fs::path("/") / machinePath : root_ / machinePath;
}

std::string RootFolder::machinePath(const fs::path& place) const {
    return machinePath(place.native());
}

std::string RootFolder::machinePath(const std::string& text) const {
    return std::string(machinePathView(text));
}

std::string_view RootFolder::machinePathView(std::string_view text) const {
    if (systemRoot_) {
        return text;
    }
    if (text.starts_with(rootText_)) {
        const std::string_view rest = text.substr(rootText_.size());
        return rest.empty() ? std::string_view("/") : rest;
    }
    return text;
}

std::optional<RootFolder::Content> RootFolder::read(const fs::path& place, std::size_t limit) {
    return readBounded(place.c_str(), limit, false);
}

std::optional<RootFolder::Content> RootFolder::read(const std::string& place, std::size_t limit) {
    return readBounded(place.c_str(), limit, false);
}

std::optional<RootFolder::Content> RootFolder::readRegularFile(const std::string& place,
                                                               std::size_t limit) {
    return readBounded(place.c_str(), limit, false, true);
}

std::optional<std::string> RootFolder::readLine(const fs::path& place) {
    return readLine(place.native());
}

std::optional<std::string> RootFolder::readLine(const std::string& place) {
    auto content = readBounded(place.c_str(), kAttributeLimit, true);
    if (!content) {
        return std::nullopt;
    }
    std::string line = content->bytes.substr(0, content->bytes.find('\n'));
    const auto notBlank = [](unsigned char c) { return c != ' ' && c != '\t' && c != '\r'; };
    line.erase(line.begin(), std::find_if(line.begin(), line.end(), notBlank));
    line.erase(std::find_if(line.rbegin(), line.rend(), notBlank).base(), line.end());
    return line;
}

std::optional<fs::path> RootFolder::resolve(const fs::path& place) const {
    std::optional<std::string> text = resolveText(place.native());
    if (!text) {
        return std::nullopt;
    }
    return fs::path(std::move(*text));
}

std::optional<std::string> RootFolder::resolveText(
    std::string current, std::unordered_set<std::string>* realPlaces) const {
    std::array<char, 4096> target;
    std::string next;  // the place a link leads to, before normalising
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        if (realPlaces != nullptr && realPlaces->count(current) != 0) {
            return current;
        }
        // readlink alone tells a link (its target) from an existing non-link
        // (EINVAL) from nothing at all, where lstat then readlink took two calls.
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0) {
            if (errno == EINVAL) {
                if (realPlaces != nullptr) {
                    realPlaces->insert(current);
                }
                return current;
            }
            return std::nullopt;
        }
        if (n == 0 || std::size_t(n) >= target.size()) {
            return std::nullopt;
        }
        std::string_view link(target.data(), std::size_t(n));
        // Room for either form below: one allocation, kept across hops.
        next.reserve(std::max(current.size(), rootText_.size() + 1) + link.size());
        if (link.front() == '/') {
            while (!link.empty() && link.front() == '/') {
                link.remove_prefix(1);
            }
            next.assign(systemRoot_ ? std::string_view() : std::string_view(rootText_));
            next += '/';
        } else {
            const std::size_t slash = current.rfind('/');
            next.assign(current, 0, slash == std::string::npos ? 0 : slash + 1);
        }
        next += link;
        current = lexicallyNormal(next);
        if (!systemRoot_ &&
            (current.compare(0, rootText_.size(), rootText_) != 0 ||
             (current.size() > rootText_.size() && current[rootText_.size()] != '/'))) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<std::string> RootFolder::names(const fs::path& folder) {
    return names(folder.native());
}

std::vector<std::string> RootFolder::names(const std::string& folder) {
    std::vector<std::string> result;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return result;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            result.emplace_back(name);
        }
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end());
    return result;
}

std::string RootFolder::lexicallyNormal(std::string_view path) {
    // A root of several slashes stays as it is there too.
    if (path.find_first_not_of('/') == std::string_view::npos) {
        return std::string(path);
    }
    const bool absolute = path.front() == '/';
    // Each kept name is written as "/name" into room for the whole path and
    // one more slash; a relative result drops the first slash at the end.
    std::string result(path.size() + 1, '\0');
    char* const first = result.data();
    char* out = first;
    std::size_t kept = 0;
    // ".." is kept only where nothing can be taken away, so kept ".." names
    // always come first: the last kept name is ".." when all of them are.
    std::size_t keptParents = 0;
    // Whether the normal form ends in a separator after its last name: "a/." and
    // "a/b/.." keep one, as std::filesystem does.
    bool trailing = false;
    const char* at = path.data();
    const char* const end = at + path.size();
    while (at < end) {
        if (*at == '/') {
            ++at;
            continue;
        }
        const char* stop = at;
        while (stop < end && *stop != '/') {
            ++stop;
        }
        const std::size_t length = std::size_t(stop - at);
        const bool dot = length == 1 && at[0] == '.';
        const bool parent = length == 2 && at[0] == '.' && at[1] == '.';
        if (dot) {
            trailing = true;
        } else if (parent && kept > keptParents) {
            do {
                --out;
            } while (*out != '/');
            --kept;
            trailing = true;
        } else if (parent && absolute && kept == 0) {
            trailing = true;  // nothing is above the root
        } else {
            *out++ = '/';
            std::memcpy(out, at, length);
            out += length;
            ++kept;
            keptParents += parent ? 1 : 0;
            trailing = false;
        }
        at = stop;
    }
    trailing = trailing || path.back() == '/';
    if (kept == 0) {
        return absolute ? "/" : ".";
    }
    if (trailing && kept > keptParents) {
        *out++ = '/';
    }
    result.resize(std::size_t(out - first));
    if (!absolute) {
        result.erase(0, 1);
    }
    return result;
}

#include "disks/platform/linux/root_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 16;
constexpr std::size_t kAttributeLimit = 4096;

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
    const std::string text = place.string();
    if (systemRoot_) {
        return text;
    }
    if (text.size() >= rootText_.size() && text.compare(0, rootText_.size(), rootText_) == 0) {
        std::string rest = text.substr(rootText_.size());
        return rest.empty() ? std::string("/") : rest;
    }
    return text;
}

std::optional<RootFolder::Content> RootFolder::read(const fs::path& place, std::size_t limit) {
    const int fd = ::open(place.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    Content content;
    std::array<char, 8192> buffer{};
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
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    return content;
}

std::optional<std::string> RootFolder::readLine(const fs::path& place) {
    auto content = read(place, kAttributeLimit);
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
    fs::path current = place;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            return current;
        }
        std::array<char, 4096> target{};
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || std::size_t(n) >= target.size()) {
            return std::nullopt;
        }
        const fs::path link(std::string(target.data(), std::size_t(n)));
        current = (link.is_absolute() ? at(link.string()) : current.parent_path() / link)
                      .lexically_normal();
        const std::string text = current.string();
        if (!systemRoot_ && (text.compare(0, rootText_.size(), rootText_) != 0 ||
                             (text.size() > rootText_.size() && text[rootText_.size()] != '/'))) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<std::string> RootFolder::names(const fs::path& folder) {
    std::vector<std::string> result;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        result.push_back(it->path().filename().string());
    }
    std::sort(result.begin(), result.end());
    return result;
}

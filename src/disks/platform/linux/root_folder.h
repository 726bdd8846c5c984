// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// A machine's file tree seen from a root folder: "/" for this machine, a
// recorded machine's folder in tests and demonstrations. Every read is
// bounded, and symbolic links are followed inside the root only, so a
// recorded machine can never lead a read onto the real machine's files.
class RootFolder {
  public:
    explicit RootFolder(std::filesystem::path root);

    const std::filesystem::path& root() const { return root_; }
    bool isSystemRoot() const { return systemRoot_; }

    // The place of an absolute machine path ("/sys/block") below the root.
    std::filesystem::path at(std::string_view machinePath) const;
    // The machine path of a place below the root ("/sys/devices/...").
    std::string machinePath(const std::filesystem::path& place) const;
    std::string machinePath(const std::string& place) const;
    // The same as a view into `place` (or of "/"), for questions that keep no copy.
    std::string_view machinePathView(std::string_view place) const;

    struct Content {
        std::string bytes;
        bool truncated = false;  // the file holds more than the limit
    };
    // At most `limit` bytes of a file; absent when it cannot be read.
    static std::optional<Content> read(const std::filesystem::path& place, std::size_t limit);
    static std::optional<Content> read(const std::string& place, std::size_t limit);
    // The same for a file on a disk or in memory (not /proc): a read there
    // returns less than asked only at the end, which spares the read that
    // would find the end. Never for /proc, whose files come a record at a time.
    static std::optional<Content> readRegularFile(const std::string& place, std::size_t limit);
    // The first line of a small attribute file, blanks trimmed; absent when unreadable.
    static std::optional<std::string> readLine(const std::filesystem::path& place);
    static std::optional<std::string> readLine(const std::string& place);

    // Follows symbolic links at `place` (whose parent folder must already be
    // a real folder) until a real file or folder. Absolute link targets are
    // taken relative to the root. Absent for a dangling link, a loop, or a
    // target outside the root.
    std::optional<std::filesystem::path> resolve(const std::filesystem::path& place) const;
    // The same on text. Code that asks many questions uses the text forms:
    // every path object splits its text into a list of component paths.
    // `realPlaces`, when given, holds places already found to be no link; it
    // spares asking about them again and gains the places found now.
    std::optional<std::string> resolveText(
        std::string place, std::unordered_set<std::string>* realPlaces = nullptr) const;

    // The names in a folder, sorted; empty when it cannot be listed.
    static std::vector<std::string> names(const std::filesystem::path& folder);
    static std::vector<std::string> names(const std::string& folder);

    // The same text as std::filesystem::path::lexically_normal gives, without
    // splitting the path into a list of component paths on every step.
    static std::string lexicallyNormal(std::string_view path);

  private:
    std::filesystem::path root_;
    std::string rootText_;
    bool systemRoot_ = false;
};

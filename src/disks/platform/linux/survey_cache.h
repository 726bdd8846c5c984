// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/linux/mountinfo.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// /proc/self/mountinfo as read and parsed once.
struct MountTable {
    bool readable = false;
    bool truncated = false;
    MountInfo info;
};

struct DiskFlags {
    bool removable = false;
    bool ejectable = false;
};

// What one survey remembers, keyed by kernel device name; only what does not
// depend on the asking volume.
struct SurveyFacts {
    std::shared_ptr<const MountTable> mounts;
    // Folders a link led to and that proved real: the same device folder is
    // reached from /sys/dev/block and from /sys/class/block.
    std::unordered_set<std::string> realPlaces;
    std::unordered_map<std::string, std::optional<std::string>> folders;
    std::unordered_map<std::string, std::optional<std::string>> wholeDisks;
    std::unordered_map<std::string, std::vector<std::string>> slaves;
    std::unordered_map<std::string, DiskFlags> flags;
    // Running the zpool tool once per survey, not once per dataset.
    std::optional<std::optional<std::string>> zpoolAnswer;
};

// The surveys open on this thread for one platform (see DiskPlatform::beginSurvey).
// Per thread, so one thread's survey never serves another thread's call.
class SurveyCache {
  public:
    SurveyCache() = default;
    SurveyCache(const SurveyCache&) = delete;
    SurveyCache& operator=(const SurveyCache&) = delete;

    void begin();
    void end();
    // This thread's open survey; null outside one.
    SurveyFacts* facts() const;

  private:
    struct Open {
        const SurveyCache* cache = nullptr;
        int depth = 0;
        std::unique_ptr<SurveyFacts> facts;
    };
    static thread_local std::vector<Open> open_;
};

// The answer remembered in `map` (null outside a survey) for `key`, else a fresh one.
template <typename Map, typename Compute>
typename Map::mapped_type remembered(Map* map, const std::string& key, const Compute& compute) {
    if (map == nullptr) {
        return compute();
    }
    if (const auto found = map->find(key); found != map->end()) {
        return found->second;
    }
    return map->emplace(key, compute()).first->second;
}

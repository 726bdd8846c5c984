// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/survey_cache.h"

thread_local std::vector<SurveyCache::Open> SurveyCache::open_;

void SurveyCache::begin() {
    for (Open& open : open_) {
        if (open.cache == this) {
            ++open.depth;
            return;
        }
    }
    open_.push_back({this, 1, std::make_unique<SurveyFacts>()});
}

void SurveyCache::end() {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->cache == this) {
            if (--it->depth == 0) {
                open_.erase(it);
            }
            return;
        }
    }
}

SurveyFacts* SurveyCache::facts() const {
    for (const Open& open : open_) {
        if (open.cache == this) {
            return open.facts.get();
        }
    }
    return nullptr;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/smart_access.h"

#include <QStringList>

#include <deque>
#include <map>
#include <vector>

// A drive whose answers are scripted per command; the last answer repeats.
class FakeSmartAccess final : public SmartAccess {
  public:
    SmartProtocol protocol = SmartProtocol::Ata;
    std::deque<AtaStatusAnswer> statusAnswers{{kIOReturnSuccess, true, false}};
    PageAnswer data{kIOReturnSuccess, {}};
    PageAnswer thresholds{kIOReturnSuccess, {}};
    std::deque<PageAnswer> nvmeAnswers{{kIOReturnSuccess, {}}};
    int statusCalls = 0;
    int dataCalls = 0;
    int nvmeCalls = 0;
    // Device Statistics pages by number; a page missing here fails to read.
    std::map<std::uint8_t, PageAnswer> statistics;
    std::vector<std::uint8_t> statisticsAsked;
    PowerModeAnswer power{kIOReturnSuccess, 0xFF};
    int powerCalls = 0;

    SmartProtocol protocolOf(const std::string&) override { return protocol; }
    AtaStatusAnswer ataReturnStatus(const std::string&) override {
        ++statusCalls;
        return next(statusAnswers);
    }
    PageAnswer ataReadData(const std::string&) override {
        ++dataCalls;
        return data;
    }
    PageAnswer ataReadThresholds(const std::string&) override { return thresholds; }
    PageAnswer nvmeHealthLog(const std::string&) override {
        ++nvmeCalls;
        return next(nvmeAnswers);
    }
    PageAnswer ataDeviceStatistics(const std::string&, std::uint8_t page) override {
        statisticsAsked.push_back(page);
        const auto it = statistics.find(page);
        return it == statistics.end() ? PageAnswer{kIOReturnError, {}} : it->second;
    }
    PowerModeAnswer ataPowerMode(const std::string&) override {
        ++powerCalls;
        return power;
    }

  private:
    template <typename T>
    static T next(std::deque<T>& answers) {
        const T answer = answers.front();
        if (answers.size() > 1) {
            answers.pop_front();
        }
        return answer;
    }
};

class RecordingLogger final : public Logger {
  public:
    QStringList lines;
    QList<int> levels;
    void log_message(int level, const QString& text) override {
        levels.append(level);
        lines.append(text);
    }
};

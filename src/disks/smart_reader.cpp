// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/smart_reader.h"

#include "core/smart_status.h"
#include "disks/ata_smart_page.h"
#include "disks/device_statistics_page.h"
#include "disks/nvme_health_page.h"

#include <algorithm>
#include <thread>

SmartReader::SmartReader(SmartAccess& access, DiskNameResolver& names, Logger& log, Pause pause)
    : access_(access), names_(names), log_(log), pause_(std::move(pause)) {
    if (!pause_) {
        pause_ = [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
    }
}

SmartReader::Probe SmartReader::probe(const std::optional<std::string>& name) {
    if (!name) {
        return {kIOReturnNoResources, SMARTStatusUnknown};
    }
    switch (access_.protocolOf(*name)) {
        case SmartProtocol::Ata: {
            const AtaStatusAnswer answer = access_.ataReturnStatus(*name);
            // A drive may deliver its verdict even when the command as a
            // whole reported an error; the caller decides what that is worth.
            if (!answer.answered) {
                return {answer.result, SMARTStatusUnknown};
            }
            return {answer.result,
                    answer.thresholdExceeded ? SMARTStatusFailing : SMARTStatusVerified};
        }
        case SmartProtocol::Nvme: {
            const PageAnswer answer = access_.nvmeHealthLog(*name);
            if (answer.result != kIOReturnSuccess) {
                return {answer.result, SMARTStatusUnknown};
            }
            return {answer.result, answer.page[0] == 0 ? SMARTStatusVerified : SMARTStatusFailing};
        }
        case SmartProtocol::None:
            break;
    }
    return {kIOReturnNoResources, SMARTStatusUnknown};
}

std::uint8_t SmartReader::getDiskSMARTStatus(int disk) {
    const std::optional<std::string> name = names_.kernelName(disk);
    Probe p = probe(name);
    for (int retry = 0; p.result == kIOReturnNotResponding && retry < kMaxRetries; ++retry) {
        pause_(kRetryPause);
        p = probe(name);
    }
    if (p.result != kIOReturnSuccess && p.status == SMARTStatusVerified) {
        log_.log_message(3, QStringLiteral("Error: S.M.A.R.T. check downgraded result for disk%1 "
                                           "from VERIFIED to UNKNOWN because some error(%2) "
                                           "occurred.")
                                .arg(disk)
                                .arg(p.result));
        return SMARTStatusUnknown;
    }
    if (p.result == kIOReturnNoResources) {
        return SMARTStatusNotCapable;
    }
    return p.status;
}

std::optional<AttributeTable> SmartReader::getDiskSMARTAttributes(int disk) {
    const std::optional<std::string> name = names_.kernelName(disk);
    if (!name) {
        return std::nullopt;
    }
    switch (access_.protocolOf(*name)) {
        case SmartProtocol::Ata:
            return ataAttributeTable(*name);
        case SmartProtocol::Nvme:
            return nvmeAttributeTable(*name);
        case SmartProtocol::None:
            break;
    }
    return std::nullopt;
}

std::optional<AttributeTable> SmartReader::ataAttributeTable(const std::string& name) {
    const PageAnswer data = access_.ataReadData(name);
    if (data.result != kIOReturnSuccess || !ataChecksumValid(data.page)) {
        return std::nullopt;
    }
    const PageAnswer thresholds = access_.ataReadThresholds(name);
    if (thresholds.result != kIOReturnSuccess || !ataChecksumValid(thresholds.page)) {
        return std::nullopt;
    }
    return ataAttributes(data.page, thresholds.page);
}

std::optional<AttributeTable> SmartReader::nvmeAttributeTable(const std::string& name) {
    const PageAnswer log = access_.nvmeHealthLog(name);
    if (log.result != kIOReturnSuccess) {
        return std::nullopt;
    }
    return nvmeHealthAttributes(parseNvmeHealthLog(log.page));
}

std::optional<DeviceStatistics> SmartReader::getDiskDeviceStatistics(int disk) {
    const std::optional<std::string> name = names_.kernelName(disk);
    if (!name || access_.protocolOf(*name) != SmartProtocol::Ata) {
        return std::nullopt;
    }
    const PageAnswer directory =
        access_.ataDeviceStatistics(*name, std::uint8_t(DeviceStatisticsPage::Directory));
    if (directory.result != kIOReturnSuccess) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> listed = deviceStatisticsDirectory(directory.page);
    DeviceStatistics statistics;
    for (const auto page : {DeviceStatisticsPage::General, DeviceStatisticsPage::Temperature,
                            DeviceStatisticsPage::SolidState}) {
        if (std::find(listed.begin(), listed.end(), std::uint8_t(page)) == listed.end()) {
            continue;
        }
        const PageAnswer answer = access_.ataDeviceStatistics(*name, std::uint8_t(page));
        if (answer.result == kIOReturnSuccess) {
            readDeviceStatisticsPage(answer.page, page, statistics);
        }
    }
    if (statistics.empty()) {
        return std::nullopt;
    }
    return statistics;
}

PowerMode SmartReader::getDiskPowerMode(int disk) {
    const std::optional<std::string> name = names_.kernelName(disk);
    if (!name || access_.protocolOf(*name) != SmartProtocol::Ata) {
        return PowerMode::Unknown;
    }
    return powerModeOf(access_.ataPowerMode(*name));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"

// A disk layer that answers every disk with the same recorded status,
// description and attribute table: for evaluating a table without a drive.
class StaticDiskLayer final : public DiskLayer {
  public:
    StaticDiskLayer(std::uint8_t status, std::optional<QVariantMap> description,
                    std::optional<AttributeTable> attributes)
        : status_(status),
          description_(std::move(description)),
          attributes_(std::move(attributes)) {}

    std::uint8_t getDiskSMARTStatus(int) override { return status_; }
    std::optional<AttributeTable> getDiskSMARTAttributes(int) override { return attributes_; }
    std::optional<QVariantMap> descriptionForDevice(qint64) override { return description_; }
    std::optional<DeviceStatistics> getDiskDeviceStatistics(int) override { return statistics_; }
    void setDeviceStatistics(std::optional<DeviceStatistics> value) {
        statistics_ = std::move(value);
    }

  private:
    std::uint8_t status_;
    std::optional<QVariantMap> description_;
    std::optional<AttributeTable> attributes_;
    std::optional<DeviceStatistics> statistics_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/dx_host_information.h"

#include "disks/platform/linux/linux_host_facts.h"

// The reader asks for kernel names; pool pseudo-disks have none to read.
class DXHostInformation::Names final : public DiskNameResolver {
  public:
    explicit Names(DiskPlatform& platform) : platform_(platform) {}
    std::optional<std::string> kernelName(int disk) override {
        const std::optional<QString> name = platform_.kernelName(disk);
        if (!name || platform_.deviceNode(disk).isEmpty()) {
            return std::nullopt;
        }
        return name->toStdString();
    }

  private:
    DiskPlatform& platform_;
};

DXHostInformation::DXHostInformation(const DriveAccessOptions& options, Logger& log)
    : DXHostInformation(machineRoot(options), makeSmartAccess(options, log), log) {}

DXHostInformation::DXHostInformation(const std::filesystem::path& root,
                                     std::unique_ptr<SmartAccess> access, Logger& log,
                                     HostEnvironment environment)
    : platform_(makeDiskPlatform(root, log)),
      disks_(*platform_, log),
      access_(std::move(access)),
      names_(std::make_unique<Names>(*platform_)),
      reader_(*access_, *names_, log),
      host_(std::make_unique<LinuxHostFacts>(root, std::move(environment), log)) {}

DXHostInformation::~DXHostInformation() = default;

std::uint8_t DXHostInformation::getDiskSMARTStatus(int disk) {
    return reader_.getDiskSMARTStatus(disk);
}

std::optional<AttributeTable> DXHostInformation::getDiskSMARTAttributes(int disk) {
    return reader_.getDiskSMARTAttributes(disk);
}

std::optional<DeviceStatistics> DXHostInformation::getDiskDeviceStatistics(int disk) {
    return reader_.getDiskDeviceStatistics(disk);
}

DiskPowerState DXHostInformation::getDiskPowerState(int disk) {
    switch (reader_.getDiskPowerMode(disk)) {
        case PowerMode::Standby:
        case PowerMode::Sleep:
            return DiskPowerState::Asleep;
        case PowerMode::Active:
        case PowerMode::Idle:
            return DiskPowerState::Awake;
        case PowerMode::Unknown:
            break;
    }
    return DiskPowerState::Unknown;
}

std::optional<QVariantMap> DXHostInformation::descriptionForDevice(qint64 disk) {
    return disks_.descriptionForDevice(disk);
}

QString DXHostInformation::machineType() {
    return host_->machineType();
}

QString DXHostInformation::serialNumber(int disk) {
    const std::optional<QString> name = platform_->kernelName(disk);
    return name ? platform_->serialNumber(*name) : QStringLiteral("NOSERIAL");
}

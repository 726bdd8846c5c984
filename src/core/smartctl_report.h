// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/nvme_health.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// What a saved `smartctl -a`, `-x` or `-A` report, its `--json` form, or a bare
// attribute table, says about a drive. Only what the health evaluation needs is taken.
struct SmartctlReport {
    QString model;     // "Device Model:", "Model Number:", "Product:"
    QString revision;  // "Firmware Version:", "Revision:"
    QString protocol;  // "NVMe" for an NVMe health section, "SATA", "SAS"; empty when unknown
    bool saysFailed = false;         // the overall-health line says FAILED
    std::optional<bool> solidState;  // from "Rotation Rate:" (or an NVMe health section)
    bool hasAtaTable = false;
    bool hasNvmeHealth = false;
    NvmeHealthLog nvme;  // valid when hasNvmeHealth
    // The ATA attribute table, plus the NVMe pseudo-attributes 900..914 when
    // the report holds an NVMe health section, as the drive reader builds them.
    AttributeTable attributes;

    // Failing when the report says so or an NVMe critical warning is set
    // (as the drive reader decides), verified otherwise.
    std::uint8_t smartStatus() const;
};

SmartctlReport parseSmartctlReport(QStringView text);

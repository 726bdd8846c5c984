// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ssd.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

struct PrometheusDrive {
    const SSD* ssd;
    QString serial;
    // From the disk's description; empty when unknown.
    QString firmware;
    QString protocol;
};

struct PrometheusCheck {
    int exitStatus = 0;
    QDateTime checked;
    // The thresholds in percent, as this check applied them.
    qint64 warningPercent = 50;
    qint64 errorPercent = 30;
};

// The node_exporter textfile-collector form of one check, by the Prometheus
// naming conventions: value series carry only the stable identity of a drive
// (device, serial); what may change or only describes it (model, firmware,
// name, protocol) is in ostrivane_drive_info. Base units: fractions as
// _ratio, times in seconds, data in bytes, temperatures in degrees Celsius.
QString prometheusText(const std::vector<PrometheusDrive>& drives, const PrometheusCheck& check);

// Writes the text atomically (a reader never sees half a file), as a file of
// mode 0644, replacing only a regular file or a missing name. The exit
// status: kOk, kCantCreate for anything else at the path or a folder that
// takes no new file, kIoError when a write or flush fails (the previous file
// is then kept); `problem` says why.
int writePrometheusFile(const QString& path, const QString& text, QString& problem);

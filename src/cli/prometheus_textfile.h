#pragma once

#include "core/ssd.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

struct PrometheusDrive {
    const SSD* ssd;
    QString serial;
};

// The node_exporter textfile-collector form of one check.
QString prometheusText(const std::vector<PrometheusDrive>& drives, const QDateTime& checked);

// Writes the text atomically (a reader never sees half a file), as a file of
// mode 0644, replacing only a regular file or a missing name. The exit
// status: kOk, kCantCreate for anything else at the path or a folder that
// takes no new file, kIoError when a write or flush fails (the previous file
// is then kept); `problem` says why.
int writePrometheusFile(const QString& path, const QString& text, QString& problem);

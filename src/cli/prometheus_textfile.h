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

// Writes the text atomically (a reader never sees half a file); false and a
// reason when it cannot.
bool writePrometheusFile(const QString& path, const QString& text, QString& problem);

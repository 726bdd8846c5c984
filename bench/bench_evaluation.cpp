// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the health evaluation and of reading a saved smartctl report.
#include "core/memory_settings.h"
#include "core/smartctl_report.h"
#include "core/ssd.h"
#include "core/static_disk_layer.h"

#include <benchmark/benchmark.h>

#include <QFile>

namespace {

class NullHost final : public HostFacts {
  public:
    QString machineType() override { return {}; }
};
class NullReports final : public ServerReports {
  public:
    bool logged(const QString&) override { return true; }
    void log(const QString&, const QString&, const QString&) override {}
    void log(const QString&, const QString&) override {}
};
class NullFeedback final : public FeedbackAlert {
  public:
    void alert_feedback(const QString&, const QString&, bool) override {}
};
class NullLogger final : public Logger {
  public:
    void log_message(int, const QString&) override {}
};

QString readExample(const char* name) {
    QFile file(QStringLiteral(OSTRIVANE_EXAMPLES_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// A typical SATA drive: a full `smartctl -a` report with a 23-attribute table.
const char* const kReport = "crucial-mx500-sata.txt";

void BM_PerformCheck(benchmark::State& state) {
    const SmartctlReport report = parseSmartctlReport(readExample(kReport));
    if (report.attributes.size() < 15) {
        state.SkipWithError("example report missing");
        return;
    }
    const QVariantMap description{{QStringLiteral("DAMediaName"), report.model},
                                  {QStringLiteral("DADeviceRevision"), report.revision},
                                  {QStringLiteral("DADeviceProtocol"), QStringLiteral("SATA")},
                                  {QStringLiteral("isSSD"), true}};
    StaticDiskLayer disks(report.smartStatus(), description, report.attributes);
    NullHost host;
    NullReports reports;
    NullFeedback feedback;
    NullLogger logger;
    MemorySettings settings({{QStringLiteral("AllowSSDSubmission"), 1}});
    const EvaluationServices services{disks, host, reports, feedback, logger, settings};
    for (auto _ : state) {
        SSD ssd(services);
        ssd.setName(QStringLiteral("Data"));
        ssd.performCheck();
        benchmark::DoNotOptimize(ssd.healthPercentage());
    }
    state.counters["attributes"] = double(report.attributes.size());
}
BENCHMARK(BM_PerformCheck);

void BM_ParseSmartctlReport(benchmark::State& state) {
    const QString text = readExample(kReport);
    for (auto _ : state) {
        const SmartctlReport report = parseSmartctlReport(text);
        benchmark::DoNotOptimize(report.attributes.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_ParseSmartctlReport);

void BM_ParseAttributeTable(benchmark::State& state) {
    const QString text = readExample(kReport);
    for (auto _ : state) {
        const AttributeTable table = SSD::getAttributesFromSMTString(text);
        benchmark::DoNotOptimize(table.size());
    }
}
BENCHMARK(BM_ParseAttributeTable);

}  // namespace

BENCHMARK_MAIN();

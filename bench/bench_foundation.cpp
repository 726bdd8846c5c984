// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the calls every layer makes all the time: logging a line with the
// log file open, and writing and reading an integer setting.
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "foundation/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <syslog.h>

namespace {

void BM_LogMessageLevel5WithFile(benchmark::State& state) {
    const QString path = QDir::homePath() + QStringLiteral("/bench.log");
    log_open_file(path, 0, 5);
    qint64 i = 0;
    for (auto _ : state) {
        log_message(5, QStringLiteral("Info: benchmark line %1").arg(++i));
    }
}
BENCHMARK(BM_LogMessageLevel5WithFile);

// The same without the system log (its type masked out), to show what the
// syslog call itself costs on the machine at hand.
void BM_LogMessageLevel5WithFileNoSyslog(benchmark::State& state) {
    const int previous = setlogmask(LOG_UPTO(LOG_ERR));
    const QString path = QDir::homePath() + QStringLiteral("/bench-nosyslog.log");
    log_open_file(path, 0, 5);
    qint64 i = 0;
    for (auto _ : state) {
        log_message(5, QStringLiteral("Info: benchmark line %1").arg(++i));
    }
    setlogmask(previous);
}
BENCHMARK(BM_LogMessageLevel5WithFileNoSyslog);

void BM_SetDefaultInt(benchmark::State& state) {
    qint64 i = 0;
    for (auto _ : state) {
        setDefaultInt(QStringLiteral("BenchmarkInt"), ++i);
    }
}
BENCHMARK(BM_SetDefaultInt);

void BM_DefaultInt(benchmark::State& state) {
    setDefaultInt(QStringLiteral("BenchmarkInt"), 42);
    for (auto _ : state) {
        benchmark::DoNotOptimize(defaultInt(QStringLiteral("BenchmarkInt")));
    }
}
BENCHMARK(BM_DefaultInt);

void BM_DefaultIntFallback(benchmark::State& state) {
    registerDefaults({{QStringLiteral("BenchmarkFallback"), 12}});
    for (auto _ : state) {
        benchmark::DoNotOptimize(defaultInt(QStringLiteral("BenchmarkFallback")));
    }
}
BENCHMARK(BM_DefaultIntFallback);

}  // namespace

int main(int argc, char** argv) {
    // A temporary home, so the benchmark never touches the real settings.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        qunsetenv(name);
    }
    SettingsStore::reopenShared();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop application's main window on a recorded machine, driven from
// inside: the resident memory after every pane was shown once, and, with
// --large, how the history pane opens on a full log and a long history: the
// time to its first content and the longest the event loop was held up,
// measured by a timer that should fire every 5 ms.
//
// Usage: bench_desktop_panes MACHINE [--large]
// Runs in the folders HOME and XDG_* name; --large fills the log there and
// writes a history file of 100,000 rows in a temporary folder.
#include "app/health_history.h"
#include "app/process_logger.h"
#include "ext/scheduling.h"
#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/health_chart.h"
#include "gui/history_pane.h"
#include "gui/main_window.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class NoAlerts final : public DesktopAlerts {
  public:
    int alert_apptitled(const QString&, const QString&, const QString&, const QString&) override {
        return 1000;
    }
    int alert(const QString&, const QString&, const QString&, const QString&,
              const QString&) override {
        return 1000;
    }
};

bool runUntil(const std::function<bool()>& done, int milliseconds = 30000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

long statusKilobytes(const char* file, const char* field) {
    QFile status(QString::fromLatin1(file));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// A log of the logger's full size: checks of eight drives, as the monitor writes them.
bool writeLargeLog(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray chunk;
    for (qint64 line = 0; file.size() + chunk.size() < bytes; ++line) {
        chunk += QStringLiteral(
                     "Dec %1 %2:%3:%4 Ostrivane[4242] <Notice>: Disk sd%5 "
                     "(Samsung SSD 870 EVO 1TB): health %6%, S.M.A.R.T. verified\n")
                     .arg(1 + line / 86400 % 28, 2)
                     .arg(line / 3600 % 24, 2, 10, QLatin1Char('0'))
                     .arg(line / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(line % 60, 2, 10, QLatin1Char('0'))
                     .arg(QChar(char16_t(u'a' + line % 8)))
                     .arg(100 - line % 40)
                     .toUtf8();
        if (chunk.size() > 1 << 20) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk.left(bytes - file.size()));
    return true;
}

bool writeHistory(const QString& path, int rows) {
    ProcessLogger log;
    HealthHistory history(log);
    if (!history.open(path)) {
        return false;
    }
    QList<HealthRecord> records;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    constexpr int kDrives = 8;
    for (int row = 0; row < rows; ++row) {
        const int check = row / kDrives;
        const int drive = row % kDrives;
        records.append({now.addSecs(qint64(check - rows / kDrives) * 300),
                        QStringLiteral("Drive %1").arg(drive), QStringLiteral("Model"),
                        QStringLiteral("SERIAL%1").arg(drive),
                        QStringLiteral("/dev/sd%1").arg(drive),
                        100 - drive * 5 - check * 10 / (rows / kDrives), 2});
    }
    return history.append(records);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fputs("usage: bench_desktop_panes MACHINE [--large]\n", stderr);
        return 64;
    }
    const bool large = arguments.contains(QStringLiteral("--large"));
    setDefaultInt(QStringLiteral("WelcomeAssistantFinished"), 1);
    setDefaultInt(QStringLiteral("WelcomeShown"), 1);
    setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    setDefaultInt(QStringLiteral("NotificationUseEmail"), 0);
    setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);

    QTemporaryDir folder;
    DesktopApp::Options options;
    options.headless.machine = arguments.at(1);
    options.modifiers = [] { return Qt::NoModifier; };
    if (large) {
        const QString support = WendleLib::shared().suppDir();
        QDir().mkpath(support);
        options.headless.historyPath = folder.filePath(QStringLiteral("history.sqlite3"));
        // Just below the size at which the logger starts a new file.
        if (!writeLargeLog(support + QStringLiteral("/Ostrivane.log"), 26'214'400 - 4096) ||
            !writeHistory(options.headless.historyPath, 100'000)) {
            std::fputs("bench_desktop_panes: cannot write the log or the history\n", stderr);
            return 73;
        }
    }
    ProcessLogger log;
    NoAlerts alerts;
    DesktopApp app(options, log, alerts);
    app.launch();
    app.openMainWindow();
    MainWindow* window = app.mainWindow();
    HistoryPane* pane = window->historyPane();
    runUntil([] { return false; }, 1000);

    if (large) {
        // The probe: the longest gap between two of its 5 ms ticks, less 5 ms.
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0;
        qint64 longest = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (lastTick != 0) {
                longest = std::max(longest, now - lastTick - 5'000'000);
            }
            lastTick = now;
        });
        probe.start();
        runUntil([] { return false; }, 200);
        longest = 0;

        qint64 firstText = -1;
        qint64 chartShown = -1;
        QObject::connect(pane->logfileTextView(), &QPlainTextEdit::textChanged, [&] {
            if (firstText < 0) {
                firstText = clock.nsecsElapsed();
            }
        });
        bool logShown = false;
        QObject::connect(pane, &HistoryPane::logfileShown, [&] { logShown = true; });
        QObject::connect(pane, &HistoryPane::chartLoaded,
                         [&] { chartShown = clock.nsecsElapsed(); });
        const qint64 start = clock.nsecsElapsed();
        window->toolbarClicked(2);
        const bool finished = runUntil([&] { return logShown && chartShown >= 0; });
        const qint64 whole = clock.nsecsElapsed();
        runUntil([] { return false; }, 300);
        probe.stop();
        if (!finished || firstText < 0) {
            std::fputs("bench_desktop_panes: the history pane did not load\n", stderr);
            return 1;
        }
        std::printf(
            "history pane, 25 MiB log (%lld lines shown) and 100,000 history rows:\n"
            "  first log text after %.0f ms, chart (%lld lines) after %.0f ms, whole log "
            "after %.0f ms\n  longest event-loop stall %.1f ms\n",
            static_cast<long long>(pane->logfileTextView()->blockCount()),
            (firstText - start) / 1e6, static_cast<long long>(pane->chart()->lines().size()),
            (chartShown - start) / 1e6, (whole - start) / 1e6, longest / 1e6);
    } else {
        for (int index = 0; index < MainWindow::kPaneCount; ++index) {
            bool loaded = index != 2;
            QObject::connect(pane, &HistoryPane::chartLoaded, [&loaded] { loaded = true; });
            window->toolbarClicked(index);
            runUntil([&loaded] { return loaded; });
            runUntil([] { return false; }, 300);
            QObject::disconnect(pane, &HistoryPane::chartLoaded, nullptr, nullptr);
        }
        window->toolbarClicked(0);
        runUntil([] { return false; }, 2000);
    }
    std::printf("after visiting all four panes%s: RSS %ld kB, PSS %ld kB\n",
                large ? " (with the large log)" : "",
                statusKilobytes("/proc/self/status", "VmRSS:"),
                statusKilobytes("/proc/self/smaps_rollup", "Pss:"));
    app.mainWindow()->hide();
    wait_for_background();
    return 0;
}

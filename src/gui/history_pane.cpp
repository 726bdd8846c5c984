// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/history_pane.h"

#include "app/health_history.h"
#include "app/health_trend.h"
#include "app/process_logger.h"
#include "ext/scheduling.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "gui/health_chart.h"
#include "gui/log_view_text.h"
#include "ui/documentation_view.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>
#include <memory>

namespace {

// The log is handed to the view in pieces of about this many bytes, newest
// first: a full 25 MiB log shows its end at once and never holds up the
// event loop for long.
constexpr qsizetype kLogPiece = 64 * 1024;
// A check writes several lines at once: reload once they are all there.
constexpr int kLogSettleMs = 300;

void scrollToEnd(QPlainTextEdit* view) {
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(bar->maximum());
}

QWidget* helpPage(const QString& name) {
    auto* view = new DocumentationView;
    view->setLocalHTMLName(name);
    view->setOpenOnlyClicksInBrowser(true);
    return view;
}

}  // namespace

HistoryPane::HistoryPane(QString logFile, QString historyFile, QWidget* parent)
    : QWidget(parent),
      logFile_(std::move(logFile)),
      historyFile_(std::move(historyFile)),
      openFile_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("historyView"));
    // Threads of its own: the raster paint engine spreads its work over the
    // global pool, and a long read there would hold up every repaint.
    workers_ = new QThreadPool(this);
    workers_->setMaxThreadCount(2);
    workers_->setExpiryTimeout(10'000);

    chart_ = new HealthChart;

    auto* logPage = new QWidget;
    logfileTextView_ = new QPlainTextEdit;
    logfileTextView_->setObjectName(QStringLiteral("logfileTextView"));
    logfileTextView_->setReadOnly(true);
    logfileTextView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    logfileTextView_->setUndoRedoEnabled(false);
    auto* reload = new QPushButton(localized(QStringLiteral("Reload")));
    reload->setObjectName(QStringLiteral("logfileReload"));
    connect(reload, &QPushButton::clicked, this, &HistoryPane::logfileReload);
    auto* open = new QPushButton(localized(QStringLiteral("Open Log File")));
    open->setObjectName(QStringLiteral("logfileOpen"));
    connect(open, &QPushButton::clicked, this, &HistoryPane::logfileOpen);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(open);
    buttons->addWidget(reload);
    auto* logLayout = new QVBoxLayout(logPage);
    logLayout->addWidget(logfileTextView_, 1);
    logLayout->addLayout(buttons);

    documentationTabView_ = new QTabWidget;
    documentationTabView_->setObjectName(QStringLiteral("documentationTabView"));
    documentationTabView_->setDocumentMode(true);
    // Page 0 is the introduction the welcome window links to (tag 99),
    // page 1 the help the other controls open.
    documentationTabView_->addTab(helpPage(QStringLiteral("index.html")),
                                  localized(QStringLiteral("Getting Started")));
    documentationTabView_->addTab(helpPage(QStringLiteral("health.html")),
                                  localized(QStringLiteral("Help")));

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("historyTabs"));
    tabs_->addTab(chart_, localized(QStringLiteral("Health")));
    tabs_->addTab(logPage, localized(QStringLiteral("Log")));
    tabs_->addTab(documentationTabView_, localized(QStringLiteral("Help")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    changed_ = new QTimer(this);
    changed_->setSingleShot(true);
    changed_->setInterval(kLogSettleMs);
    connect(changed_, &QTimer::timeout, this, [this] {
        // After a failed read the failure's own log line would read again.
        if (!lastReadFailed_) {
            logfileReload();
        }
    });
}

HistoryPane::~HistoryPane() {
    // What the workers hand back checks that the pane is still there.
    workers_->waitForDone();
}

void HistoryPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    watchLog(true);
}

void HistoryPane::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    watchLog(false);
}

void HistoryPane::watchLog(bool on) {
    if (!on) {
        delete watcher_;
        watcher_ = nullptr;
        changed_->stop();
        return;
    }
    if (watcher_ != nullptr || logFile_.isEmpty()) {
        return;
    }
    watcher_ = new QFileSystemWatcher(this);
    // The folder too: a rotated or new log is another file under the same name.
    watcher_->addPath(QFileInfo(logFile_).absolutePath());
    if (QFileInfo::exists(logFile_)) {
        watcher_->addPath(logFile_);
    }
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &HistoryPane::logChanged);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!watcher_->files().contains(logFile_) && QFileInfo::exists(logFile_)) {
            watcher_->addPath(logFile_);
            logChanged();
        }
    });
}

void HistoryPane::logChanged() {
    if (watcher_ != nullptr && !watcher_->files().contains(logFile_) &&
        QFileInfo::exists(logFile_)) {
        watcher_->addPath(logFile_);
    }
    changed_->start();
}

void HistoryPane::logfileReload() {
    ++logReloads_;
    const quint64 generation = ++logGeneration_;
    QPointer<HistoryPane> self(this);
    const QString path = logFile_;
    workers_->start([self, path, generation] {
        QFile file(path);
        QByteArray bytes;
        bool read = file.open(QIODevice::ReadOnly);
        if (read) {
            bytes = file.readAll();
            read = file.error() == QFileDevice::NoError;
        }
        if (!read) {
            const QString error = file.errorString();
            run_on_main_after(0, [self, generation, error] {
                if (!self || generation != self->logGeneration_) {
                    return;
                }
                log_message(3, QStringLiteral("Could not read logfile: %1").arg(error));
                self->lastReadFailed_ = true;
                scrollToEnd(self->logfileTextView_);
                Q_EMIT self->logfileShown();
            });
            return;
        }
        // Newest first, cut at line ends (so each piece reformats as the whole would).
        qsizetype end = bytes.size();
        bool first = true;
        do {
            qsizetype start = std::max<qsizetype>(0, end - kLogPiece);
            if (start > 0) {
                const qsizetype newline = bytes.lastIndexOf('\n', start - 1);
                start = newline < 0 ? 0 : newline + 1;
            }
            const QString piece =
                logViewText(QString::fromUtf8(bytes.constData() + start, end - start));
            const bool last = start == 0;
            run_on_main_after(0, [self, generation, piece, first, last] {
                if (self) {
                    self->takeLogPiece(generation, piece, first, last);
                }
            });
            first = false;
            end = start;
        } while (end > 0);
    });
}

void HistoryPane::takeLogPiece(quint64 generation, const QString& text, bool first, bool last) {
    if (generation != logGeneration_) {
        return;
    }
    QScrollBar* bar = logfileTextView_->verticalScrollBar();
    if (first) {
        logfileTextView_->setPlainText(text);
        scrollToEnd(logfileTextView_);
    } else {
        // Older lines go above what is shown; whoever reads at the end stays there.
        const bool atEnd = bar->value() == bar->maximum();
        const int fromEnd = bar->maximum() - bar->value();
        QTextCursor cursor(logfileTextView_->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(text);
        bar->setValue(atEnd ? bar->maximum() : bar->maximum() - fromEnd);
    }
    if (last) {
        lastReadFailed_ = false;
        Q_EMIT logfileShown();
    }
}

void HistoryPane::logfileOpen() {
    if (!openFile_ || !openFile_(QUrl::fromLocalFile(logFile_))) {
        log_message(3, QStringLiteral("Could not open logfile with the default application"));
    }
}

void HistoryPane::reloadChart() {
    const quint64 generation = ++chartGeneration_;
    const int warning = int(defaultInt(QStringLiteral("ThresholdWarning")));
    const int error = int(defaultInt(QStringLiteral("ThresholdError")));
    QPointer<HistoryPane> self(this);
    const QString path = historyFile_;
    workers_->start([self, path, generation, warning, error] {
        QList<HealthChart::Line> lines;
        // No file: no check has recorded anything yet; never create one here.
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            ProcessLogger log;
            HealthHistory history(log);
            std::optional<QList<HealthRecord>> records;
            if (history.open(path)) {
                records = history.records();
            }
            for (const HealthSeries& series :
                 healthSeries(records.value_or(QList<HealthRecord>{}))) {
                HealthChart::Line line;
                line.label = series.serial.isEmpty()
                                 ? series.name
                                 : QStringLiteral("%1 (%2)").arg(series.name, series.serial);
                line.projection = projectWarning(series, warning);
                // A point a day is all a line of a few hundred pixels can show:
                // the lowest of each day, so no fall is smoothed away.
                qint64 day = std::numeric_limits<qint64>::min();
                for (const HealthSeries::Point& point : series.points) {
                    const qint64 pointDay = point.time / 86400;
                    if (pointDay != day || line.points.isEmpty()) {
                        line.points.append(QPointF(qreal(point.time), point.health));
                        day = pointDay;
                    } else if (point.health < line.points.last().y()) {
                        line.points.last().setY(point.health);
                    }
                }
                lines.append(std::move(line));
            }
        }
        run_on_main_after(0, [self, generation, lines = std::move(lines), warning, error] {
            if (self && generation == self->chartGeneration_) {
                self->chart_->setLines(lines, warning, error);
                Q_EMIT self->chartLoaded();
            }
        });
    });
}

void HistoryPane::showDocumentation(int page) {
    tabs_->setCurrentIndex(HelpTab);
    if (page >= 0 && page < documentationTabView_->count()) {
        documentationTabView_->setCurrentIndex(page);
    }
}

void HistoryPane::setDocumentationPage(int index, QWidget* page, const QString& title) {
    if (index >= 0 && index < documentationTabView_->count()) {
        QWidget* old = documentationTabView_->widget(index);
        documentationTabView_->removeTab(index);
        delete old;
        documentationTabView_->insertTab(index, page, title);
    } else {
        documentationTabView_->addTab(page, title);
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class HealthChart;
class QFileSystemWatcher;
class QPlainTextEdit;
class QTabWidget;
class QThreadPool;
class QTimer;

// The history pane: each drive's health over time with where it is heading,
// the application's log, and the documentation pages.
class HistoryPane final : public QWidget {
    Q_OBJECT

  public:
    // Opens a file with the desktop's default application; false when it could not.
    using FileOpener = std::function<bool(const QUrl&)>;

    HistoryPane(QString logFile, QString historyFile, QWidget* parent = nullptr);
    ~HistoryPane() override;

    enum Tab { HealthTab = 0, LogTab = 1, HelpTab = 2 };

    // Reads and reformats the log on a worker; the view takes it on the main
    // thread, newest lines first, and stays scrolled to the end.
    void logfileReload();
    // The log in the desktop's default application.
    void logfileOpen();
    // Reads the health history on a worker and redraws the chart.
    void reloadChart();
    // The documentation tab with the page of this index.
    void showDocumentation(int page);
    // Puts a page in place of the one at `index` (or after the last), taking it over.
    void setDocumentationPage(int index, QWidget* page, const QString& title);

    void setFileOpener(FileOpener opener) { openFile_ = std::move(opener); }

    QPlainTextEdit* logfileTextView() const { return logfileTextView_; }
    QTabWidget* tabs() const { return tabs_; }
    QTabWidget* documentationTabView() const { return documentationTabView_; }
    HealthChart* chart() const { return chart_; }
    int logReloads() const { return logReloads_; }

  Q_SIGNALS:
    // The log view took the last of a reload (or kept its text on failure).
    void logfileShown();
    void chartLoaded();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void watchLog(bool on);
    void logChanged();
    void takeLogPiece(quint64 generation, const QString& text, bool first, bool last);

    QString logFile_;
    QString historyFile_;
    FileOpener openFile_;
    QTabWidget* tabs_ = nullptr;
    QTabWidget* documentationTabView_ = nullptr;
    HealthChart* chart_ = nullptr;
    QPlainTextEdit* logfileTextView_ = nullptr;
    QThreadPool* workers_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* changed_ = nullptr;
    // Pieces of an older reload arriving late are dropped.
    quint64 logGeneration_ = 0;
    quint64 chartGeneration_ = 0;
    bool lastReadFailed_ = false;
    int logReloads_ = 0;
};

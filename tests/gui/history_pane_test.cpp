// SPDX-License-Identifier: GPL-3.0-or-later
// The history pane: the log as it shows it, reloads and failures, the help
// pages, and the health chart over a recorded machine's year of history.
#include "gui/history_pane.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/health_chart.h"
#include "gui/log_view_text.h"
#include "gui/main_window.h"
#include "ui/documentation_view.h"

#include "app/health_history.h"
#include "app/process_logger.h"
#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"
#include "gui_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

const QString kDemo = QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo");

QString freshFolder(const QString& name) {
    const QString folder = testRoot() + QStringLiteral("/history/") + name;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

bool writeFile(const QString& path, const QByteArray& bytes, bool append = false) {
    QFile file(path);
    return file.open(append ? QIODevice::Append : QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// Reloads and waits until the view took all of it.
bool reloaded(HistoryPane& pane) {
    QSignalSpy shown(&pane, &HistoryPane::logfileShown);
    pane.logfileReload();
    return waitUntil([&] { return shown.size() == 1; });
}

// The test's log, and the application's once a desktop app opened it.
QString logged() {
    QFile file(WendleLib::shared().suppDir() + QStringLiteral("/Ostrivane.log"));
    return loggedText() +
           (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString());
}

bool atEnd(const QPlainTextEdit* view) {
    const QScrollBar* bar = view->verticalScrollBar();
    return bar->value() == bar->maximum();
}

TEST(HistoryPane, LogLinesAreShownAsTheyAreReformatted) {
    const QString folder = freshFolder(QStringLiteral("lines"));
    const QString log = folder + QStringLiteral("/Ostrivane.log");
    ASSERT_TRUE(writeFile(log,
                          "Dec  8 08:39:13 Ostrivane[4242] <Notice>: Disk a: health 93%\n"
                          // Fewer than five words: as it is, "] <" or not.
                          "Dec 8 x] <Notice>:\n"
                          // No "] <": as it is.
                          "Dec  8 08:40:00 Ostrivane[4242] Notice: no brackets here\n"
                          // A time of two words keeps its first.
                          "Dec  8 8:41:00 PM Ostrivane[4242] <Error>: Disk b] <failing\n"));
    HistoryPane pane(log, QString());
    ASSERT_TRUE(reloaded(pane));
    EXPECT_EQ(pane.logfileTextView()->toPlainText(),
              QStringLiteral("Dec 8 08:39:13 <Notice>: Disk a: health 93%\n"
                             "Dec 8 x] <Notice>:\n"
                             "Dec  8 08:40:00 Ostrivane[4242] Notice: no brackets here\n"
                             "Dec 8 8:41:00 <Error>: Disk b\n"));
    EXPECT_EQ(pane.logReloads(), 1);
}

TEST(HistoryPane, AnUnreadableLogIsLoggedAndTheOldTextStays) {
    const QString folder = freshFolder(QStringLiteral("unreadable"));
    const QString log = folder + QStringLiteral("/Ostrivane.log");
    ASSERT_TRUE(writeFile(log, "Dec  8 08:39:13 Ostrivane[1] <Notice>: first\n"));
    HistoryPane pane(log, QString());
    ASSERT_TRUE(reloaded(pane));
    const QString shown = pane.logfileTextView()->toPlainText();
    ASSERT_EQ(shown, QStringLiteral("Dec 8 08:39:13 <Notice>: first\n"));

    ASSERT_TRUE(QFile::remove(log));
    ASSERT_TRUE(reloaded(pane));
    EXPECT_EQ(pane.logfileTextView()->toPlainText(), shown);
    EXPECT_TRUE(
        logged().contains(QStringLiteral("Could not read logfile: No such file or directory")))
        << logged().right(400).toStdString();
    EXPECT_TRUE(atEnd(pane.logfileTextView()));

    // A folder in the log's place cannot be read either.
    ASSERT_TRUE(QDir().mkpath(log));
    ASSERT_TRUE(reloaded(pane));
    EXPECT_EQ(pane.logfileTextView()->toPlainText(), shown);
}

TEST(HistoryPane, ALargeLogArrivesWholeInOrderEndingAtTheBottom) {
    const QString folder = freshFolder(QStringLiteral("large"));
    const QString log = folder + QStringLiteral("/Ostrivane.log");
    QByteArray text;
    for (int line = 0; text.size() < 1'500'000; ++line) {
        text += QStringLiteral("Dec  8 08:%1:%2 Ostrivane[77] <Info>: line %3 ünïcode\n")
                    .arg(line / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(line % 60, 2, 10, QLatin1Char('0'))
                    .arg(line)
                    .toUtf8();
    }
    text += "a last line without its line feed";
    ASSERT_TRUE(writeFile(log, text));
    HistoryPane pane(log, QString());
    pane.resize(600, 400);
    pane.show();
    ASSERT_TRUE(reloaded(pane));
    EXPECT_EQ(pane.logfileTextView()->toPlainText(), logViewText(QString::fromUtf8(text)));
    EXPECT_TRUE(atEnd(pane.logfileTextView()));
    EXPECT_TRUE(pane.logfileTextView()->toPlainText().endsWith(
        QStringLiteral("a last line without its line feed\n")));

    // Two reloads at once: only the later one's pieces are taken.
    ASSERT_TRUE(writeFile(log, "short\n"));
    QSignalSpy shown(&pane, &HistoryPane::logfileShown);
    pane.logfileReload();
    pane.logfileReload();
    ASSERT_TRUE(waitUntil([&] { return shown.size() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(pane.logfileTextView()->toPlainText(), QStringLiteral("short\n"));
}

TEST(HistoryPane, TheLogIsReloadedWhenItChangesWhileShown) {
    const QString folder = freshFolder(QStringLiteral("watched"));
    const QString log = folder + QStringLiteral("/Ostrivane.log");
    ASSERT_TRUE(writeFile(log, "one\n"));
    HistoryPane pane(log, QString());
    pane.show();
    ASSERT_TRUE(reloaded(pane));
    ASSERT_TRUE(writeFile(log, "Dec  8 08:39:13 Ostrivane[1] <Notice>: two\n", true));
    EXPECT_TRUE(waitUntil([&] {
        return pane.logfileTextView()->toPlainText().endsWith(
            QStringLiteral("Dec 8 08:39:13 <Notice>: two\n"));
    }));
    // Replaced by a new file under the same name (a rotated log).
    ASSERT_TRUE(QFile::remove(log));
    ASSERT_TRUE(writeFile(log, "three\n"));
    EXPECT_TRUE(waitUntil([&] { return pane.logfileTextView()->toPlainText() == "three\n"; }));

    // Hidden, it does not follow the file.
    pane.hide();
    const int reloads = pane.logReloads();
    ASSERT_TRUE(writeFile(log, "four\n", true));
    EXPECT_FALSE(waitUntil([&] { return pane.logReloads() != reloads; }, 1200));
}

TEST(HistoryPane, OpeningTheLogUsesTheDefaultApplicationAndLogsAFailure) {
    const QString log = freshFolder(QStringLiteral("open")) + QStringLiteral("/Ostrivane.log");
    HistoryPane pane(log, QString());
    QList<QUrl> asked;
    bool opens = true;
    pane.setFileOpener([&](const QUrl& url) {
        asked.append(url);
        return opens;
    });
    const QString line = QStringLiteral("Could not open logfile with the default application");
    const qsizetype before = logged().count(line);
    pane.logfileOpen();
    ASSERT_EQ(asked, QList<QUrl>{QUrl::fromLocalFile(log)});
    EXPECT_EQ(logged().count(line), before);
    opens = false;
    pane.logfileOpen();
    EXPECT_EQ(logged().count(line), before + 1);
}

TEST(HistoryPane, ADamagedOrMissingHistoryDrawsAnEmptyChart) {
    const QString folder = freshFolder(QStringLiteral("damaged"));
    for (const QString& path : {folder + QStringLiteral("/garbage.sqlite3"),
                                folder + QStringLiteral("/missing.sqlite3")}) {
        if (path.endsWith(QStringLiteral("garbage.sqlite3"))) {
            ASSERT_TRUE(writeFile(path, QByteArray(8192, '\x5a')));
        }
        HistoryPane pane(QString(), path);
        QSignalSpy loaded(&pane, &HistoryPane::chartLoaded);
        pane.reloadChart();
        ASSERT_TRUE(waitUntil([&] { return loaded.size() == 1; }));
        EXPECT_TRUE(pane.chart()->lines().isEmpty());
        EXPECT_TRUE(pane.chart()->grab().save(folder + QStringLiteral("/empty.png")));
    }
    // Looking never makes a history file.
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/missing.sqlite3")));
    EXPECT_TRUE(logged().contains(QStringLiteral("health history: cannot")));
}

// Records every dialog; nothing waits for a person.
class QuietAlerts final : public DesktopAlerts {
  public:
    int alert_apptitled(const QString&, const QString&, const QString&, const QString&) override {
        return 1000;
    }
    int alert(const QString&, const QString&, const QString&, const QString&,
              const QString&) override {
        return 1000;
    }
};

class HistoryOnTheDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        setDefaultInt(QStringLiteral("WelcomeAssistantFinished"), 1);
        setDefaultInt(QStringLiteral("WelcomeShown"), 1);
        setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
        setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
        removeDefault(QStringLiteral("ThresholdWarning"));
        removeDefault(QStringLiteral("ThresholdError"));
    }
    std::unique_ptr<DesktopApp> makeApp(const QString& historyPath = {}) {
        DesktopApp::Options options;
        options.headless.machine = kDemo;
        options.headless.historyPath = historyPath;
        options.headless.workOffMainThread = false;
        options.modifiers = [] { return Qt::NoModifier; };
        auto app = std::make_unique<DesktopApp>(options, log, alerts);
        app->launch();
        return app;
    }
    ProcessLogger log;
    QuietAlerts alerts;
};

TEST_F(HistoryOnTheDesktop, HelpOpensTheDocumentationPageOfTheSender) {
    auto app = makeApp();
    QObject tagged;
    tagged.setProperty("tag", 99);
    app->showHelp(&tagged);
    MainWindow* window = app->mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentPane(), 2);
    HistoryPane* pane = window->historyPane();
    EXPECT_EQ(pane->tabs()->currentIndex(), HistoryPane::HelpTab);
    EXPECT_EQ(pane->documentationTabView()->currentIndex(), 0);
    // The shown page is the introduction, loaded from the help folder.
    auto* intro = qobject_cast<DocumentationView*>(pane->documentationTabView()->currentWidget());
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->localHTMLName(), QStringLiteral("index.html"));
    intro->loadOnce();
    EXPECT_TRUE(intro->isLoaded());
    EXPECT_FALSE(intro->toPlainText().trimmed().isEmpty());

    QObject other;
    other.setProperty("tag", 98);
    app->showHelp(&other);
    EXPECT_EQ(pane->documentationTabView()->currentIndex(), 1);
    app->showHelp(&tagged);
    EXPECT_EQ(pane->documentationTabView()->currentIndex(), 0);
    app->showHelp(nullptr);
    EXPECT_EQ(pane->documentationTabView()->currentIndex(), 1);

    // A page put in later takes the placeholder's place.
    auto* page = new QWidget;
    pane->setDocumentationPage(1, page, QStringLiteral("Help"));
    EXPECT_EQ(pane->documentationTabView()->count(), 2);
    EXPECT_EQ(pane->documentationTabView()->widget(1), page);
}

TEST_F(HistoryOnTheDesktop, TheDesktopRecordsEachCheckAndARecordedMachineApart) {
    const QString path = freshFolder(QStringLiteral("recorded")) + QStringLiteral("/h.sqlite3");
    {
        auto app = makeApp(path);
        app->controller()->performCheck();
    }
    HealthHistory history(log);
    ASSERT_TRUE(history.open(path));
    const auto records = history.records();
    ASSERT_TRUE(records);
    // Two drives, checked at launch and once more.
    EXPECT_EQ(records->size(), 4);

    // Without a file of its own, a recorded machine's checks stay out of the user's.
    auto app = makeApp();
    app->openMainWindow();
    QSignalSpy loaded(app->mainWindow()->historyPane(), &HistoryPane::chartLoaded);
    app->mainWindow()->toolbarClicked(2);
    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 1; }));
    const HealthChart* chart = app->mainWindow()->historyPane()->chart();
    ASSERT_EQ(chart->lines().size(), 2);
    EXPECT_EQ(chart->lines().first().points.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(HealthHistory::defaultPath()));
    // A check while the pane is shown is drawn as soon as it is recorded.
    app->controller()->performCheck();
    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 2; }));
    EXPECT_EQ(chart->lines().first().points.size(), 1);  // the same day: its lowest point
    EXPECT_EQ(chart->lines().first().projection.pointsUsed, 2);
}

// How many pixels of the image are within `tolerance` of the colour.
int pixelsNear(const QImage& image, const QRect& area, const QColor& color, int tolerance = 40) {
    int count = 0;
    for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y) {
        for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1);
             ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                    std::abs(pixel.blue() - color.blue()) <
                tolerance) {
                ++count;
            }
        }
    }
    return count;
}

// A year of hourly checks of the demo machine: its SATA drive barely moving,
// its worn NVMe drive falling, and the drive that held the worn one's name
// before it, replaced after it reached the warning threshold.
QString yearOfHistory(const QDateTime& now) {
    const QString path = freshFolder(QStringLiteral("year")) + QStringLiteral("/history.sqlite3");
    ProcessLogger log;
    HealthHistory history(log);
    if (!history.open(path)) {
        return {};
    }
    QRandomGenerator random(2026);
    QList<HealthRecord> records;
    constexpr int kHours = 365 * 24;
    for (int hour = 0; hour < kHours; ++hour) {
        const QDateTime time = now.addSecs(qint64(hour - kHours) * 3600);
        const double day = hour / 24.0;
        records.append({time, QStringLiteral("Mirror, Système, /home"),
                        QStringLiteral("Samsung SSD 860 EVO 500GB"),
                        QStringLiteral("S3Z1NB0K123456X"), QStringLiteral("/dev/sda"),
                        int(99 - day / 61), 2});
        if (day < 120) {
            records.append({time, QStringLiteral("Games"), QStringLiteral("WD_BLACK SN750 1TB"),
                            QStringLiteral("19460B800042"), QStringLiteral("/dev/nvme0n1"),
                            int(72 - day / 5), 2});
        } else {
            const int noise = int(random.bounded(3)) - 1;
            records.append({time, QStringLiteral("Games"), QStringLiteral("WD_BLACK SN850X 2000GB"),
                            QStringLiteral("23123A800001"), QStringLiteral("/dev/nvme0n1"),
                            int(84 - (day - 120) / 12) + noise, 2});
        }
    }
    return history.append(records) ? path : QString();
}

TEST_F(HistoryOnTheDesktop, ScreenshotOfTheHealthChartOverAYear) {
    const QString path = yearOfHistory(QDateTime::currentDateTimeUtc());
    ASSERT_FALSE(path.isEmpty());
    auto app = makeApp(path);
    app->openMainWindow();
    MainWindow* window = app->mainWindow();
    window->resize(900, 560);
    HistoryPane* pane = window->historyPane();
    QSignalSpy loaded(pane, &HistoryPane::chartLoaded);
    window->toolbarClicked(2);
    ASSERT_TRUE(waitUntil([&] { return loaded.size() == 1; }));
    QCoreApplication::processEvents();
    const QImage image = window->grab().toImage();
    ASSERT_TRUE(image.save(QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/history_pane.png")));
    // The other tabs, for people to look at.
    ASSERT_TRUE(waitUntil([&] { return !pane->logfileTextView()->toPlainText().isEmpty(); }));
    pane->tabs()->setCurrentIndex(HistoryPane::LogTab);
    ASSERT_TRUE(window->grab().save(QStringLiteral(OSTRIVANE_GUI_OUTPUT_DIR "/history_log.png")));
    pane->tabs()->setCurrentIndex(HistoryPane::HealthTab);

    const HealthChart* chart = pane->chart();
    // The launch's own check continued the demo drives' lines.
    ASSERT_EQ(chart->lines().size(), 3);
    const QPoint origin = chart->mapTo(window, QPoint(0, 0));
    const QRect plot = chart->plotRect().toAlignedRect().translated(origin);
    // One line per drive, each in its own colour.
    for (int index = 0; index < 3; ++index) {
        EXPECT_GT(pixelsNear(image, plot, HealthChart::lineColor(index)), 100) << index;
    }
    // The thresholds across the whole plot, at their heights.
    for (const auto& [health, color] :
         {std::pair{50, HealthChart::warningColor()}, std::pair{30, HealthChart::errorColor()}}) {
        const int y = origin.y() + int(chart->yFor(health));
        const QRect row(plot.left(), y - 1, plot.width(), 3);
        EXPECT_GT(pixelsNear(image, row, color), plot.width() / 3)
            << health << " at " << y << " "
            << image.pixelColor(plot.left() + 2, y).name().toStdString() << " "
            << image.pixelColor(plot.left() + 2, y + 1).name().toStdString();
    }
    // The legend: the date for the falling drive, the reason for the others.
    const QStringList legend = chart->legendTexts();
    ASSERT_EQ(legend.size(), 3);
    EXPECT_TRUE(legend[0].startsWith(QStringLiteral("Mirror, Système, /home (S3Z1NB0K123456X)")));
    EXPECT_TRUE(legend[1].contains(QStringLiteral("at or below the warning threshold (50%)")))
        << legend[1].toStdString();
    // Falling a point in twelve days from about 64: 50 in about 170 days.
    const HealthProjection projection = chart->lines()[2].projection;
    ASSERT_EQ(projection.status, HealthProjection::Status::Projected);
    const qint64 days = QDateTime::currentDateTimeUtc().daysTo(projection.warningDate);
    EXPECT_GT(days, 120);
    EXPECT_LT(days, 220);
    EXPECT_TRUE(legend[2].endsWith(
        QStringLiteral("reaches the warning threshold (50%) around ") +
        QLocale().toString(projection.warningDate.toLocalTime().date(), QLocale::ShortFormat)))
        << legend[2].toStdString();
}

}  // namespace

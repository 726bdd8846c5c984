// SPDX-License-Identifier: GPL-3.0-or-later
// The health history file: kept where it is asked to be, never in "/" when
// the program has no folder of its own.
#include "app/health_history.h"

#include "test_support.h"

#include "foundation/sqlite_database.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

QDateTime at(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

class Lines final : public Logger {
  public:
    void log_message(int level, const QString& text) override {
        lines.append(QStringLiteral("%1 %2").arg(level).arg(text));
    }
    QStringList lines;
};

TEST(HealthHistory, WithoutAFolderNothingIsKept) {
    Lines log;
    HealthHistory history(log);
    EXPECT_FALSE(history.open(QString()));
    EXPECT_EQ(log.lines,
              QStringList{QStringLiteral("3 Error:    health history: no folder to keep it in")});
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/history.sqlite3")));
}

TEST(HealthHistory, RecordsComeBackOldestFirstAndByDrive) {
    Lines log;
    const QString path = testRoot() + QStringLiteral("/deep/folder/history.sqlite3");
    {
        HealthHistory history(log);
        ASSERT_TRUE(history.open(path));
        ASSERT_TRUE(history.append({{at(1000),
                                     QStringLiteral("Work"),
                                     QStringLiteral("M1"),
                                     QStringLiteral("S1"),
                                     QStringLiteral("/dev/sda"),
                                     90,
                                     0,
                                     {}},
                                    {at(1000),
                                     QStringLiteral("Data"),
                                     QStringLiteral("M2"),
                                     QStringLiteral("S2"),
                                     QStringLiteral("/dev/sdb"),
                                     70,
                                     1,
                                     {}}}));
    }
    HealthHistory again(log);
    ASSERT_TRUE(again.open(path));
    ASSERT_TRUE(again.append({{at(2000),
                               QStringLiteral("Work"),
                               QStringLiteral("M1"),
                               QStringLiteral("S1"),
                               QStringLiteral("/dev/sda"),
                               89,
                               0,
                               {}}}));
    const auto all = again.records();
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 3);
    EXPECT_EQ(all->last().health, 89);
    const auto work = again.records(QStringLiteral("Work"));
    ASSERT_TRUE(work);
    ASSERT_EQ(work->size(), 2);
    EXPECT_EQ(work->first().time, at(1000));
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
}

// A file written before the drive's own figures were kept gets their
// columns; its rows come back without figures, new rows with them.
TEST(HealthHistory, OwnWearFiguresAndAnOlderFile) {
    Lines log;
    const QString path = testRoot() + QStringLiteral("/older/history.sqlite3");
    {
        SqliteDatabase old;
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_EQ(old.open(path), SQLITE_OK);
        ASSERT_EQ(
            old.exec("CREATE TABLE history(time INTEGER NOT NULL, name TEXT NOT NULL,"
                     " model TEXT NOT NULL, serial TEXT NOT NULL, device TEXT NOT NULL,"
                     " health INTEGER NOT NULL, smart_status INTEGER NOT NULL);"
                     "INSERT INTO history VALUES(500, 'Work', 'M1', 'S1', '/dev/sda', 91, 2);"),
            SQLITE_OK);
    }
    HealthHistory history(log);
    ASSERT_TRUE(history.open(path));
    DriveWear wear;
    wear.percentageUsed = 12;
    wear.bytesWritten = UINT64_MAX;  // beyond SQLite's integers: kept as the largest
    wear.powerOnHours = 21340;
    ASSERT_TRUE(history.append({{at(1000), QStringLiteral("Work"), QStringLiteral("M1"),
                                 QStringLiteral("S1"), QStringLiteral("/dev/sda"), 90, 2, wear}}));
    const auto all = history.records();
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 2);
    EXPECT_TRUE(all->first().ownWear.empty());
    EXPECT_EQ(all->first().health, 91);
    EXPECT_EQ(all->last().ownWear.percentageUsed, 12);
    EXPECT_EQ(all->last().ownWear.bytesWritten, std::uint64_t(INT64_MAX));
    EXPECT_EQ(all->last().ownWear.powerOnHours, 21340u);
    // Opening again finds the columns there.
    HealthHistory again(log);
    ASSERT_TRUE(again.open(path));
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
}

}  // namespace

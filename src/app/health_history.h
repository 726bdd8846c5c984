// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "foundation/sqlite_database.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One drive's state at one check.
struct HealthRecord {
    QDateTime time;
    QString name;
    QString model;
    QString serial;
    QString device;
    int health = 0;
    int smartStatus = 0;
    // What the drive reported about its own wear (figures it did not report are absent).
    DriveWear ownWear{};
};

// The health of every solid-state drive at every check, in its own SQLite
// file (kept apart from the settings store: it grows, settings do not).
// Safe between processes: a running monitor and `check` may both append.
class HealthHistory {
  public:
    explicit HealthHistory(Logger& log) : log_(log) {}

    // "history.sqlite3" in the application-support folder.
    static QString defaultPath();

    // Opens or creates the file; false (and logged) when it cannot be used.
    bool open(const QString& path);
    // All records of one check in one transaction; false (and logged) on failure.
    bool append(const QList<HealthRecord>& records);
    // Oldest first; only the drive of this name when one is given. Absent on failure.
    std::optional<QList<HealthRecord>> records(const QString& drive = {});

  private:
    bool fail(const QString& what);

    Logger& log_;
    SqliteDatabase db_;
};

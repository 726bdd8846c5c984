// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/health_history.h"

#include "foundation/sqlite_statement.h"
#include "foundation/wendle_lib.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

QString HealthHistory::defaultPath() {
    const QString folder = WendleLib::shared().suppDir();
    // Without a folder of its own the history is not kept: never in "/".
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/history.sqlite3");
}

bool HealthHistory::fail(const QString& what) {
    log_.log_message(3,
                     QStringLiteral("Error:    health history: %1: %2").arg(what, db_.lastError()));
    return false;
}

bool HealthHistory::open(const QString& path) {
    if (path.isEmpty()) {
        log_.log_message(3, QStringLiteral("Error:    health history: no folder to keep it in"));
        return false;
    }
    if (path != QLatin1String(":memory:")) {
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
    if (db_.open(path) != SQLITE_OK) {
        return fail(QStringLiteral("cannot open %1").arg(path));
    }
    // Another process may be appending at this moment: wait for it briefly.
    sqlite3_busy_timeout(db_.handle(), 5000);
    if (db_.exec("PRAGMA journal_mode=WAL;"
                 "CREATE TABLE IF NOT EXISTS history("
                 " time INTEGER NOT NULL, name TEXT NOT NULL, model TEXT NOT NULL,"
                 " serial TEXT NOT NULL, device TEXT NOT NULL, health INTEGER NOT NULL,"
                 " smart_status INTEGER NOT NULL);"
                 "CREATE INDEX IF NOT EXISTS history_name ON history(name, time);") != SQLITE_OK) {
        const bool result = fail(QStringLiteral("cannot prepare %1").arg(path));
        db_.close();
        return result;
    }
    return true;
}

bool HealthHistory::append(const QList<HealthRecord>& records) {
    if (!db_.isOpen()) {
        return false;
    }
    if (db_.exec("BEGIN IMMEDIATE") != SQLITE_OK) {
        return fail(QStringLiteral("cannot start writing"));
    }
    SqliteStatement insert;
    bool ok = insert.prepare(db_.handle(),
                             "INSERT INTO history(time, name, model, serial, device, health,"
                             " smart_status) VALUES(?, ?, ?, ?, ?, ?, ?)") == SQLITE_OK;
    for (const HealthRecord& r : records) {
        if (!ok) {
            break;
        }
        insert.reset();
        insert.bindInt64(1, r.time.toSecsSinceEpoch());
        insert.bindText(2, r.name);
        insert.bindText(3, r.model);
        insert.bindText(4, r.serial);
        insert.bindText(5, r.device);
        insert.bindInt64(6, r.health);
        insert.bindInt64(7, r.smartStatus);
        ok = insert.step() == SQLITE_DONE;
    }
    insert.finalize();
    if (!ok) {
        fail(QStringLiteral("cannot append"));
        db_.exec("ROLLBACK");
        return false;
    }
    return db_.exec("COMMIT") == SQLITE_OK || fail(QStringLiteral("cannot commit"));
}

std::optional<QList<HealthRecord>> HealthHistory::records(const QString& drive) {
    if (!db_.isOpen()) {
        return std::nullopt;
    }
    SqliteStatement select;
    const char* sql = drive.isEmpty()
                          ? "SELECT time, name, model, serial, device, health, smart_status"
                            " FROM history ORDER BY time, rowid"
                          : "SELECT time, name, model, serial, device, health, smart_status"
                            " FROM history WHERE name = ? ORDER BY time, rowid";
    if (select.prepare(db_.handle(), sql) != SQLITE_OK) {
        fail(QStringLiteral("cannot read"));
        return std::nullopt;
    }
    if (!drive.isEmpty()) {
        select.bindText(1, drive);
    }
    QList<HealthRecord> result;
    int step = SQLITE_ROW;
    // In UTC: a local time would cost a time-zone lookup for every row.
    while ((step = select.step()) == SQLITE_ROW) {
        result.append({QDateTime::fromSecsSinceEpoch(select.columnInt64(0), Qt::UTC),
                       select.columnText(1), select.columnText(2), select.columnText(3),
                       select.columnText(4), int(select.columnInt64(5)),
                       int(select.columnInt64(6))});
    }
    if (step != SQLITE_DONE) {
        fail(QStringLiteral("cannot read"));
        return std::nullopt;
    }
    return result;
}

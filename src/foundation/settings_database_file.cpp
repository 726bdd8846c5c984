// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_database_file.h"

#include "foundation/sqlite_statement.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

namespace settings_database_file {
namespace {

constexpr int kBusyTimeoutMs = 5000;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS settings ("
    " key TEXT PRIMARY KEY NOT NULL,"
    " kind TEXT NOT NULL,"
    " value"
    ") WITHOUT ROWID";

bool isBusy(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

OpenResult failure(SqliteDatabase& db, const QString& why, bool damaged) {
    db.close();
    return {false, damaged, why};
}

OpenResult sqliteFailure(SqliteDatabase& db, int rc, bool damaged) {
    return failure(db, QStringLiteral("%1 (code %2)").arg(db.lastError()).arg(rc), damaged);
}

// A free name beside `path` for a damaged file, kept for inspection.
QString asideName(const QString& path) {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = path + QStringLiteral(".damaged-") + stamp;
    for (int i = 1; QFileInfo::exists(candidate); ++i) {
        candidate =
            path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(i);
    }
    return candidate;
}

}  // namespace

bool isDamage(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_CANTOPEN ||
           rc == SQLITE_READONLY_DBMOVED;
}

OpenResult openChecked(SqliteDatabase& db, const QString& path) {
    int rc = db.open(path);
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        return sqliteFailure(db, rc,
                             isDamage(rc) || primary == SQLITE_PERM || primary == SQLITE_READONLY ||
                                 primary == SQLITE_IOERR);
    }
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMs);
    // NORMAL is enough in WAL mode for a commit to survive the process being
    // killed; a checkpoint (synchronize) adds the flush for a power cut.
    if (path != QLatin1String(":memory:")) {
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
            rc = db.exec(pragma);
            if (rc != SQLITE_OK) {
                return sqliteFailure(db, rc, !isBusy(rc));
            }
        }
    }
    rc = db.exec(kSchema);
    if (rc != SQLITE_OK) {
        return sqliteFailure(db, rc, !isBusy(rc));
    }
    {
        SqliteStatement check;
        if (check.prepare(db.handle(), "PRAGMA quick_check") != SQLITE_OK ||
            check.step() != SQLITE_ROW || check.columnText(0) != QLatin1String("ok")) {
            check.finalize();
            return failure(db, QStringLiteral("integrity check failed"), true);
        }
    }
    // A table of that name with other columns is not ours to write into.
    QStringList columns;
    {
        SqliteStatement info;
        if (info.prepare(db.handle(), "PRAGMA table_info(settings)") == SQLITE_OK) {
            while (info.step() == SQLITE_ROW) {
                columns << info.columnText(1);
            }
        }
    }
    if (columns !=
        QStringList{QStringLiteral("key"), QStringLiteral("kind"), QStringLiteral("value")}) {
        return failure(db, QStringLiteral("unexpected table layout"), true);
    }
    return {true, false, {}};
}

QString moveAside(const QString& path) {
    const QString target = asideName(path);
    if (!QFileInfo::exists(path) || !QFile::rename(path, target)) {
        return {};
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        if (QFileInfo::exists(side)) {
            QFile::rename(side, target + QLatin1String(suffix));
        }
    }
    return target;
}

}  // namespace settings_database_file

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/sqlite_database.h"

#include <QFile>

#include <sqlite3.h>

#include <sys/stat.h>

SqliteDatabase::~SqliteDatabase() {
    close();
}

int SqliteDatabase::open(const QString& path) {
    close();
    problem_.clear();
    const QByteArray name = path.toUtf8();
    // SQLite would open a FIFO or a device at the database's place (or its
    // journal's) and wait in its first read forever: only regular files.
    if (path != QLatin1String(":memory:")) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            struct stat info {};
            if (::stat(QFile::encodeName(path + QLatin1String(suffix)).constData(), &info) == 0 &&
                !S_ISREG(info.st_mode)) {
                problem_ =
                    QStringLiteral("%1%2 is not a regular file").arg(path, QLatin1String(suffix));
                return SQLITE_CANTOPEN;
            }
        }
    }
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    // On failure SQLite still hands back a handle that carries the error text;
    // it stays open until close() so lastError() can report it.
    return sqlite3_open_v2(name.constData(), &db_, flags, nullptr);
}

void SqliteDatabase::close() {
    if (db_ != nullptr) {
        // close_v2 defers the close until every statement is finalized, so a
        // forgotten statement cannot keep the file locked forever.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int SqliteDatabase::exec(const char* sql) {
    if (db_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

QString SqliteDatabase::lastError() const {
    if (!problem_.isEmpty()) {
        return problem_;
    }
    if (db_ == nullptr) {
        return QStringLiteral("database not open");
    }
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

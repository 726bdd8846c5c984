// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// Owns one SQLite connection. Calls return SQLite result codes; the text of
// the last failure is kept so callers can log it after releasing their locks.
class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens (creating if needed) the file, or an in-memory database for ":memory:".
    // Anything but a regular file at the path is refused with SQLITE_CANTOPEN.
    int open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Runs statements without results (pragmas, schema).
    int exec(const char* sql);
    QString lastError() const;
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
    // Why open() refused before asking SQLite; empty otherwise.
    QString problem_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// Owns one prepared statement. Kept prepared across calls: preparing costs
// more than running the small statements of the settings store.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int prepare(sqlite3* db, const char* sql);
    void finalize();
    bool isPrepared() const { return stmt_ != nullptr; }

    // Resets the statement and clears its bindings before the next use.
    void reset();
    int bindText(int index, const QString& text);
    int bindBlob(int index, const QByteArray& data);
    int bindInt64(int index, qint64 value);
    int bindDouble(int index, double value);
    int bindNull(int index);
    int step();

    int columnType(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    QByteArray columnBlob(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

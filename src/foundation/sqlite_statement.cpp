// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/sqlite_statement.h"

#include <sqlite3.h>

SqliteStatement::~SqliteStatement() {
    finalize();
}

int SqliteStatement::prepare(sqlite3* db, const char* sql) {
    finalize();
    return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
}

void SqliteStatement::finalize() {
    if (stmt_ != nullptr) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::bindText(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
}

int SqliteStatement::bindBlob(int index, const QByteArray& data) {
    // A zero-length blob still binds as a blob, not as NULL.
    static const char empty = 0;
    return sqlite3_bind_blob64(stmt_, index, data.isEmpty() ? &empty : data.constData(),
                               sqlite3_uint64(data.size()), SQLITE_TRANSIENT);
}

int SqliteStatement::bindInt64(int index, qint64 value) {
    return sqlite3_bind_int64(stmt_, index, value);
}

int SqliteStatement::bindDouble(int index, double value) {
    return sqlite3_bind_double(stmt_, index, value);
}

int SqliteStatement::bindNull(int index) {
    return sqlite3_bind_null(stmt_, index);
}

int SqliteStatement::step() {
    return sqlite3_step(stmt_);
}

int SqliteStatement::columnType(int column) const {
    return sqlite3_column_type(stmt_, column);
}

qint64 SqliteStatement::columnInt64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::columnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString SqliteStatement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    if (text == nullptr) {
        return QStringLiteral("");
    }
    return QString::fromUtf8(text, size);
}

QByteArray SqliteStatement::columnBlob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    if (data == nullptr || size <= 0) {
        return QByteArray("", 0);
    }
    return QByteArray(data, size);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_snapshot.h"

#include "foundation/settings_value_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

namespace {

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return qint64(sqlite3_column_int64(stmt, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, column);
        case SQLITE_TEXT:
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                sqlite3_column_bytes(stmt, column));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                              sqlite3_column_bytes(stmt, column));
        default:
            return {};
    }
}

// Without a journal file every value is in the main file, which is then read
// as it lies on disk: an ordinary read-only connection to a WAL database would
// leave a journal and a shared-memory file behind. With a journal (a writer
// is at work, or ended without closing) it must be read through, and its
// companion files exist already.
sqlite3* openReadOnly(const QString& path, QString& why) {
    sqlite3* db = nullptr;
    const bool journal = QFileInfo::exists(path + QStringLiteral("-wal"));
    const QByteArray uri = "file:" + QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme) +
                           (journal ? "?mode=ro" : "?mode=ro&immutable=1");
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        return db;
    }
    why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return nullptr;
}

}  // namespace

QVariantMap readSettingsSnapshot(const QString& path, QString* why) {
    QVariantMap values;
    QString problem;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        if (why != nullptr) {
            *why = QString();
        }
        return values;
    }
    sqlite3* db = openReadOnly(path, problem);
    if (db != nullptr) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT kind, value, key FROM settings", -1, &stmt, nullptr) ==
            SQLITE_OK) {
            int rc = SQLITE_ROW;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                const QVariant value = settings_codec::decode(columnValue(stmt, 0).toString(),
                                                              columnValue(stmt, 1), nullptr);
                if (value.isValid()) {
                    values.insert(columnValue(stmt, 2).toString(), value);
                }
            }
            if (rc != SQLITE_DONE) {
                problem = QString::fromUtf8(sqlite3_errmsg(db));
            }
        } else {
            problem = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    if (why != nullptr) {
        *why = problem;
    }
    return values;
}

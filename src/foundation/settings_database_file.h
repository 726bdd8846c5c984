// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foundation/sqlite_database.h"

#include <QString>

// Opening the settings database file and setting a damaged one aside.
namespace settings_database_file {

struct OpenResult {
    bool ok = false;
    // The file is not a usable settings database (as opposed to busy).
    bool damaged = false;
    QString why;
};

// Opens `path` (or ":memory:") in WAL mode, creates the table if needed and
// checks the file's integrity and the table's layout. On failure `db` is closed.
OpenResult openChecked(SqliteDatabase& db, const QString& path);

// Whether a SQLite result code means the file itself is unusable or gone.
bool isDamage(int rc);

// Renames the file and its journal files to "<path>.damaged-<time>"; the new
// name, or an empty string when the main file could not be moved.
QString moveAside(const QString& path);

}  // namespace settings_database_file

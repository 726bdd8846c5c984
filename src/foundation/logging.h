// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The one logging entry of the application, on the process-wide LogFacility.
// Levels: 0 Emergency, 1 Alert, 2 Critical, 3 Error, 4 Warning, 5 Notice,
// 6 Info, 7 Debug. Safe from any thread; never fails the caller.
void log_message(int level, const QString& text);

// Trims the file to its last `maxSize` bytes (0: no limit), opens it for
// appending and sets the highest level that reaches it.
void log_open_file(const QString& path, qint64 maxSize, quint8 maxFileLevel);

// One message into the small ring of recent messages in the settings store.
void log_to_defaults(const QString& text);

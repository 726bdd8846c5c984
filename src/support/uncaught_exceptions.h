// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// An exception that nothing caught, or a call of std::terminate, would end
// the program without a word. Instead it is recorded in the settings store
// ("wendlelib_exception_info", the newest 10) and the user sees the fatal
// problem report; then the process ends with status 1.
namespace UncaughtExceptions {

inline constexpr int kKeptRecords = 10;

// Appends `entry` to the list of texts under `key`, keeping the newest
// `maximum`; a value that is no list is replaced.
void append_to_defaults_list(const QString& key, const QString& entry, int maximum);

// " <type> <reason> <user info> <stack>", as recorded and reported.
QString details(const QString& type, const QString& reason, const QString& stack);
// "Date: <short date and time> Exception:<details>".
QString record(const QDateTime& when, const QString& details);

// Records one and hands title and details to `failFatally`, which must not
// return (the problem dialog, then exit status 1).
void handle_uncaught_exception(const QString& type, const QString& reason, const QString& stack);

// Makes std::terminate (and with it every uncaught exception, on any thread)
// go through handle_uncaught_exception.
void install(std::function<void(const QString& title, const QString& details)> failFatally);

}  // namespace UncaughtExceptions

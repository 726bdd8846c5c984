// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A process killed by a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE)
// leaves a report "<name>_<seconds>-<pid>.crash" in the user's crash folder,
// where the next start finds it and offers it as a problem report.
namespace CrashReports {

// Creates the folder, keeps it open and installs the handlers, which then
// use only async-signal-safe calls. False when the folder cannot be used
// (then a crash leaves no report).
bool install(const QString& folder, const QString& appName, const QString& versionString);

// Of the reports found, those in `folder` not offered before (newest last);
// `offered` are the names already offered.
QStringList unoffered(const QStringList& reports, const QString& folder,
                      const QStringList& offered);

// The settings key holding the names of reports already offered.
inline constexpr char kOfferedKey[] = "wendlelib_offered_crash_reports";

// Offers the newest report of `folder` not offered before, with its text
// (at most 64 KiB); every report found counts as offered from then on.
void offerNewest(const QStringList& reports, const QString& folder,
                 const std::function<void(const QString& path, const QString& text)>& offer);

}  // namespace CrashReports

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/headless_app.h"
#include "core/evaluation_services.h"
#include "disks/drive_access.h"

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <atomic>
#include <optional>

// What every command does before its own work: says on standard error when
// the settings were damaged and reset, and refuses a command that keeps
// settings or history when there is no home folder to keep them in. The
// exit status to leave with, or kOk to go on.
int prepareCommand(const QString& command, const QStringList& args, QTextStream& err);

// What every headless entry point does before its first check, as the
// desktop app's launch does: fallback settings, the support library's
// instance, and the log file in the application-support folder.
void startHeadless();

// The options --machine DIR and --socket PATH (when the command has it) of
// `command`, as the drive access factory takes them. Absent when the machine
// folder does not exist (the error is printed).
std::optional<DriveAccessOptions> driveAccessOptions(const QCommandLineParser& parser,
                                                     const QCommandLineOption& machine,
                                                     const QCommandLineOption* socket,
                                                     const QString& command, QTextStream& err);

// The headless options --machine DIR and --socket PATH of `command`. Absent
// when the machine folder does not exist (the error is printed).
std::optional<HeadlessApp::Options> headlessOptions(const QCommandLineParser& parser,
                                                    const QCommandLineOption& machine,
                                                    const QCommandLineOption& socket,
                                                    const QString& command, QTextStream& err);

// The process log, remembering whether S.M.A.R.T. access was refused, so a
// command can repeat the advice where the user looks.
// A logger that does not forward leaves no line anywhere (a read-only run).
class WatchingLogger final : public Logger {
  public:
    explicit WatchingLogger(bool forward = true) : forward_(forward) {}
    void log_message(int level, const QString& text) override;
    bool sawAccessAdvice() const { return sawAccessAdvice_.load(); }

  private:
    bool forward_;
    // Set by the read worker, read on the main thread.
    std::atomic<bool> sawAccessAdvice_{false};
};

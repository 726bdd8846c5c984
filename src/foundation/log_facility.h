// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foundation/system_log.h"

#include <QMutex>
#include <QString>

#include <array>

class SettingsStore;

// Writes each message to up to three places: the log file (once opened, up
// to its level), a ring of the last 10 messages per level in the settings
// store, and the operating system's log. One lock covers the file append and
// the ring update, so lines never interleave and rings stay consistent.
// Between processes, appends share an advisory lock on the file that a trim
// holds alone, and a writer whose file was replaced by another process's
// trim reopens it, so no process loses lines to another.
class LogFacility {
  public:
    static constexpr int kLevelRingSize = 10;
    static constexpr int kDefaultsRingSize = 43;

    // Null arguments mean the process-wide store, the system log and the
    // application name of WendleLib, looked up at each use.
    LogFacility(SettingsStore* store, SystemLog* systemLog, QString appName = {});
    ~LogFacility();
    LogFacility(const LogFacility&) = delete;
    LogFacility& operator=(const LogFacility&) = delete;

    static LogFacility& shared();

    void logMessage(int level, const QString& text);
    void openFile(const QString& path, qint64 maxSize, quint8 maxFileLevel);
    void logToDefaults(const QString& text);

    // The level's name as written in the file ("Notice"); levels outside 0..7
    // are clamped.
    static QString levelName(int level);
    static SystemLog::Type systemLogType(int level);

  private:
    SettingsStore& store();
    SystemLog& systemLog();
    QString appName();
    void appendLocked(const QByteArray& line);
    // Trims the file to its last maxSize bytes (when it is still larger once
    // locked); false on failure.
    bool trim(const QString& path, qint64 maxSize);

    SettingsStore* store_;
    SystemLog* systemLog_;
    QString appName_;

    QMutex mutex_;
    int fd_ = -1;
    QByteArray path_;
    quint8 maxFileLevel_ = 0;
    // One position per level ring, then the log-to-defaults ring.
    std::array<qint32, 9> positions_{};
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// `check --plugin`: the output of a monitoring plugin (Nagios, Icinga,
// Naemon, Checkmk, Sensu): one line "SSD <STATE> - text |
// perfdata", then, when asked, one line per drive.

struct PluginDrive {
    QString name;       // the volumes' names ("Games")
    QString device;     // "/dev/nvme0n1"; may be empty
    qint32 health = 0;  // 255 when unknown
    std::uint8_t smartStatus = 0;
    QString status;  // the evaluation's one-line status
};

struct PluginThresholds {
    qint64 warning = 0;
    qint64 error = 0;
};

// The state word of an exit status 0-3 ("OK", "WARNING", "CRITICAL", "UNKNOWN").
QString pluginStateName(int exitStatus);

// The whole output, ending in a line feed. `accessRefused`: the drives'
// S.M.A.R.T. data could not be read for want of rights.
QString pluginOutput(int exitStatus, const std::vector<PluginDrive>& drives,
                     const PluginThresholds& thresholds, bool verbose, bool accessRefused);

// "SSD UNKNOWN - <message>" and a line feed, for usage errors and the like.
QString pluginUnknown(const QString& message);

// Bounds a plugin run: unless destroyed first, after `seconds` it prints
// "SSD UNKNOWN - ... timed out ..." and ends the process with status 3, since
// a drive that hangs in a read cannot be interrupted from the main thread.
class PluginTimeout {
  public:
    explicit PluginTimeout(int seconds);
    ~PluginTimeout();
    PluginTimeout(const PluginTimeout&) = delete;
    PluginTimeout& operator=(const PluginTimeout&) = delete;

    // Runs on the watchdog's thread before the process ends, while the main
    // thread may be anywhere: it must only touch what it owns.
    void setCleanup(std::function<void()> cleanup);

  private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::function<void()> cleanup_;
    std::thread watchdog_;
};

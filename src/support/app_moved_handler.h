// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class Alerts;
class QSocketNotifier;

// A running program whose installation is moved (or whose volume is mounted
// elsewhere) would go on from a path that no longer exists. The installation
// root is held open, so its current path can be asked for; a move of the
// root or of a folder above it (inotify) and a change of the mount table
// (/proc/self/mountinfo) lead, after a short latency, to the offer to
// restart: a fresh copy from the new place, and this one quits.
class DXAppMovedHandler {
  public:
    struct Services {
        Alerts& alerts;
        // Starts the copy in the installation root given, without waiting;
        // false when it could not be started.
        std::function<bool(const QString& root)> launch;
        // Ends this program the normal way.
        std::function<void()> quit;
    };

    static constexpr int kLatencyMs = 3000;

    DXAppMovedHandler(Services services, QString root, int latencyMs = kLatencyMs);
    ~DXAppMovedHandler();
    DXAppMovedHandler(const DXAppMovedHandler&) = delete;
    DXAppMovedHandler& operator=(const DXAppMovedHandler&) = delete;

    // Opens the root and starts watching; false when the root cannot be
    // opened (a move then offers a restart that cannot succeed).
    bool startMoveObservation();

    // Where the root held open is now; empty when it cannot be told.
    QString currentRoot() const;
    // Whether a move was handled (at most one is).
    bool handled() const { return handled_; }

  private:
    void changed();
    void check();
    void watchRootAndAbove();

    Services services_;
    QString root_;
    int rootFd_ = -1;
    int inotifyFd_ = -1;
    int mountsFd_ = -1;
    std::unique_ptr<QSocketNotifier> inotify_;
    std::unique_ptr<QSocketNotifier> mounts_;
    QTimer latency_;
    bool handled_ = false;
};

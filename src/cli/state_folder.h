// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

// Where a headless run keeps its settings, health history, log and crash
// reports. By default the user's own folders; a run that must leave them alone
// points the XDG folders below a root of its own, laid out as the system
// monitor's /var/lib/ostrivane (config/, data/, state/, cache/). Everything
// that finds its files through those folders then follows.
class StateFolder {
  public:
    StateFolder() = default;
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    // Must run before anything asks for a settings, data or state location.
    // `kept`: a root that outlives the run (--state DIR), or empty; `own`: the
    // run needs folders of its own (--machine), a temporary root unless `kept`.
    // `readOnly` (--no-state): whichever store the run would use is only read;
    // the run then works in a temporary root whose writes are thrown away.
    // False when a folder cannot be made (`problem` says which).
    bool choose(const QString& kept, bool own, bool readOnly, QString& problem);

    // With readOnly: the stored settings the run must see, to be installed
    // above the defaults once they are in place.
    const QVariantMap& readSettings() const { return readSettings_; }

    // The temporary root, removed with this object; empty when there is none.
    QString temporaryRoot() const { return temporary_ ? temporary_->path() : QString(); }

  private:
    bool useRoot(const QString& root, bool create, QString& problem);
    bool useTemporaryRoot(QString& problem);

    std::unique_ptr<QTemporaryDir> temporary_;
    QVariantMap readSettings_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foundation/change_counter.h"
#include "foundation/sqlite_database.h"
#include "foundation/sqlite_statement.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

// The persistent key -> value store of all settings: a SQLite database in WAL
// mode, one transaction per write, so a write that returned survives the
// process being killed and two processes never lose each other's keys.
// Fallback defaults are an in-memory layer below the stored values, never
// written. A database that cannot be opened or is damaged is moved aside
// (never deleted), logged, and replaced by an empty one. Safe from any thread.
// Reads are served from a small cache that is dropped whenever any process
// has written since (see ChangeCounter), so reads stay cheap without ever
// returning a value older than the last write that returned.
class SettingsStore {
  public:
    // Opens the store at `path`; an empty path gives a store in memory only.
    explicit SettingsStore(const QString& path);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The process-wide store at WendleLib's prefsPath, opened on first use.
    static SettingsStore& shared();
    // Opens the process-wide store again at the current prefsPath, for when
    // the environment that decides it has changed (tests use temporary homes).
    static void reopenShared();

    // The stored value, else the fallback default, else an invalid QVariant.
    QVariant value(const QString& key);
    // The stored value only.
    QVariant storedValue(const QString& key);
    // Stores the value; an absent (invalid or null) value removes the key.
    // False when the value cannot be stored (the reason is logged).
    bool setValue(const QString& key, const QVariant& value);
    // False only when the removal failed; removing an absent key succeeds.
    bool remove(const QString& key);
    bool contains(const QString& key);
    QStringList keys();
    QVariantMap storedValues();
    // Writes the journal into the database file (a checkpoint).
    bool synchronize();
    // How many writes all processes have made so far, for a watcher that
    // wants to know cheaply whether anything changed; absent when the store
    // cannot count them (in memory only). Edits behind the store's back (the
    // sqlite3 tool) are not counted.
    std::optional<quint64> changeCount() const;

    // Adds to the fallback layer (later calls win for the same key).
    void registerDefaults(const QVariantMap& defaults);
    QVariantMap fallbackDefaults() const;

    // What a damaged store that was moved aside tells the user. The process
    // that moved it logs it at level 2 and passes a one-line text to the
    // handler (a command prints it on standard error); lines from before a
    // handler was set are passed when it is set.
    using DamageHandler = std::function<void(const QString& line)>;
    static void setDamageHandler(DamageHandler handler);
    // The key under which the notice waits in the new store.
    static constexpr const char* kDamageNoticeKey = "SettingsDamageNotice";
    // The notice for the user of the damage events not yet told (empty when
    // none), removed from the store in the same step, so only one caller
    // in any process gets it.
    QString takeDamageNotice();

    QString path() const;
    // False when the store lives in memory only (no location, or it could
    // not be opened at all): writes are then lost at exit.
    bool isPersistent() const;

  private:
    struct Lazy {};
    explicit SettingsStore(Lazy);

    void openShared();
    // Both run with mutex_ held and add what should be logged to `notes`.
    void openLocked(const QString& path, QStringList& notes);
    bool tryOpenLocked(const QString& path, QString& why, bool& damaged);
    bool prepareStatementsLocked();
    void recoverIfDamagedLocked(int rc, QStringList& notes);
    QVariant rowValueLocked(SqliteStatement& stmt, const QString& key, QStringList& notes);
    // Logs the notes at level 3 and the damage events at level 2; without
    // mutex_ held.
    void report(const QStringList& notes);
    static QMutex& damageHandlerMutex();
    static DamageHandler& damageHandler();
    static QStringList& unheardDamage();
    // With mutex_ held: drops the cache if the store changed since it was filled.
    void validateCacheLocked();
    // With mutex_ held, after this connection committed a change of `key`.
    void noteOwnWriteLocked(const QString& key);

    mutable QMutex mutex_;
    SqliteDatabase db_;
    SqliteStatement select_;
    SqliteStatement upsert_;
    SqliteStatement delete_;
    QString path_;
    bool persistent_ = false;
    std::atomic<bool> opened_{false};

    ChangeCounter changes_;
    quint64 cachedChanges_ = 0;
    std::chrono::steady_clock::time_point cacheFilled_;
    // Stored values by key; an invalid QVariant records a key without a value.
    QHash<QString, QVariant> cache_;

    struct Damage {
        QString path, why, aside;
    };
    // Moves aside done with mutex_ held, reported by report().
    QList<Damage> damage_;

    mutable QMutex fallbackMutex_;
    QHash<QString, QVariant> fallbacks_;
};

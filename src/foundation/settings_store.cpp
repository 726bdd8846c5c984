// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_store.h"

#include "foundation/logging.h"
#include "foundation/settings_database_file.h"
#include "foundation/settings_value_codec.h"
#include "foundation/translated_text.h"
#include "foundation/wendle_lib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <sqlite3.h>

namespace {

constexpr int kLockWaitMs = 10000;
// Bounds how long a change made behind the store's back (a hand edit with the
// sqlite3 tool, which does not count changes) can go unseen.
constexpr auto kCacheLifetime = std::chrono::seconds(1);
constexpr qsizetype kMaxCachedKeys = 4096;

QVariant columnValue(SqliteStatement& stmt, int column) {
    switch (stmt.columnType(column)) {
        case SQLITE_INTEGER:
            return stmt.columnInt64(column);
        case SQLITE_FLOAT:
            return stmt.columnDouble(column);
        case SQLITE_TEXT:
            return stmt.columnText(column);
        case SQLITE_BLOB:
            return stmt.columnBlob(column);
        default:
            return {};
    }
}

}  // namespace

SettingsStore::SettingsStore(const QString& path) {
    QStringList notes;
    {
        QMutexLocker lock(&mutex_);
        openLocked(path, notes);
    }
    opened_ = true;
    report(notes);
}

SettingsStore::SettingsStore(Lazy) {}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::shared() {
    static SettingsStore store{Lazy{}};
    if (!store.opened_.load(std::memory_order_acquire)) {
        store.openShared();
    }
    return store;
}

void SettingsStore::reopenShared() {
    SettingsStore& store = shared();
    const QString path = WendleLib::shared().prefsPath();
    QStringList notes;
    {
        QMutexLocker lock(&store.mutex_);
        store.openLocked(path, notes);
    }
    store.report(notes);
}

void SettingsStore::openShared() {
    // Asked before taking the lock: finding the location may log, and logging
    // writes into this store.
    const QString path = WendleLib::shared().prefsPath();
    QStringList notes;
    {
        QMutexLocker lock(&mutex_);
        if (opened_.load(std::memory_order_relaxed)) {
            return;
        }
        if (path.isEmpty()) {
            notes << QStringLiteral(
                "Error: no location for the settings store (no bundle identifier); settings "
                "are kept in memory only");
        }
        openLocked(path, notes);
        opened_.store(true, std::memory_order_release);
    }
    report(notes);
}

void SettingsStore::openLocked(const QString& path, QStringList& notes) {
    select_.finalize();
    upsert_.finalize();
    delete_.finalize();
    db_.close();
    path_ = path;
    persistent_ = false;
    changes_.close();
    cache_.clear();
    if (!path.isEmpty()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QString why;
        bool damaged = false;
        // Nearly every start finds a sound file, and then needs no lock file
        // (whose creation syncs to disk).
        const auto usable = [&] {
            if (!tryOpenLocked(path, why, damaged)) {
                return false;
            }
            persistent_ = true;
            changes_.open(path + QStringLiteral("-changes"));
            return true;
        };
        if (usable()) {
            return;
        }
        db_.close();
        // Only one process at a time may judge the file damaged and move it;
        // another may have just done so, so the file is opened again first.
        QLockFile guard(path + QStringLiteral(".lock"));
        guard.setStaleLockTime(30000);
        const bool locked = guard.tryLock(kLockWaitMs);
        if (usable()) {
            return;
        }
        if (damaged && locked) {
            db_.close();
            const QString aside = settings_database_file::moveAside(path);
            if (aside.isEmpty()) {
                notes << QStringLiteral(
                             "Error: settings store %1 is unusable (%2) and could not "
                             "be moved aside")
                             .arg(path, why);
            } else {
                damage_ << Damage{path, why, aside};
                QString again;
                if (tryOpenLocked(path, again, damaged)) {
                    persistent_ = true;
                    // Tells other processes' caches that everything changed.
                    if (changes_.open(path + QStringLiteral("-changes"))) {
                        changes_.increment();
                    }
                    return;
                }
                why = again;
            }
        }
        notes << QStringLiteral(
                     "Error: could not open settings store %1 (%2); settings are kept "
                     "in memory only")
                     .arg(path, why);
    }
    db_.close();
    QString ignored;
    bool damaged = false;
    tryOpenLocked(QStringLiteral(":memory:"), ignored, damaged);
}

bool SettingsStore::tryOpenLocked(const QString& path, QString& why, bool& damaged) {
    select_.finalize();
    upsert_.finalize();
    delete_.finalize();
    const auto result = settings_database_file::openChecked(db_, path);
    why = result.why;
    damaged = result.damaged;
    if (!result.ok) {
        return false;
    }
    if (!prepareStatementsLocked()) {
        why = db_.lastError();
        damaged = true;
        select_.finalize();
        upsert_.finalize();
        delete_.finalize();
        db_.close();
        return false;
    }
    return true;
}

bool SettingsStore::prepareStatementsLocked() {
    sqlite3* db = db_.handle();
    return select_.prepare(db, "SELECT kind, value FROM settings WHERE key = ?1") == SQLITE_OK &&
           upsert_.prepare(db,
                           "INSERT INTO settings (key, kind, value) VALUES (?1, ?2, ?3) "
                           "ON CONFLICT (key) DO UPDATE SET kind = excluded.kind, "
                           "value = excluded.value") == SQLITE_OK &&
           delete_.prepare(db, "DELETE FROM settings WHERE key = ?1") == SQLITE_OK;
}

void SettingsStore::recoverIfDamagedLocked(int rc, QStringList& notes) {
    if (settings_database_file::isDamage(rc) && !path_.isEmpty()) {
        openLocked(path_, notes);
    }
}

QVariant SettingsStore::rowValueLocked(SqliteStatement& stmt, const QString& key,
                                       QStringList& notes) {
    QString why;
    QVariant value = settings_codec::decode(stmt.columnText(0), columnValue(stmt, 1), &why);
    if (!value.isValid()) {
        notes << QStringLiteral("Error: settings value of key '%1' is unreadable (%2)")
                     .arg(key.left(200), why);
    }
    return value;
}

QVariant SettingsStore::value(const QString& key) {
    QVariant stored = storedValue(key);
    if (stored.isValid()) {
        return stored;
    }
    QMutexLocker lock(&fallbackMutex_);
    return fallbacks_.value(key);
}

QVariant SettingsStore::storedValue(const QString& key) {
    QStringList notes;
    QVariant result;
    {
        QMutexLocker lock(&mutex_);
        if (!select_.isPrepared()) {
            return {};
        }
        validateCacheLocked();
        if (const auto it = cache_.constFind(key); it != cache_.constEnd()) {
            return *it;
        }
        select_.reset();
        select_.bindText(1, key);
        const int rc = select_.step();
        if (rc == SQLITE_ROW) {
            result = rowValueLocked(select_, key, notes);
        } else if (rc != SQLITE_DONE) {
            notes << QStringLiteral("Error: could not read settings key '%1' (%2)")
                         .arg(key.left(200), db_.lastError());
        }
        select_.reset();
        if (changes_.isOpen() && notes.isEmpty()) {
            cache_.insert(key, result);
        }
        recoverIfDamagedLocked(rc, notes);
    }
    report(notes);
    return result;
}

bool SettingsStore::setValue(const QString& key, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return remove(key);
    }
    QString why;
    const auto stored = settings_codec::encode(value, &why);
    if (!stored) {
        report({QStringLiteral("Error: could not store settings key '%1' (%2)")
                    .arg(key.left(200), why)});
        return false;
    }
    QStringList notes;
    bool ok = false;
    {
        QMutexLocker lock(&mutex_);
        for (int attempt = 0; attempt < 2 && !ok && upsert_.isPrepared(); ++attempt) {
            upsert_.reset();
            upsert_.bindText(1, key);
            upsert_.bindText(2, stored->kind);
            const QVariant& sql = stored->sqlValue;
            switch (sql.typeId()) {
                case QMetaType::LongLong:
                    upsert_.bindInt64(3, sql.toLongLong());
                    break;
                case QMetaType::Double:
                    upsert_.bindDouble(3, sql.toDouble());
                    break;
                case QMetaType::QByteArray:
                    upsert_.bindBlob(3, sql.toByteArray());
                    break;
                default:
                    upsert_.bindText(3, sql.toString());
            }
            const int rc = upsert_.step();
            ok = rc == SQLITE_DONE;
            if (ok) {
                noteOwnWriteLocked(key);
            }
            if (!ok) {
                notes << QStringLiteral("Error: could not store settings key '%1' (%2)")
                             .arg(key.left(200), db_.lastError());
            }
            upsert_.reset();
            if (ok || !settings_database_file::isDamage(rc)) {
                break;
            }
            // The file was damaged or moved away under us: reopen and retry once.
            recoverIfDamagedLocked(rc, notes);
        }
    }
    report(notes);
    return ok;
}

bool SettingsStore::remove(const QString& key) {
    QStringList notes;
    bool ok = false;
    {
        QMutexLocker lock(&mutex_);
        if (delete_.isPrepared()) {
            delete_.reset();
            delete_.bindText(1, key);
            const int rc = delete_.step();
            ok = rc == SQLITE_DONE;
            if (ok) {
                noteOwnWriteLocked(key);
            }
            if (!ok) {
                notes << QStringLiteral("Error: could not remove settings key '%1' (%2)")
                             .arg(key.left(200), db_.lastError());
            }
            delete_.reset();
            recoverIfDamagedLocked(rc, notes);
        }
    }
    report(notes);
    return ok;
}

void SettingsStore::validateCacheLocked() {
    if (!changes_.isOpen()) {
        return;
    }
    const quint64 now = changes_.load();
    const auto time = std::chrono::steady_clock::now();
    if (now != cachedChanges_ || time - cacheFilled_ > kCacheLifetime ||
        cache_.size() > kMaxCachedKeys) {
        cache_.clear();
        cachedChanges_ = now;
        cacheFilled_ = time;
    }
}

std::optional<quint64> SettingsStore::changeCount() const {
    QMutexLocker lock(&mutex_);
    if (!changes_.isOpen()) {
        return std::nullopt;
    }
    return changes_.load();
}

void SettingsStore::noteOwnWriteLocked(const QString& key) {
    if (!changes_.isOpen()) {
        return;
    }
    // Counted after the commit, so a reader that still sees the old count
    // read before this write returned.
    const quint64 before = changes_.increment();
    if (before == cachedChanges_) {
        cache_.remove(key);
    } else {
        cache_.clear();
    }
    cachedChanges_ = before + 1;
}

bool SettingsStore::contains(const QString& key) {
    return storedValue(key).isValid();
}

QStringList SettingsStore::keys() {
    QStringList result;
    QMutexLocker lock(&mutex_);
    SqliteStatement stmt;
    if (db_.isOpen() &&
        stmt.prepare(db_.handle(), "SELECT key FROM settings ORDER BY key") == SQLITE_OK) {
        while (stmt.step() == SQLITE_ROW) {
            result << stmt.columnText(0);
        }
    }
    return result;
}

QVariantMap SettingsStore::storedValues() {
    QVariantMap result;
    QStringList notes;
    {
        QMutexLocker lock(&mutex_);
        SqliteStatement stmt;
        if (db_.isOpen() &&
            stmt.prepare(db_.handle(), "SELECT kind, value, key FROM settings") == SQLITE_OK) {
            while (stmt.step() == SQLITE_ROW) {
                const QString key = stmt.columnText(2);
                QVariant value = rowValueLocked(stmt, key, notes);
                if (value.isValid()) {
                    result.insert(key, value);
                }
            }
        }
    }
    report(notes);
    return result;
}

bool SettingsStore::synchronize() {
    QStringList notes;
    bool ok = true;
    {
        QMutexLocker lock(&mutex_);
        if (persistent_) {
            const int rc = sqlite3_wal_checkpoint_v2(db_.handle(), nullptr,
                                                     SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            ok = rc == SQLITE_OK;
            if (!ok) {
                notes << QStringLiteral("Error: could not write settings store %1 (%2)")
                             .arg(path_, db_.lastError());
            }
        }
    }
    report(notes);
    return ok;
}

void SettingsStore::registerDefaults(const QVariantMap& defaults) {
    QMutexLocker lock(&fallbackMutex_);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        fallbacks_.insert(it.key(), it.value());
    }
}

QVariantMap SettingsStore::fallbackDefaults() const {
    QMutexLocker lock(&fallbackMutex_);
    QVariantMap result;
    for (auto it = fallbacks_.cbegin(); it != fallbacks_.cend(); ++it) {
        result.insert(it.key(), it.value());
    }
    return result;
}

QString SettingsStore::path() const {
    QMutexLocker lock(&mutex_);
    return path_;
}

bool SettingsStore::isPersistent() const {
    QMutexLocker lock(&mutex_);
    return persistent_;
}

void SettingsStore::report(const QStringList& notes) {
    for (const QString& note : notes) {
        log_message(3, note);
    }
    QList<Damage> damage;
    {
        QMutexLocker lock(&mutex_);
        damage.swap(damage_);
    }
    for (const Damage& event : damage) {
        // Critical: thresholds and notification settings are back to their
        // defaults, so checks now judge the drives by other rules.
        log_message(2, QStringLiteral("Error: settings store %1 was unusable (%2); moved aside "
                                      "to %3 and replaced by an empty store: all settings are "
                                      "back to their defaults")
                           .arg(event.path, event.why, event.aside));
        // Kept in the new store until a controller has delivered it, so it is
        // told once, by whichever process runs the next check cycle.
        // Both texts are for a person: in the user's language, as the log
        // line above is not.
        const QString notice =
            translatedText(
                QT_TRANSLATE_NOOP(
                    "Localizable",
                    "The settings were damaged and have been reset to their defaults, including "
                    "the health thresholds and the notification and e-mail settings. The damaged "
                    "file was kept as %1. Please check your settings."))
                .arg(event.aside);
        const QString earlier = storedValue(QString::fromLatin1(kDamageNoticeKey)).toString();
        setValue(QString::fromLatin1(kDamageNoticeKey),
                 earlier.isEmpty() ? notice : earlier + QStringLiteral("\n\n") + notice);
        const QString line =
            translatedText(
                QT_TRANSLATE_NOOP(
                    "Localizable",
                    "the settings were damaged and are reset to their defaults; the damaged "
                    "file was moved aside to %1"))
                .arg(event.aside);
        DamageHandler handler;
        {
            QMutexLocker lock(&damageHandlerMutex());
            handler = damageHandler();
            if (!handler) {
                unheardDamage() << line;
            }
        }
        if (handler) {
            handler(line);
        }
    }
}

QMutex& SettingsStore::damageHandlerMutex() {
    static QMutex mutex;
    return mutex;
}

SettingsStore::DamageHandler& SettingsStore::damageHandler() {
    static DamageHandler handler;
    return handler;
}

QStringList& SettingsStore::unheardDamage() {
    static QStringList lines;
    return lines;
}

void SettingsStore::setDamageHandler(DamageHandler handler) {
    QStringList earlier;
    {
        QMutexLocker lock(&damageHandlerMutex());
        damageHandler() = handler;
        if (handler) {
            earlier.swap(unheardDamage());
        }
    }
    for (const QString& line : earlier) {
        handler(line);
    }
}

QString SettingsStore::takeDamageNotice() {
    QString notice;
    QStringList notes;
    {
        QMutexLocker lock(&mutex_);
        if (!db_.isOpen()) {
            return {};
        }
        // One statement, so two processes never both take the same notice.
        SqliteStatement take;
        if (take.prepare(db_.handle(),
                         "DELETE FROM settings WHERE key = ?1 RETURNING kind, value") !=
            SQLITE_OK) {
            return {};
        }
        take.bindText(1, QString::fromLatin1(kDamageNoticeKey));
        bool taken = false;
        if (take.step() == SQLITE_ROW) {
            notice = rowValueLocked(take, QString::fromLatin1(kDamageNoticeKey), notes).toString();
            taken = true;
            take.step();
        }
        take.finalize();
        if (taken) {
            noteOwnWriteLocked(QString::fromLatin1(kDamageNoticeKey));
        }
    }
    report(notes);
    return notice;
}

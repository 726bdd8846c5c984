// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_store.h"
#include "temp_home.h"

#include <QDateTime>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    QString dbPath() const { return home.file(QStringLiteral("config/store.sqlite3")); }

    // Runs SQL on the file behind the store's back, as a damaged or foreign
    // writer would.
    void rawExec(const QString& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dbPath().toUtf8().constData(), &db), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    QStringList asideFiles() const {
        return QDir(home.configHome())
            .entryList({QStringLiteral("store.sqlite3.damaged-*")}, QDir::Files);
    }

    TempHome home;
};

TEST_F(SettingsStoreTest, ValuesKeepTheirTypeAcrossReopening) {
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1765000000123, Qt::UTC);
    const QByteArray binary("\x00\xff\x01 bytes", 9);
    const QVariantMap nested{
        {QStringLiteral("big"), std::numeric_limits<qint64>::max()},
        {QStringLiteral("list"), QVariantList{1, 2.5, true, QStringLiteral("x"), binary, date}},
        {QStringLiteral("dict"), QVariantMap{{QStringLiteral("k"), QStringLiteral("v")}}},
    };
    const QString awkwardKey =
        QStringLiteral("quote\" 'apostrophe'\nnewline \u00e9\u6f22\U0001F4BE");
    const QString megabyte(1 << 20, QLatin1Char('m'));
    const QList<QPair<QString, QVariant>> values = {
        {QStringLiteral("int"), qint64(-42)},
        {QStringLiteral("min"), std::numeric_limits<qint64>::min()},
        {QStringLiteral("bool"), true},
        {QStringLiteral("real"), 0.1},
        {QStringLiteral("empty"), QStringLiteral("")},
        {QStringLiteral("data"), binary},
        {QStringLiteral("date"), date},
        {QStringLiteral("url"), QUrl(QStringLiteral("https://example.org/a?b=c d"))},
        {QStringLiteral("nested"), nested},
        {QStringLiteral("emptyList"), QVariantList{}},
        {awkwardKey, QStringLiteral("awkward")},
        {QStringLiteral("megabyte"), megabyte},
    };
    {
        SettingsStore store(dbPath());
        ASSERT_TRUE(store.isPersistent());
        for (const auto& [key, value] : values) {
            EXPECT_TRUE(store.setValue(key, value)) << key.toStdString();
        }
    }
    SettingsStore reopened(dbPath());
    for (const auto& [key, value] : values) {
        const QVariant back = reopened.storedValue(key);
        EXPECT_EQ(back, value) << key.toStdString();
        EXPECT_EQ(back.typeId(),
                  value.typeId() == QMetaType::Int ? QMetaType::LongLong : value.typeId())
            << key.toStdString();
    }
    const QVariantMap backNested = reopened.storedValue(QStringLiteral("nested")).toMap();
    EXPECT_EQ(backNested.value(QStringLiteral("big")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(backNested.value(QStringLiteral("list")).toList().at(4).typeId(),
              QMetaType::QByteArray);
    EXPECT_EQ(reopened.keys().size(), values.size());
}

TEST_F(SettingsStoreTest, RejectsWhatItCannotHoldAndKeepsTheOldValue) {
    SettingsStore store(dbPath());
    ASSERT_TRUE(store.setValue(QStringLiteral("k"), 7));
    EXPECT_FALSE(store.setValue(QStringLiteral("k"), std::nan("")));
    EXPECT_FALSE(store.setValue(QStringLiteral("k"), QPoint(1, 2)));
    EXPECT_FALSE(store.setValue(QStringLiteral("k"), QVariantList{1, QPoint(1, 2)}));
    EXPECT_FALSE(store.setValue(QStringLiteral("k"), QDateTime()));
    EXPECT_EQ(store.storedValue(QStringLiteral("k")), QVariant(qint64(7)));
    // An absent value removes the key.
    EXPECT_TRUE(store.setValue(QStringLiteral("k"), QVariant()));
    EXPECT_FALSE(store.contains(QStringLiteral("k")));
    EXPECT_TRUE(store.remove(QStringLiteral("never-there")));
}

TEST_F(SettingsStoreTest, FallbacksSitBelowStoredValuesAndAreNeverWritten) {
    {
        SettingsStore store(dbPath());
        store.registerDefaults({{QStringLiteral("a"), 1}, {QStringLiteral("b"), 2}});
        store.registerDefaults({{QStringLiteral("b"), 3}});
        EXPECT_EQ(store.value(QStringLiteral("b")).toInt(), 3);
        ASSERT_TRUE(store.setValue(QStringLiteral("a"), 10));
        EXPECT_EQ(store.value(QStringLiteral("a")).toInt(), 10);
        EXPECT_FALSE(store.storedValue(QStringLiteral("b")).isValid());
        ASSERT_TRUE(store.remove(QStringLiteral("a")));
        EXPECT_EQ(store.value(QStringLiteral("a")).toInt(), 1);
        EXPECT_TRUE(store.keys().isEmpty());
    }
    SettingsStore other(dbPath());
    EXPECT_FALSE(other.value(QStringLiteral("b")).isValid());
}

TEST_F(SettingsStoreTest, WritesAreSeenAtOnceByAnotherConnection) {
    SettingsStore writer(dbPath());
    SettingsStore reader(dbPath());
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(writer.setValue(QStringLiteral("k"), i));
        ASSERT_EQ(reader.storedValue(QStringLiteral("k")).toInt(), i);
    }
    EXPECT_TRUE(writer.synchronize());
}

TEST_F(SettingsStoreTest, CachedReadsNeverHideAnotherProcessesWrite) {
    SettingsStore reader(dbPath());
    ASSERT_FALSE(reader.storedValue(QStringLiteral("k0")).isValid());  // now cached as absent
    QProcess child;
    child.setProcessEnvironment(home.environment());
    child.start(QStringLiteral(OSTRIVANE_WRITER_CHILD_PATH), {dbPath(), QStringLiteral("k"), "1"});
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitCode(), 0);
    EXPECT_EQ(reader.storedValue(QStringLiteral("k0")), QVariant(qint64(0)));

    // A hand edit with the sqlite3 tool does not count changes; it shows
    // once the cache has aged.
    rawExec(QStringLiteral("UPDATE settings SET value = 9 WHERE key = 'k0'"));
    QThread::msleep(1100);
    EXPECT_EQ(reader.storedValue(QStringLiteral("k0")), QVariant(qint64(9)));
}

TEST_F(SettingsStoreTest, DamagedFilesAreMovedAsideAndReplaced) {
    // Random bytes, a truncated database, and a foreign table of our name.
    QByteArray noise(64 * 1024, '\0');
    for (char& c : noise) {
        c = char(QRandomGenerator::global()->generate());
    }
    QByteArray truncated;
    {
        SettingsStore store(dbPath());
        for (int i = 0; i < 2000; ++i) {
            store.setValue(QStringLiteral("key%1").arg(i), QString(100, QLatin1Char('v')));
        }
    }
    {
        QFile file(dbPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        truncated = file.readAll();
        truncated.truncate(truncated.size() / 3);
    }
    for (const QByteArray& content : {noise, truncated}) {
        QFile::remove(dbPath());
        for (const QString& old : asideFiles()) {
            QFile::remove(home.file(QStringLiteral("config/") + old));
        }
        {
            QFile file(dbPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        SettingsStore store(dbPath());
        EXPECT_TRUE(store.isPersistent());
        EXPECT_TRUE(store.setValue(QStringLiteral("fresh"), 1));
        EXPECT_EQ(store.storedValue(QStringLiteral("fresh")).toInt(), 1);
        const QStringList aside = asideFiles();
        ASSERT_EQ(aside.size(), 1);
        QFile kept(home.file(QStringLiteral("config/") + aside.first()));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), content) << "the damaged file must be kept as it was";
    }

    QFile::remove(dbPath());
    rawExec(QStringLiteral("CREATE TABLE settings (name TEXT, other BLOB)"));
    SettingsStore foreign(dbPath());
    EXPECT_TRUE(foreign.setValue(QStringLiteral("k"), 1));
    EXPECT_EQ(asideFiles().size(), 2);
}

// A reset is never silent: the handler hears it with the moved file's name,
// and the new store keeps a notice for the user that only one taker gets.
TEST_F(SettingsStoreTest, DamageIsToldWithTheMovedFilesName) {
    QStringList heard;
    // Earlier tests' damage, never heard, is handed to the first handler.
    SettingsStore::setDamageHandler([](const QString&) {});
    SettingsStore::setDamageHandler([&heard](const QString& line) { heard << line; });
    {
        QFile file(dbPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    SettingsStore store(dbPath());
    SettingsStore::setDamageHandler({});
    const QStringList aside = asideFiles();
    ASSERT_EQ(aside.size(), 1);
    const QString moved = home.file(QStringLiteral("config/") + aside.first());
    ASSERT_EQ(heard.size(), 1) << heard.join(u'\n').toStdString();
    EXPECT_TRUE(heard.first().contains(moved)) << heard.first().toStdString();
    const QString notice = store.takeDamageNotice();
    EXPECT_TRUE(notice.contains(moved)) << notice.toStdString();
    EXPECT_TRUE(store.takeDamageNotice().isEmpty());
    SettingsStore other(dbPath());
    EXPECT_TRUE(other.takeDamageNotice().isEmpty());

    // A FIFO where the store should be is moved aside like damage, never waited on.
    QFile::remove(dbPath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(dbPath()).constData(), 0600), 0);
    auto done = std::make_shared<std::atomic<bool>>(false);
    const QString path = dbPath();
    std::thread([done, path] {
        SettingsStore fifo(path);
        fifo.setValue(QStringLiteral("k"), 1);
        *done = true;
    }).detach();
    for (int waited = 0; waited < 200 && !*done; ++waited) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(*done) << "opening a FIFO as the store blocked";
    EXPECT_TRUE(QFileInfo(dbPath()).isFile());
}

TEST_F(SettingsStoreTest, HostileRowsReadAsAbsentWithoutHarmingOthers) {
    { SettingsStore create(dbPath()); }
    const QString deep = QStringLiteral("{\"array\":[") + QString(5000, QLatin1Char('[')) +
                         QString(5000, QLatin1Char(']')) + QStringLiteral("]}");
    rawExec(
        QStringLiteral(
            "INSERT INTO settings VALUES ('unknown', 'gizmo', 1);"
            "INSERT INTO settings VALUES ('intAsText', 'int', 'twelve');"
            "INSERT INTO settings VALUES ('badJson', 'array', '{\"array\":[1,');"
            "INSERT INTO settings VALUES ('wrongShape', 'dict', '{\"array\":[]}');"
            "INSERT INTO settings VALUES ('badElement', 'array', '{\"array\":[{\"int\":\"x\"}]}');"
            "INSERT INTO settings VALUES ('badDate', 'date', 'yesterday');"
            "INSERT INTO settings VALUES ('nullValue', 'text', NULL);"
            "INSERT INTO settings VALUES ('deep', 'array', '%1');"
            "INSERT INTO settings VALUES ('good', 'int', 5);")
            .arg(deep));
    SettingsStore store(dbPath());
    for (const char* key : {"unknown", "intAsText", "badJson", "wrongShape", "badElement",
                            "badDate", "nullValue", "deep"}) {
        EXPECT_FALSE(store.storedValue(QLatin1String(key)).isValid()) << key;
    }
    EXPECT_EQ(store.storedValue(QStringLiteral("good")).toInt(), 5);
    EXPECT_EQ(store.storedValues().keys(), QStringList{QStringLiteral("good")});
    // A damaged row can be overwritten with a good value.
    EXPECT_TRUE(store.setValue(QStringLiteral("unknown"), 2));
    EXPECT_EQ(store.storedValue(QStringLiteral("unknown")).toInt(), 2);
}

TEST_F(SettingsStoreTest, UnusableLocationFallsBackToMemory) {
    QFile blocker(home.file(QStringLiteral("config/not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(home.file(QStringLiteral("config/not-a-folder/store.sqlite3")));
    EXPECT_FALSE(store.isPersistent());
    EXPECT_TRUE(store.setValue(QStringLiteral("k"), 1));
    EXPECT_EQ(store.value(QStringLiteral("k")).toInt(), 1);
    EXPECT_TRUE(QFileInfo(blocker.fileName()).isFile()) << "must not be moved or replaced";
}

TEST_F(SettingsStoreTest, ThreadsSharingOneStoreLoseNothing) {
    SettingsStore store(dbPath());
    constexpr int kThreads = 4;
    constexpr int kWrites = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&store, t] {
            for (int i = 0; i < kWrites; ++i) {
                const QString key = QStringLiteral("t%1_%2").arg(t).arg(i);
                store.setValue(key, i);
                store.storedValue(key);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const QVariantMap all = store.storedValues();
    EXPECT_EQ(all.size(), kThreads * kWrites);
    EXPECT_EQ(all.value(QStringLiteral("t3_499")).toInt(), 499);
}

}  // namespace

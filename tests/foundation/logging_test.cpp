// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/log_facility.h"
#include "foundation/settings_store.h"
#include "temp_home.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class RecordingSystemLog final : public SystemLog {
  public:
    bool isEnabled(Type type) override { return type != disabled; }
    void write(Type type, const QByteArray& utf8) override {
        QMutexLocker lock(&mutex);
        entries.append({type, QString::fromUtf8(utf8)});
    }
    bool contains(Type type, const QString& text) {
        QMutexLocker lock(&mutex);
        for (const auto& [t, s] : entries) {
            if (t == type && s == text) {
                return true;
            }
        }
        return false;
    }

    std::optional<Type> disabled;
    QMutex mutex;
    QList<QPair<Type, QString>> entries;
};

class LoggingTest : public ::testing::Test {
  protected:
    QString logPath() const { return home.file(QStringLiteral("data/Ostrivane.log")); }

    QByteArray fileBytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString ring(int level, int position) {
        return store
            .storedValue(QStringLiteral("wendlelib_asl_lev%1_pos%2").arg(level).arg(position))
            .toString();
    }
    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/prefs.sqlite3"))};
    RecordingSystemLog systemLog;
    LogFacility log{&store, &systemLog, QStringLiteral("Ostrivane")};
};

TEST_F(LoggingTest, LevelsReachFileRingsAndSystemLog) {
    log.openFile(logPath(), 26214400, 5);
    const QStringList names = {"Emergency", "Alert",  "Critical", "Error",
                               "Warning",   "Notice", "Info",     "Debug"};
    for (int level = 0; level < 8; ++level) {
        log.logMessage(level, QStringLiteral("message %1 \u00e9").arg(level));
    }
    const QStringList lines =
        QString::fromUtf8(fileBytes(logPath())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << "Info and Debug never reach the file at level 5";
    for (int level = 0; level < 6; ++level) {
        const QRegularExpression line(
            QStringLiteral(
                "^[A-Z][a-z]{2} \\d{2} \\S.*\\S  Ostrivane\\[%1\\] <%2>: message %3 \u00e9$")
                .arg(::getpid())
                .arg(names[level])
                .arg(level));
        EXPECT_TRUE(line.match(lines[level]).hasMatch()) << lines[level].toStdString();
    }
    const QRegularExpression entry(QStringLiteral(
        "^date: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\+0000 message: message 7 \u00e9$"));
    EXPECT_TRUE(entry.match(ring(7, 0)).hasMatch()) << ring(7, 0).toStdString();
    using T = SystemLog::Type;
    const T expected[] = {T::Fault,   T::Fault,   T::Fault, T::Error,
                          T::Default, T::Default, T::Debug, T::Debug};
    for (int level = 0; level < 8; ++level) {
        EXPECT_TRUE(
            systemLog.contains(expected[level], QStringLiteral("message %1 \u00e9").arg(level)));
    }
    // Levels outside 0..7 are clamped, not used as an index.
    log.logMessage(42, QStringLiteral("too high"));
    log.logMessage(-3, QStringLiteral("too low"));
    EXPECT_TRUE(ring(7, 1).endsWith(QLatin1String("too high")));
    EXPECT_TRUE(ring(0, 1).endsWith(QLatin1String("too low")));
    // A disabled type is not written to the system log; the rest still happens.
    systemLog.disabled = T::Default;
    log.logMessage(4, QStringLiteral("quiet"));
    EXPECT_FALSE(systemLog.contains(T::Default, QStringLiteral("quiet")));
    EXPECT_TRUE(ring(4, 1).endsWith(QLatin1String("quiet")));
}

TEST_F(LoggingTest, RingsWrapAtTenAndFortyThree) {
    for (int i = 1; i <= 11; ++i) {
        log.logMessage(4, QStringLiteral("w%1").arg(i));
    }
    EXPECT_TRUE(ring(4, 0).endsWith(QLatin1String("message: w11")));
    EXPECT_TRUE(ring(4, 1).endsWith(QLatin1String("message: w2")));
    EXPECT_TRUE(ring(4, 9).endsWith(QLatin1String("message: w10")));
    EXPECT_FALSE(store.contains(QStringLiteral("wendlelib_asl_lev4_pos10")));

    for (int i = 1; i <= 44; ++i) {
        log.logToDefaults(QStringLiteral("d%1").arg(i));
    }
    auto slot = [&](int position) {
        return store.storedValue(QStringLiteral("wendlelib_logtoprefs_pos%1").arg(position))
            .toString();
    };
    EXPECT_TRUE(slot(0).endsWith(QLatin1String("message: d44")));
    EXPECT_TRUE(slot(42).endsWith(QLatin1String("message: d43")));
    EXPECT_FALSE(store.contains(QStringLiteral("wendlelib_logtoprefs_pos43")));
    // The defaults ring is independent of the level rings.
    EXPECT_TRUE(ring(4, 1).endsWith(QLatin1String("message: w2")));
}

TEST_F(LoggingTest, OpeningTrimsToTheExactTail) {
    // Not UTF-8 and no line structure: the tail is kept byte for byte.
    QByteArray big(30000000, '\0');
    for (int i = 0; i < big.size(); ++i) {
        big[i] = char((quint32(i) * 7919u + quint32(i) / 251u) & 0xffu);
    }
    writeFile(logPath(), big);
    log.openFile(logPath(), 26214400, 5);
    const QByteArray trimmed = fileBytes(logPath());
    ASSERT_EQ(trimmed.size(), 26214400);
    EXPECT_TRUE(trimmed == big.right(26214400));

    log.logMessage(5, QStringLiteral("after trim"));
    EXPECT_TRUE(fileBytes(logPath()).endsWith("<Notice>: after trim\n"));

    const QString exact = home.file(QStringLiteral("data/exact.log"));
    writeFile(exact, big.left(26214400));
    log.openFile(exact, 26214400, 5);
    EXPECT_EQ(QFileInfo(exact).size(), 26214400);

    const QString unlimited = home.file(QStringLiteral("data/unlimited.log"));
    writeFile(unlimited, big.left(1000));
    log.openFile(unlimited, 0, 5);
    EXPECT_EQ(QFileInfo(unlimited).size(), 1000);
    log.openFile(unlimited, 10, 5);
    EXPECT_EQ(fileBytes(unlimited), big.mid(990, 10));

    const QString missing = home.file(QStringLiteral("data/missing.log"));
    log.openFile(missing, 100, 5);
    EXPECT_TRUE(QFileInfo(missing).isFile());
    EXPECT_EQ(QFileInfo(missing).size(), 0);
}

TEST_F(LoggingTest, FailuresNeverStopTheCaller) {
    // A file that cannot be opened: reported at level 3, later lines skip the file.
    const QString nowhere = home.file(QStringLiteral("no/such/folder/Ostrivane.log"));
    log.openFile(nowhere, 100, 7);
    const QString report = QStringLiteral("could not open file %1 for log file usage").arg(nowhere);
    EXPECT_TRUE(systemLog.contains(SystemLog::Type::Error, report));
    EXPECT_TRUE(ring(3, 0).endsWith(report));
    log.logMessage(5, QStringLiteral("goes on"));
    EXPECT_TRUE(ring(5, 0).endsWith(QLatin1String("goes on")));

    // A full disk while appending: the line is lost, the system log hears of it.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        log.openFile(QStringLiteral("/dev/full"), 100, 7);
        log.logMessage(5, QStringLiteral("lost line"));
        EXPECT_TRUE(systemLog.contains(
            SystemLog::Type::Fault,
            QStringLiteral("Fatal: your disk is full - please never let that happen again")));
        EXPECT_TRUE(ring(5, 1).endsWith(QLatin1String("lost line")));
    }

    // A line that is not valid Unicode is not written to the file.
    log.openFile(logPath(), 0, 7);
    const QString broken = QStringLiteral("half a pair ") + QChar(0xd800);
    log.logMessage(5, broken);
    EXPECT_TRUE(fileBytes(logPath()).isEmpty());
    bool reported = false;
    for (const auto& [type, text] : systemLog.entries) {
        reported |= type == SystemLog::Type::Fault &&
                    text.startsWith(QLatin1String("could not open create data from string '"));
    }
    EXPECT_TRUE(reported);
}

TEST_F(LoggingTest, ConcurrentLinesAreWholeAndInOrder) {
    constexpr int kThreads = 8;
    constexpr int kLines = 10000;
    log.openFile(logPath(), 0, 5);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i) {
                log.logMessage(5, QStringLiteral("thread %1 line %2 end").arg(t).arg(i));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const QList<QByteArray> lines = fileBytes(logPath()).split('\n');
    ASSERT_EQ(lines.size(), kThreads * kLines + 1);
    EXPECT_TRUE(lines.last().isEmpty());
    const QRegularExpression shape(
        QStringLiteral("^[A-Z][a-z]{2} \\d{2} .+  Ostrivane\\[\\d+\\] <Notice>: thread (\\d) line "
                       "(\\d+) end$"));
    std::vector<int> next(kThreads, 0);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const auto match = shape.match(QString::fromUtf8(lines.at(i)));
        ASSERT_TRUE(match.hasMatch()) << "torn line " << i << ": " << lines.at(i).toStdString();
        const int t = match.captured(1).toInt();
        ASSERT_EQ(match.captured(2).toInt(), next[size_t(t)]++) << "thread " << t;
    }
    // 80,000 messages leave the ring full, every slot a whole entry.
    for (int position = 0; position < 10; ++position) {
        EXPECT_TRUE(ring(5, position).contains(QLatin1String(" end"))) << position;
    }
}

// Another process's start trims the log (putting a new file in its place)
// while this one keeps running: this one's next line lands in the new file.
TEST_F(LoggingTest, ARunningWriterFollowsATrimByAnotherProcess) {
    log.openFile(logPath(), 0, 5);
    log.logMessage(5, QStringLiteral("before trim"));
    {
        QFile file(logPath());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(QByteArray(5000, 'x') + '\n');
    }
    LogFacility other(&store, &systemLog, QStringLiteral("Other"));
    other.openFile(logPath(), 1000, 5);
    ASSERT_EQ(QFileInfo(logPath()).size(), 1000);
    log.logMessage(5, QStringLiteral("after trim"));
    other.logMessage(5, QStringLiteral("from the other"));
    const QByteArray bytes = fileBytes(logPath());
    EXPECT_TRUE(bytes.contains("<Notice>: after trim\n")) << bytes.right(200).toStdString();
    EXPECT_TRUE(bytes.endsWith("<Notice>: from the other\n"));
}

// Writers that start together on a missing file, and one that trims while
// another appends: every line written stays in the file.
TEST_F(LoggingTest, WritersInSeveralProcessesLoseNoLine) {
    constexpr int kWriters = 20;
    constexpr qint64 kLimit = 100000;
    for (int round = 0; round < 10; ++round) {
        const QString path = home.file(QStringLiteral("data/round%1.log").arg(round));
        // Every other round starts past the limit, so all of them trim at once.
        const bool padded = round % 2 == 1;
        if (padded) {
            writeFile(path, QByteArray(kLimit + 4096, 'x') + '\n');
        }
        std::vector<std::unique_ptr<LogFacility>> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.push_back(
                std::make_unique<LogFacility>(&store, &systemLog, QStringLiteral("Ostrivane")));
        }
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int w = 0; w < kWriters; ++w) {
            threads.emplace_back([&, w] {
                ++ready;
                while (ready.load() < kWriters) {
                }
                writers[size_t(w)]->openFile(path, kLimit, 5);
                writers[size_t(w)]->logMessage(5, QStringLiteral("writer %1 first").arg(w));
                writers[size_t(w)]->logMessage(5, QStringLiteral("writer %1 second").arg(w));
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        const QByteArray bytes = fileBytes(path);
        EXPECT_EQ(bytes.count("  Ostrivane["), 2 * kWriters) << "round " << round;
        EXPECT_EQ(bytes.count('\n'), 2 * kWriters + (padded ? 1 : 0)) << "round " << round;
    }

    // Trims by "later starts" while one writer appends numbered lines: the
    // whole lines kept are an unbroken run that ends with the last one.
    const QString path = logPath();
    log.openFile(path, 0, 5);
    constexpr int kLines = 3000;
    std::atomic<bool> done{false};
    std::vector<std::thread> trimmers;
    for (int t = 0; t < 3; ++t) {
        trimmers.emplace_back([&] {
            while (!done.load()) {
                LogFacility later(&store, &systemLog, QStringLiteral("Later"));
                later.openFile(path, 20000, 7);
            }
        });
    }
    for (int i = 0; i < kLines; ++i) {
        log.logMessage(5, QStringLiteral("line %1 end").arg(i));
    }
    done = true;
    for (auto& trimmer : trimmers) {
        trimmer.join();
    }
    QList<QByteArray> lines = fileBytes(path).split('\n');
    ASSERT_GT(lines.size(), 3);
    lines.removeFirst();  // a trim may cut the first line anywhere
    lines.removeLast();   // empty, after the last line feed
    const QRegularExpression shape(QStringLiteral("<Notice>: line (\\d+) end$"));
    int expected = -1;
    for (const QByteArray& line : lines) {
        const auto match = shape.match(QString::fromUtf8(line));
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        const int number = match.captured(1).toInt();
        if (expected >= 0) {
            ASSERT_EQ(number, expected) << "a line was lost";
        }
        expected = number + 1;
    }
    EXPECT_EQ(expected, kLines);
}

// Drive data (a label or mount point with a line feed) cannot forge a line.
TEST_F(LoggingTest, ControlCharactersAreEscapedInTheFile) {
    log.openFile(logPath(), 0, 5);
    const QString text = QStringLiteral("label a\nJan 01 00:00  Ostrivane[1] <Emergency>: forged") +
                         QStringLiteral("\r|\x01|\x1b[31m|\x7f|\t|") + QChar(0x85) + QChar(0x2028) +
                         QStringLiteral("|\\n|\u00e9");
    log.logMessage(5, text);
    const QByteArray bytes = fileBytes(logPath());
    EXPECT_EQ(bytes.count('\n'), 1);
    EXPECT_TRUE(bytes.endsWith(
        QStringLiteral("<Notice>: label a\\nJan 01 00:00  Ostrivane[1] <Emergency>: forged\\r|"
                       "\\x01|\\x1b[31m|\\x7f|\t|\\u0085\\u2028|\\n|\u00e9\n")
            .toUtf8()))
        << bytes.toStdString();
    // The ring and the system log keep the message as it was given.
    EXPECT_TRUE(ring(5, 0).endsWith(text));
    EXPECT_TRUE(systemLog.contains(SystemLog::Type::Default, text));
}

// A FIFO where the log should be: writing never waits for a reader.
TEST_F(LoggingTest, AFifoAtTheLogsPlaceNeverBlocks) {
    const QString fifo = home.file(QStringLiteral("data/fifo.log"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Shared {
        LogFacility log;
        std::atomic<bool> finished{false};
    };
    // Left behind (not destroyed) if it hangs, so the test can fail instead.
    auto* shared = new Shared{{&store, &systemLog, QStringLiteral("Ostrivane")}};
    std::thread worker([shared, fifo] {
        shared->log.openFile(fifo, 100, 5);
        for (int i = 0; i < 2000; ++i) {
            shared->log.logMessage(5, QString(100, QLatin1Char('x')));
        }
        shared->finished = true;
    });
    for (int waited = 0; waited < 200 && !shared->finished; ++waited) {
        QThread::msleep(50);
    }
    if (!shared->finished) {
        worker.detach();
        FAIL() << "logging into a FIFO blocked";
    }
    worker.join();
    delete shared;
}

}  // namespace

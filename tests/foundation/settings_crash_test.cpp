// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/settings_store.h"
#include "temp_home.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Rounds of the kill test in the suite; tests/stress/ runs many more.
int crashRounds() {
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("OSTRIVANE_CRASH_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 200;
}

QProcess* startWriter(const QString& path, const QString& prefix, int count, const TempHome& home) {
    auto* child = new QProcess;
    child->setProcessEnvironment(home.environment());
    child->start(QStringLiteral(OSTRIVANE_WRITER_CHILD_PATH),
                 {path, prefix, QString::number(count)});
    return child;
}

// The numbers the child acknowledged: only complete lines count, since a
// kill may cut the last one.
QList<int> acknowledged(const QByteArray& output) {
    QList<int> numbers;
    const QList<QByteArray> lines = output.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        numbers << lines.at(i).toInt();
    }
    return numbers;
}

TEST(SettingsCrashTest, EveryAcknowledgedWriteSurvivesSigkill) {
    TempHome home;
    const QString path = home.file(QStringLiteral("config/crash.sqlite3"));
    const int rounds = crashRounds();
    int totalChecked = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString prefix = QStringLiteral("r%1_").arg(round);
        std::unique_ptr<QProcess> child(startWriter(path, prefix, 0, home));
        ASSERT_TRUE(child->waitForStarted(5000));
        // Once writing has begun (starting takes far longer than a write),
        // anywhere from within the first write to a few hundred writes in.
        ASSERT_TRUE(child->waitForReadyRead(10000)) << "round " << round;
        QThread::usleep(QRandomGenerator::global()->bounded(8000));
        ::kill(pid_t(child->processId()), SIGKILL);
        ASSERT_TRUE(child->waitForFinished(5000));
        const QList<int> done = acknowledged(child->readAllStandardOutput());

        SettingsStore check(path);
        ASSERT_TRUE(check.isPersistent()) << "round " << round;
        for (int n : done) {
            ASSERT_EQ(check.storedValue(prefix + QString::number(n)), QVariant(qint64(n)))
                << "round " << round << " lost acknowledged write " << n;
        }
        totalChecked += int(done.size());
    }
    EXPECT_GT(totalChecked, rounds) << "the children should have written something";
}

TEST(SettingsCrashTest, TwoProcessesWritingDisjointKeysLoseNothing) {
    TempHome home;
    const QString path = home.file(QStringLiteral("config/shared.sqlite3"));
    constexpr int kCount = 1500;
    std::unique_ptr<QProcess> a(startWriter(path, QStringLiteral("a"), kCount, home));
    std::unique_ptr<QProcess> b(startWriter(path, QStringLiteral("b"), kCount, home));
    ASSERT_TRUE(a->waitForFinished(60000));
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(a->exitCode(), 0) << a->readAllStandardError().toStdString();
    EXPECT_EQ(b->exitCode(), 0) << b->readAllStandardError().toStdString();

    SettingsStore check(path);
    const QVariantMap all = check.storedValues();
    EXPECT_EQ(all.size(), 2 * kCount);
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(all.value(QStringLiteral("a%1").arg(i)), QVariant(qint64(i)));
        ASSERT_EQ(all.value(QStringLiteral("b%1").arg(i)), QVariant(qint64(i)));
    }
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/list.h"
#include "ext/scheduling.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

TEST(TaskTest, MergesBothStreamsAndGivesTheStatus) {
    int status = -5;
    const auto output = runAsTaskWithTerminationStatus(
        {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
         QStringLiteral("echo out; echo err >&2; echo out2; exit 3")},
        &status, false);
    EXPECT_EQ(output, QStringLiteral("out\nerr\nout2\n"));
    EXPECT_EQ(status, 3);

    // Standard input is empty, so a program reading it ends at once.
    EXPECT_EQ(runAsTask({QStringLiteral("/bin/cat")}), QString());
}

TEST(TaskTest, PollingAndLargeOutput) {
    int status = -5;
    // More than a pipe holds: the reader must drain it while the child runs.
    const auto output = runAsTaskWithTerminationStatus(
        {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
         QStringLiteral("head -c 300000 /dev/zero | tr '\\0' x; sleep 0.2")},
        &status, true);
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(output->size(), 300000);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(runAsTaskWithTerminationStatus(
                  {QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("kill -9 $$")},
                  &status, true),
              QString());
    EXPECT_EQ(status, -1);
}

TEST(TaskTest, MissingProgramAndHugeArgumentsAreLogged) {
    EXPECT_EQ(runAsTask({QStringLiteral("/nonexistent/tool"), QStringLiteral("-x")}), std::nullopt);
    EXPECT_TRUE(
        loggedText().contains(QStringLiteral("while trying to perform task /nonexistent/tool -x")));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Error: got exception ")));
    EXPECT_EQ(runAsTask({}), std::nullopt);

    // Over the warning size, but well within what Linux takes: it still runs.
    QStringList command{QStringLiteral("/bin/echo")};
    for (int i = 0; i < 21; ++i) {
        command.append(QString(10000, QLatin1Char('a')));
    }
    const auto output = runAsTask(command);
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(output->size(), 21 * 10000 + 21);
    EXPECT_TRUE(loggedText().contains(
        QStringLiteral("Error: task argument size approaching or above limit, spawn will fail")));
}

TEST(SchedulingTest, MainQueueActionsRunInDeadlineThenSchedulingOrder) {
    QStringList order;
    run_on_main_after(0.05f, [&] { order.append(QStringLiteral("b1")); });
    run_on_main_after(0.0f, [&] { order.append(QStringLiteral("a")); });
    run_on_main_after(0.05f, [&] { order.append(QStringLiteral("b2")); });
    run_on_main_after(0.05f, [&] { order.append(QStringLiteral("b3")); });
    run_on_main_after(-3.0f, [&] { order.append(QStringLiteral("a2")); });
    // From another thread the action still runs on the main thread.
    std::atomic<bool> onMain{false};
    run_in_background([&] {
        run_on_main_after(0.1f, [&] {
            onMain = is_main_thread();
            order.append(QStringLiteral("c"));
            QCoreApplication::quit();
        });
    });
    QCoreApplication::exec();
    EXPECT_EQ(order, (QStringList{"a", "a2", "b1", "b2", "b3", "c"}));
    EXPECT_TRUE(onMain);
}

TEST(SchedulingTest, BackgroundAndWaitRunsOffTheMainThreadAndNests) {
    const QThread* mainThread = QThread::currentThread();
    const QThread* ranOn = nullptr;
    int nested = 0;
    run_in_background_and_wait([&] {
        ranOn = QThread::currentThread();
        // Waiting from a pool thread must not wait for a free pool thread.
        for (int i = 0; i < 4; ++i) {
            run_in_background_and_wait([&] { ++nested; });
        }
    });
    EXPECT_NE(ranOn, mainThread);
    EXPECT_EQ(nested, 4);
}

TEST(SchedulingTest, WaitingForTheBackgroundWaitsForEveryAction) {
    // What the actions use may go away right after the wait.
    std::atomic<int> ended{0};
    for (int i = 0; i < 4; ++i) {
        run_in_background([&ended] {
            QThread::msleep(30);
            run_in_background([&ended] { ++ended; });  // queued from a pool thread
            ++ended;
        });
    }
    wait_for_background();
    EXPECT_EQ(ended.load(), 8);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line program against damaged or hostile files around it: FIFOs
// where data is expected, a damaged settings store, no home folder.
#include "../foundation/temp_home.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDemo = QStringLiteral(OSTRIVANE_DEMO_MACHINE_DIR);

struct CliRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program with a bound: a run that hangs is killed and reported as
// not finished, so the test fails instead of waiting forever.
CliRun run(const QProcessEnvironment& env, const QStringList& args, int seconds = 60,
           const QString& program = QStringLiteral(OSTRIVANE_CLI_PATH),
           const QStringList& before = {}) {
    QProcess process;
    process.setProcessEnvironment(env);
    // A recorded machine's state is kept in the home, where the tests look.
    QStringList all = args;
    if (args.contains(QStringLiteral("--machine")) && env.contains(QStringLiteral("HOME"))) {
        all << QStringLiteral("--state") << env.value(QStringLiteral("HOME"));
    }
    process.start(program, before + all);
    CliRun result;
    result.finished = process.waitForFinished(seconds * 1000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QProcessEnvironment quiet(const TempHome& home) {
    QProcessEnvironment env = home.environment();
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return env;
}

QString settingsPath(const TempHome& home) {
    return home.configHome() + QStringLiteral("/com.wendle.Ostrivane.sqlite3");
}

QString logText(const TempHome& home) {
    QFile file(home.dataHome() + QStringLiteral("/Ostrivane/Ostrivane.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void makeFifo(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

const QStringList kCheckDemo{QStringLiteral("check"), QStringLiteral("--machine"), kDemo};

// A read-only FIFO: SQLite, refused read and write, falls back to opening it
// for reading only, which waits for a writer. Root may write anything, so
// as root the program runs as a user id of its own (the home is made its).
CliRun runAsOwner(const TempHome& home, const QStringList& args) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() != 0 || setpriv.isEmpty()) {
        return run(quiet(home), args, 30);
    }
    QProcess::execute(QStringLiteral("chown"),
                      {QStringLiteral("-R"), QStringLiteral("54321:54321"), home.path()});
    return run(quiet(home), args, 30, setpriv,
               {QStringLiteral("--reuid=54321"), QStringLiteral("--regid=54321"),
                QStringLiteral("--clear-groups"), QStringLiteral(OSTRIVANE_CLI_PATH)});
}

TEST(OutsideData, AFifoInPlaceOfTheSettingsOrHistoryNeverHangs) {
    for (const bool readOnly : {false, true}) {
        {
            TempHome home;
            makeFifo(settingsPath(home));
            ::chmod(QFile::encodeName(settingsPath(home)).constData(), readOnly ? 0444 : 0600);
            const CliRun check =
                readOnly ? runAsOwner(home, kCheckDemo) : run(quiet(home), kCheckDemo, 30);
            ASSERT_TRUE(check.finished) << "check hangs on a FIFO as the settings store";
            EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
            // Treated as a damaged store: moved aside (still a FIFO), a new store in its place.
            EXPECT_TRUE(QFileInfo(settingsPath(home)).isFile());
            EXPECT_TRUE(check.err.contains(QStringLiteral("moved aside")))
                << check.err.toStdString();
        }
        {
            TempHome home;
            const QString history = home.dataHome() + QStringLiteral("/Ostrivane/history.sqlite3");
            makeFifo(history);
            ::chmod(QFile::encodeName(history).constData(), readOnly ? 0444 : 0600);
            const CliRun check =
                readOnly ? runAsOwner(home, kCheckDemo) : run(quiet(home), kCheckDemo, 30);
            ASSERT_TRUE(check.finished) << "check hangs on a FIFO as the history";
            EXPECT_EQ(check.exitCode, 0);
            EXPECT_TRUE(
                logText(home).contains(QStringLiteral("history.sqlite3 is not a regular file")))
                << logText(home).toStdString();
            const CliRun listed = readOnly ? runAsOwner(home, {QStringLiteral("history")})
                                           : run(quiet(home), {QStringLiteral("history")}, 30);
            ASSERT_TRUE(listed.finished) << "history hangs on a FIFO";
        }
    }
}

TEST(OutsideData, AFifoInARecordedMachineNeverHangs) {
    QTemporaryDir dir;
    const QString machine = dir.filePath(QStringLiteral("demo"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), kDemo, machine}), 0);
    for (const char* file : {"/smart/sda/data.bin", "/smart/sdb/protocol", "/proc/self/mountinfo",
                             "/sys/block/sdd/queue/rotational"}) {
        const QString path = machine + QLatin1String(file);
        ASSERT_TRUE(QFile::remove(path)) << file;
        makeFifo(path);
    }
    TempHome home;
    const CliRun check =
        run(quiet(home), {QStringLiteral("check"), QStringLiteral("--machine"), machine}, 30);
    ASSERT_TRUE(check.finished) << "check hangs on a FIFO in a recorded machine";
    EXPECT_GE(check.exitCode, 0);
    const CliRun smart = run(
        quiet(home),
        {QStringLiteral("smart"), QStringLiteral("sda"), QStringLiteral("--fixture"), machine}, 30);
    ASSERT_TRUE(smart.finished) << "smart hangs on a FIFO in a recorded machine";
}

TEST(OutsideData, ADamagedSettingsStoreIsToldOnceEverywhere) {
    TempHome home;
    ASSERT_EQ(run(quiet(home), {QStringLiteral("defaults"), QStringLiteral("write"),
                                QStringLiteral("ThresholdWarning"), QStringLiteral("95")})
                  .exitCode,
              0);
    {
        QFile store(settingsPath(home));
        ASSERT_TRUE(store.open(QIODevice::WriteOnly | QIODevice::Truncate));
        store.write(QByteArray(8192, 'x'));
    }
    QFile::remove(settingsPath(home) + QStringLiteral("-wal"));
    QFile::remove(settingsPath(home) + QStringLiteral("-shm"));

    // The command that finds the damage says so, whichever it is.
    const CliRun read = run(quiet(home), {QStringLiteral("defaults"), QStringLiteral("read"),
                                          QStringLiteral("ThresholdWarning")});
    EXPECT_TRUE(
        read.err.contains(QStringLiteral("ostrivane-cli: warning: the settings were "
                                         "damaged and are reset to their defaults")))
        << read.err.toStdString();
    const QStringList aside =
        QDir(home.configHome()).entryList({QStringLiteral("*.damaged-*")}, QDir::Files);
    ASSERT_FALSE(aside.isEmpty());
    EXPECT_TRUE(read.err.contains(aside.first())) << read.err.toStdString();

    // The next check cycle delivers it once as a problem notification.
    const CliRun first = run(quiet(home), kCheckDemo);
    EXPECT_FALSE(first.err.contains(QStringLiteral("damaged"))) << first.err.toStdString();
    const QString told = QStringLiteral(
        "Notification: Ostrivane SSD Problem Notification - The "
        "settings were damaged and have been reset");
    EXPECT_EQ(logText(home).count(told), 1) << logText(home).toStdString();
    run(quiet(home), kCheckDemo);
    EXPECT_EQ(logText(home).count(told), 1) << logText(home).toStdString();

    // Damage found by a check is logged as critical, with the moved file's name.
    {
        QFile store(settingsPath(home));
        ASSERT_TRUE(store.open(QIODevice::WriteOnly | QIODevice::Truncate));
        store.write(QByteArray(8192, 'y'));
    }
    QFile::remove(settingsPath(home) + QStringLiteral("-wal"));
    QFile::remove(settingsPath(home) + QStringLiteral("-shm"));
    const CliRun damaged = run(quiet(home), kCheckDemo);
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("moved aside to")))
        << damaged.err.toStdString();
    const QStringList lines = logText(home).split(QLatin1Char('\n'));
    const QStringList critical = lines.filter(QStringLiteral("<Critical>: Error: settings store"));
    ASSERT_EQ(critical.size(), 1) << logText(home).toStdString();
    const QStringList asideNow =
        QDir(home.configHome()).entryList({QStringLiteral("*.damaged-*")}, QDir::Files);
    bool named = false;
    for (const QString& name : asideNow) {
        named |= critical.first().contains(home.configHome() + QLatin1Char('/') + name);
    }
    EXPECT_TRUE(named) << critical.first().toStdString();
    EXPECT_EQ(logText(home).count(told), 2);
}

// Without HOME the password entry's home is used; without that either, the
// commands that keep settings or history refuse instead of writing into "/".
TEST(OutsideData, NoHomeFolderIsRefused) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() != 0 || setpriv.isEmpty()) {
        GTEST_SKIP() << "needs root and setpriv to run as a user without a password entry";
    }
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    const QStringList asNobody{QStringLiteral("--reuid=54321"), QStringLiteral("--regid=54321"),
                               QStringLiteral("--clear-groups"),
                               QStringLiteral(OSTRIVANE_CLI_PATH)};
    // A check of this machine is refused before it reads anything.
    for (const QStringList& args : {QStringList{QStringLiteral("check")},
                                    QStringList{QStringLiteral("defaults"), QStringLiteral("list")},
                                    QStringList{QStringLiteral("history")}}) {
        const CliRun refused = run(env, args, 60, setpriv, asNobody);
        ASSERT_TRUE(refused.finished);
        EXPECT_EQ(refused.exitCode, 78)
            << args.join(u' ').toStdString() << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains(QStringLiteral("no home folder")))
            << refused.err.toStdString();
    }
    // Commands that keep nothing, or keep it in a folder of their own, still run.
    const CliRun evaluate = run(env, {QStringLiteral("--version")}, 60, setpriv, asNobody);
    EXPECT_EQ(evaluate.exitCode, 0);
    const CliRun recorded = run(env, kCheckDemo, 60, setpriv, asNobody);
    EXPECT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
    // The XDG folders alone are enough.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    const CliRun write = run(env,
                             {QStringLiteral("defaults"), QStringLiteral("write"),
                              QStringLiteral("SSDCheckInterval"), QStringLiteral("30")},
                             60, setpriv, asNobody);
    EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_TRUE(
        QFileInfo::exists(dir.filePath(QStringLiteral("config/com.wendle.Ostrivane.sqlite3"))));
}

}  // namespace

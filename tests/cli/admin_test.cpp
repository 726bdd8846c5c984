// SPDX-License-Identifier: GPL-3.0-or-later
// What administrators rely on: runs that leave no state, the monitoring-plugin
// output, and the system-wide configuration below the user's settings.
#include "../foundation/temp_home.h"
#include "cli/plugin_output.h"
#include "foundation/system_configuration.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QThread>

#include <csignal>

#include <sys/stat.h>

#include <map>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kMachines = QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/machines/");
const QString kDesktop = kMachines + QStringLiteral("desktop-sata-md-usb");

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 milliseconds = 0;
};

// In the temporary home, without a session bus and with the given system
// configuration file (none by default, whatever the machine has in /etc).
CliRun run(const TempHome& home, const QStringList& args, const QString& systemConfig = {},
           const QString& temp = {}) {
    QProcess process;
    QProcessEnvironment env = home.environment();
    if (!temp.isEmpty()) {
        env.insert(QStringLiteral("TMPDIR"), temp);
    }
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.insert(QStringLiteral("OSTRIVANE_SYSTEM_CONFIG"), systemConfig);
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(OSTRIVANE_CLI_PATH), args);
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << args.join(u' ').toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()), timer.elapsed()};
}

// Every file below `root` with a digest of its bytes: two equal maps mean
// nothing was created, removed or changed.
std::map<QString, QByteArray> contents(const QString& root) {
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        files[path.mid(root.size())] =
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
    }
    return files;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

// A copy of the desktop machine whose SATA drive's wear attribute reads `value`.
QString desktopWithWear(const QTemporaryDir& dir, int value) {
    const QString target = dir.filePath(QStringLiteral("desktop"));
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), kDesktop, target});
    QFile page(target + QStringLiteral("/smart/sda/data.bin"));
    EXPECT_TRUE(page.open(QIODevice::ReadWrite));
    QByteArray data = page.readAll();
    for (int at = 2; at + 12 <= 362; at += 12) {
        if (quint8(data[at]) == 177) {
            data[at + 3] = char(value);
            data[at + 4] = char(value);
        }
    }
    quint8 sum = 0;
    for (int i = 0; i < 511; ++i) {
        sum = quint8(sum + quint8(data[i]));
    }
    data[511] = char(quint8(-sum));
    page.seek(0);
    page.write(data);
    return target;
}

const QString kDesktopLine = QStringLiteral(
    "SSD OK - 1 SSD, worst 93 % (Mirror, Système, /home, /dev/sda) | 'sda'=93%;50;30;0;100\n");

// ---- state discipline -------------------------------------------------------

TEST(StateDiscipline, NoStateLeavesStoreHistoryAndLogByteIdentical) {
    TempHome home;
    QTemporaryDir dir;
    // A first, ordinary run (kept in the home) makes a store, a history and a log.
    const QStringList kept{QStringLiteral("--state"), home.path()};
    ASSERT_EQ(
        run(home,
            QStringList{QStringLiteral("check"), QStringLiteral("--machine"), kDesktop} + kept)
            .exitCode,
        0);
    ASSERT_EQ(run(home, {QStringLiteral("defaults"), QStringLiteral("write"),
                         QStringLiteral("ThresholdWarning"), QStringLiteral("-int"),
                         QStringLiteral("60")})
                  .exitCode,
              0);
    const auto before = contents(home.path());
    ASSERT_EQ(before.count(QStringLiteral("/data/Ostrivane/history.sqlite3")), 1u);
    ASSERT_EQ(before.count(QStringLiteral("/data/Ostrivane/Ostrivane.log")), 1u);
    ASSERT_EQ(before.count(QStringLiteral("/config/com.wendle.Ostrivane.sqlite3")), 1u);

    // The drive has worn from 93 to 55: an ordinary run would record it,
    // store its health, log and notify twice (decrease and warning).
    const QString worn = desktopWithWear(dir, 55);
    // Nor does it make a store, or even a folder, where there was none.
    const QString empty = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(empty));
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--no-state"),
                         QStringLiteral("--machine"), worn, QStringLiteral("--state"), empty})
                  .exitCode,
              0);
    EXPECT_TRUE(QDir(empty).isEmpty());
    for (const QStringList& mode :
         {QStringList{QStringLiteral("--no-state")}, QStringList{QStringLiteral("--plugin")}}) {
        const CliRun check =
            run(home, QStringList{QStringLiteral("check"), QStringLiteral("--machine"), worn} +
                          kept + mode);
        // It read the stored threshold (60): 55 % is a warning, not fine.
        EXPECT_EQ(check.exitCode, 1) << check.out.toStdString() << check.err.toStdString();
        EXPECT_EQ(contents(home.path()), before) << mode.join(u' ').toStdString();
    }
}

TEST(StateDiscipline, MachineRunsLeaveTheRealHomeAloneAndStateKeepsTheirs) {
    TempHome home;
    QTemporaryDir dir;
    const QString worn = desktopWithWear(dir, 40);
    const auto before = contents(home.path());
    for (const QString& command : {QStringLiteral("check")}) {
        const CliRun check = run(home, {command, QStringLiteral("--machine"), worn});
        EXPECT_EQ(check.exitCode, 1) << check.err.toStdString();
    }
    EXPECT_EQ(contents(home.path()), before);

    // With --state the recorded machine's state lasts between runs: the
    // second run knows the first one's health and reports the decrease.
    const QString state = dir.filePath(QStringLiteral("state"));
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"), kDesktop,
                         QStringLiteral("--state"), state})
                  .exitCode,
              0);
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"), worn,
                         QStringLiteral("--state"), state})
                  .exitCode,
              1);
    EXPECT_EQ(contents(home.path()), before);
    const QString log = readText(state + QStringLiteral("/data/Ostrivane/Ostrivane.log"));
    EXPECT_TRUE(log.contains(QStringLiteral("decreased from 93% to 40%"))) << log.toStdString();
    EXPECT_TRUE(QFile::exists(state + QStringLiteral("/data/Ostrivane/history.sqlite3")));
}

// ---- monitoring-plugin mode ----------------------------------------------------

TEST(PluginMode, LineAndPerformanceDataOfRecordedMachines) {
    TempHome home;
    const CliRun one = run(home, {QStringLiteral("check"), QStringLiteral("--plugin"),
                                  QStringLiteral("--machine"), kDesktop});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(one.out, kDesktopLine);

    const CliRun verbose = run(home, {QStringLiteral("check"), QStringLiteral("--plugin"),
                                      QStringLiteral("-v"), QStringLiteral("--machine"), kDesktop});
    EXPECT_EQ(verbose.out,
              kDesktopLine + QStringLiteral("Mirror, Système, /home, /dev/sda: 93% "
                                            "(Wear_Levelling_Count: 93 [threshold: 0]), "
                                            "S.M.A.R.T. verified\n"));

    const CliRun none =
        run(home, {QStringLiteral("check"), QStringLiteral("--plugin"), QStringLiteral("--machine"),
                   kMachines + QStringLiteral("vm-virtio")});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_EQ(none.out, QStringLiteral("SSD UNKNOWN - no solid-state drive found\n"));
}

TEST(PluginMode, ThresholdsOfTheRunBeatTheUserWhoBeatsTheSystemFile) {
    TempHome home;
    QTemporaryDir dir;
    const QString worn = desktopWithWear(dir, 45);
    const QStringList plugin{QStringLiteral("check"),     QStringLiteral("--plugin"),
                             QStringLiteral("--machine"), worn,
                             QStringLiteral("--state"),   home.path()};
    const auto line = [](const QString& state, int warning, int error) {
        return QStringLiteral(
                   "SSD %1 - 1 SSD, worst 45 % (Mirror, Système, /home, /dev/sda) | "
                   "'sda'=45%;%2;%3;0;100\n")
            .arg(state)
            .arg(warning)
            .arg(error);
    };
    // Built-in defaults: 45 is at or below the warning threshold 50.
    CliRun r = run(home, plugin);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, line(QStringLiteral("WARNING"), 50, 30));

    // The system file lowers the warning threshold to 40 and raises the error one.
    const QString system = writeFile(dir.filePath(QStringLiteral("ostrivane.conf")),
                                     "[settings]\nThresholdWarning = 40\nThresholdError = 20\n");
    r = run(home, plugin, system);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, line(QStringLiteral("OK"), 40, 20));

    // The user's store wins over the system file.
    ASSERT_EQ(run(home,
                  {QStringLiteral("defaults"), QStringLiteral("write"),
                   QStringLiteral("ThresholdError"), QStringLiteral("-int"), QStringLiteral("45")},
                  system)
                  .exitCode,
              0);
    r = run(home, plugin, system);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, line(QStringLiteral("CRITICAL"), 40, 45));

    // -w and -c win over both, for this run only.
    r = run(home,
            plugin + QStringList{QStringLiteral("-w"), QStringLiteral("60"), QStringLiteral("-c"),
                                 QStringLiteral("10")},
            system);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, line(QStringLiteral("WARNING"), 60, 10));
    r = run(home, plugin + QStringList{QStringLiteral("--critical=44")}, system);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, line(QStringLiteral("OK"), 40, 44));
    r = run(home, plugin, system);
    EXPECT_EQ(r.exitCode, 2) << "the run's thresholds must not have been stored";
}

TEST(PluginMode, UsageErrorsAndTimeOutAreUnknown) {
    TempHome home;
    CliRun r = run(home, {QStringLiteral("check"), QStringLiteral("--plugin"), QStringLiteral("-w"),
                          QStringLiteral("many"), QStringLiteral("--machine"), kDesktop});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, QStringLiteral("SSD UNKNOWN - -w takes a whole number, not 'many'\n"));
    r = run(home, {QStringLiteral("check"), QStringLiteral("--plugin"), QStringLiteral("--bogus")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("SSD UNKNOWN - "))) << r.out.toStdString();
    r = run(home, {QStringLiteral("check"), QStringLiteral("--plugin"), QStringLiteral("-t"),
                   QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 3);
    // Plugin options without --plugin are an ordinary usage error.
    r = run(home, {QStringLiteral("check"), QStringLiteral("-w"), QStringLiteral("40"),
                   QStringLiteral("--machine"), kDesktop});
    EXPECT_EQ(r.exitCode, 64);

    // A S.M.A.R.T. reader that takes the connection and never answers: the
    // server listens but is never asked for its connections.
    QTemporaryDir dir;
    QLocalServer silent;
    silent.setSocketOptions(QLocalServer::WorldAccessOption);
    ASSERT_TRUE(silent.listen(dir.filePath(QStringLiteral("smart.sock"))));
    const QString temp = dir.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    r = run(home,
            {QStringLiteral("check"), QStringLiteral("--plugin"), QStringLiteral("-t"),
             QStringLiteral("1"), QStringLiteral("--machine"), kDesktop, QStringLiteral("--socket"),
             silent.fullServerName()},
            {}, temp);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, QStringLiteral("SSD UNKNOWN - check timed out after 1 seconds\n"));
    EXPECT_LT(r.milliseconds, 8000);
    // Its temporary folder went with it.
    EXPECT_TRUE(QDir(temp).isEmpty()) << QDir(temp).entryList().join(u' ').toStdString();
}

TEST(PluginOutput, LabelsUnknownValuesAndTextStayParsable) {
    const PluginThresholds thresholds{50, 30};
    const std::vector<PluginDrive> drives{
        {QStringLiteral("Data | Backup"), QStringLiteral("/dev/sda"), 80, 2, QStringLiteral("80%")},
        {QStringLiteral("Bob's"), QString(), 255, 0, QStringLiteral("line\nbreak")},
        {QStringLiteral("Games"), QStringLiteral("/dev/nvme0n1"), 63, 1, QStringLiteral("63%")},
    };
    EXPECT_EQ(pluginOutput(2, drives, thresholds, true, false),
              QStringLiteral("SSD CRITICAL - 3 SSDs, worst 63 % (Games, /dev/nvme0n1), S.M.A.R.T. "
                             "failing (Games, /dev/nvme0n1) | 'sda'=80%;50;30;0;100 "
                             "'Bob''s'=U;50;30;0;100 'nvme0n1'=63%;50;30;0;100\n"
                             "Data / Backup, /dev/sda: 80%, S.M.A.R.T. verified\n"
                             "Bob's: line break, S.M.A.R.T. unknown\n"
                             "Games, /dev/nvme0n1: 63%, S.M.A.R.T. failing\n"));
    EXPECT_EQ(pluginOutput(3, {drives[1]}, thresholds, false, true),
              QStringLiteral("SSD UNKNOWN - 1 SSD, S.M.A.R.T. data unreadable (run as root or "
                             "enable ostrivane-smart.socket) | 'Bob''s'=U;50;30;0;100\n"));
}

// ---- system configuration ---------------------------------------------------------

TEST(SystemConfiguration, UsableLinesApplyAndEveryOtherIsReported) {
    const QVariantMap known{{QStringLiteral("ThresholdWarning"), 50},
                            {QStringLiteral("ThresholdError"), 30},
                            {QStringLiteral("NotificationUseEmailAddress"), QString()}};
    const SystemConfiguration config = parseSystemConfiguration(
        QStringLiteral("/etc/o.conf"),
        QStringLiteral("# fleet defaults\n"
                       "ThresholdError = 25\n"
                       "ThresholdWarning forty\n"
                       "[settings]\n"
                       "  ThresholdWarning=40  \n"
                       "; a comment\n"
                       "NotificationUseEmailAddress = \"ops@example.org, oncall@example.org\"\n"
                       "ThresholdError = 2x\n"
                       "Thresholdwarning = 1\n"
                       "[mail\n"
                       "ThresholdError = 5\n"
                       "[other]\n"
                       "ThresholdError = 6\n"),
        known);
    EXPECT_EQ(config.values,
              (QVariantMap{{QStringLiteral("ThresholdError"), qint64(25)},
                           {QStringLiteral("ThresholdWarning"), qint64(40)},
                           {QStringLiteral("NotificationUseEmailAddress"),
                            QStringLiteral("ops@example.org, oncall@example.org")}}));
    EXPECT_EQ(config.problems,
              (QStringList{
                  QStringLiteral("/etc/o.conf:3: 'ThresholdWarning forty' is not 'Key = value'; "
                                 "the line is ignored"),
                  QStringLiteral("/etc/o.conf:8: 'ThresholdError = 2x' does not give a whole "
                                 "number; the line is ignored"),
                  QStringLiteral("/etc/o.conf:9: 'Thresholdwarning = 1' sets the unknown key "
                                 "'Thresholdwarning'; the line is ignored"),
                  QStringLiteral("/etc/o.conf:10: '[mail' is not a section header; the line is "
                                 "ignored"),
                  QStringLiteral("/etc/o.conf:11: 'ThresholdError = 5' is outside the [settings] "
                                 "section; the line is ignored"),
                  QStringLiteral("/etc/o.conf:12: '[other]' names an unknown section (use "
                                 "[settings]); the line is ignored"),
                  QStringLiteral("/etc/o.conf:13: 'ThresholdError = 6' is outside the [settings] "
                                 "section; the line is ignored"),
              }));
    EXPECT_TRUE(
        readSystemConfiguration(QStringLiteral("/nonexistent/o.conf"), known).problems.isEmpty());
}

TEST(SystemConfiguration, DefaultsShowOriginsAndAMalformedLineIsLogged) {
    TempHome home;
    QTemporaryDir dir;
    const QString system = writeFile(dir.filePath(QStringLiteral("ostrivane.conf")),
                                     "[settings]\nSSDCheckInterval = 15\nThresholdWarning = "
                                     "forty\nThresholdError = 20\n");
    ASSERT_EQ(run(home,
                  {QStringLiteral("defaults"), QStringLiteral("write"),
                   QStringLiteral("ThresholdError"), QStringLiteral("-int"), QStringLiteral("25")},
                  system)
                  .exitCode,
              0);
    const CliRun all =
        run(home, {QStringLiteral("defaults"), QStringLiteral("read"), QStringLiteral("--all")},
            system);
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_TRUE(all.out.contains(
        QStringLiteral("    SSDCheckInterval = 15; /* system file %1 */\n").arg(system)))
        << all.out.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("    ThresholdError = 25; /* user store */\n")));
    EXPECT_TRUE(all.out.contains(QStringLiteral("    ThresholdWarning = 50; /* built-in */\n")));
    EXPECT_TRUE(
        all.err.contains(QStringLiteral(":3: 'ThresholdWarning = forty' does not give a "
                                        "whole number; the line is ignored")))
        << all.err.toStdString();

    // The monitor's check logs the line in its log file, and uses the rest.
    QTemporaryDir machine;
    const CliRun check = run(home,
                             {QStringLiteral("check"), QStringLiteral("--machine"),
                              desktopWithWear(machine, 22), QStringLiteral("--state"), home.path()},
                             system);
    EXPECT_EQ(check.exitCode, 2);
    const QString log = readText(home.dataHome() + QStringLiteral("/Ostrivane/Ostrivane.log"));
    EXPECT_TRUE(
        log.contains(QStringLiteral("'ThresholdWarning = forty' does not give a whole "
                                    "number; the line is ignored")))
        << log.toStdString();
}

TEST(SystemConfiguration, TheMonitorReadsTheFileAgainOnHangup) {
    TempHome home;
    QTemporaryDir dir;
    const QString system = writeFile(dir.filePath(QStringLiteral("ostrivane.conf")),
                                     "[settings]\nSSDCheckInterval = 45\n");
    QProcess monitor;
    QProcessEnvironment env = home.environment();
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.insert(QStringLiteral("OSTRIVANE_SYSTEM_CONFIG"), system);
    monitor.setProcessEnvironment(env);
    monitor.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                  {QStringLiteral("monitor"), QStringLiteral("--machine"), kDesktop,
                   QStringLiteral("--state"), home.path()});
    ASSERT_TRUE(monitor.waitForStarted());
    const QString logPath = home.dataHome() + QStringLiteral("/Ostrivane/Ostrivane.log");
    const auto waitFor = [&](const QString& text) {
        for (int i = 0; i < 300; ++i) {
            if (readText(logPath).contains(text)) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    };
    // The first check has run, so the signal handlers are in place.
    ASSERT_TRUE(waitFor(QStringLiteral("Wear_Levelling_Count")));
    writeFile(system, "[settings]\nSSDCheckInterval = 7\n");
    ::kill(pid_t(monitor.processId()), SIGHUP);
    EXPECT_TRUE(waitFor(QStringLiteral("Info: check interval changed to 7 minutes")))
        << readText(logPath).toStdString();
    // A key the file no longer sets falls back to its built-in value.
    writeFile(system, "[settings]\n");
    ::kill(pid_t(monitor.processId()), SIGHUP);
    EXPECT_TRUE(waitFor(QStringLiteral("Info: check interval changed to 60 minutes")))
        << readText(logPath).toStdString();
    ::kill(pid_t(monitor.processId()), SIGTERM);
    EXPECT_TRUE(monitor.waitForFinished(10000));
    EXPECT_EQ(monitor.exitCode(), 0);
}

}  // namespace

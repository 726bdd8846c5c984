// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <vector>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kMachines = QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/machines/");

// A recorded machine's state is kept in the home (--state), where the tests look.
CliRun run(const TempHome& home, QStringList args) {
    if (args.contains(QStringLiteral("--machine"))) {
        args << QStringLiteral("--state") << home.path();
    }
    return runCli(home, args);
}

QStringList logLines(const TempHome& home) {
    QFile file(home.dataHome() + QStringLiteral("/Ostrivane/Ostrivane.log"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The part of each log line after the level, for lines of that level.
QStringList messages(const TempHome& home, const QString& level) {
    QStringList result;
    const QString marker = QStringLiteral("<%1>: ").arg(level);
    for (const QString& line : logLines(home)) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0) {
            result.append(line.mid(at + marker.size()));
        }
    }
    return result;
}

// Changes the 12-byte entries of an ATA S.M.A.R.T. page whose id `ids` names,
// and sets the page's checksum again.
template <typename Change>
void editAtaPage(const QString& path, const std::vector<int>& ids, Change change) {
    QFile page(path);
    ASSERT_TRUE(page.open(QIODevice::ReadWrite));
    QByteArray data = page.readAll();
    for (int at = 2; at + 12 <= 362; at += 12) {
        if (std::find(ids.begin(), ids.end(), quint8(data[at])) != ids.end()) {
            change(data, at);
        }
    }
    quint8 sum = 0;
    for (int i = 0; i < 511; ++i) {
        sum = quint8(sum + quint8(data[i]));
    }
    data[511] = char(quint8(-sum));
    page.seek(0);
    page.write(data);
}

// A copy of a recorded machine whose first drive's wear attribute reads `value`.
// A threshold other than -1 is set too, for the reallocated-sector count as well.
QString machineWithWear(const QTemporaryDir& dir, const QString& machine, int value,
                        int threshold = -1) {
    const QString target = dir.filePath(machine);
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), kMachines + machine, target});
    const std::vector<int> ids = threshold >= 0 ? std::vector<int>{5, 177} : std::vector<int>{177};
    editAtaPage(target + QStringLiteral("/smart/sda/data.bin"), ids,
                [value](QByteArray& d, int at) {
                    d[at + 3] = char(value);
                    d[at + 4] = char(value);
                });
    if (threshold >= 0) {
        editAtaPage(target + QStringLiteral("/smart/sda/thresholds.bin"), ids,
                    [threshold](QByteArray& d, int at) { d[at + 1] = char(threshold); });
    }
    return target;
}

// A copy of a recorded machine whose first drive reports a failing status.
QString machineFailing(const QTemporaryDir& dir, const QString& machine) {
    const QString target = dir.filePath(machine + QStringLiteral("-failing"));
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), kMachines + machine, target});
    QFile status(target + QStringLiteral("/smart/sda/status"));
    EXPECT_TRUE(status.open(QIODevice::WriteOnly | QIODevice::Truncate));
    status.write("failed\n");
    return target;
}

const QString kDesktopDrive = QStringLiteral("Mirror, Système, /home  (/dev/sda)");

TEST(CheckCommand, HealthyMachinePrintsDrivesAndLogsThem) {
    TempHome home;
    const CliRun ok = run(home, {QStringLiteral("check"), QStringLiteral("--machine"),
                                 kMachines + QStringLiteral("desktop-sata-md-usb")});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out, kDesktopDrive + QStringLiteral(R"(
  Model:       Samsung SSD 860 EVO 500GB
  Serial:      S3Z1NB0K123456X
  Health:      93%
  S.M.A.R.T.:  verified
  Status:      93% (Wear_Levelling_Count: 93 [threshold: 0])
  Reason:      Wear_Levelling_Count: 93 [threshold: 0]

Status: OK
SSD Health of your SSD(s) is fine!
)"));
    // The hard disk of that machine is evaluated but not listed or logged.
    EXPECT_EQ(messages(home, QStringLiteral("Notice")),
              QStringList{kDesktopDrive +
                          QStringLiteral(" 93% (Wear_Levelling_Count: 93 [threshold: 0])")});

    const CliRun two =
        run(home, {QStringLiteral("check"), QStringLiteral("--json"), QStringLiteral("--machine"),
                   kMachines + QStringLiteral("zfs-two-nvme")});
    EXPECT_EQ(two.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(two.out.toUtf8()).object();
    const QJsonArray drives = json.value(QStringLiteral("drives")).toArray();
    ASSERT_EQ(drives.size(), 2);
    EXPECT_EQ(drives[0].toObject().value(QStringLiteral("health")).toInt(), 99);
    EXPECT_EQ(drives[1].toObject().value(QStringLiteral("serial")).toString(),
              QStringLiteral("23123A800002"));
    EXPECT_EQ(json.value(QStringLiteral("summary")).toString(), QStringLiteral("Status: OK"));
}

TEST(CheckCommand, NoSolidStateDriveIsUnknown) {
    TempHome home;
    const CliRun none = run(home, {QStringLiteral("check"), QStringLiteral("--machine"),
                                   kMachines + QStringLiteral("vm-virtio")});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_EQ(none.out,
              QStringLiteral("Status: Unknown\nNo internal SSD devices have been found.\n"));
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"),
                         QStringLiteral("/nonexistent")})
                  .exitCode,
              66);
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("extra")}).exitCode, 64);
}

// The exit status follows the drives: above 100 % is fine (with a summary that
// says so, not blank lines), and a failing drive is an error whatever the
// error threshold is set to.
TEST(CheckCommand, ExitStatusFollowsTheDrivesNotTheStatusTexts) {
    TempHome home;
    QTemporaryDir machines;
    // Threshold 120 above the assumed maximum of 100: 90 reads as 150 %.
    const QString above = machineWithWear(machines, QStringLiteral("desktop-sata-md-usb"), 90, 120);
    const CliRun high = run(home, {QStringLiteral("check"), QStringLiteral("--machine"), above});
    EXPECT_EQ(high.exitCode, 0) << high.out.toStdString();
    EXPECT_TRUE(high.out.contains(QStringLiteral("Health:      150%"))) << high.out.toStdString();
    EXPECT_TRUE(high.out.contains(QStringLiteral("\nStatus: OK (health above 100 %)\n")))
        << high.out.toStdString();
    EXPECT_FALSE(high.out.endsWith(QStringLiteral("\n\n\n")));
    const CliRun highJson = run(home, {QStringLiteral("check"), QStringLiteral("--json"),
                                       QStringLiteral("--machine"), above});
    EXPECT_EQ(QJsonDocument::fromJson(highJson.out.toUtf8())
                  .object()
                  .value(QStringLiteral("summary"))
                  .toString(),
              QStringLiteral("Status: OK (health above 100 %)"));

    const QString failing = machineFailing(machines, QStringLiteral("desktop-sata-md-usb"));
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"), failing}).exitCode,
              2);
    run(home, {QStringLiteral("defaults"), QStringLiteral("write"),
               QStringLiteral("ThresholdError"), QStringLiteral("-1")});
    EXPECT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"), failing}).exitCode,
              2);
}

TEST(CheckCommand, WearingDriveNotifiesInOrderAndKeepsHistory) {
    TempHome home;
    QTemporaryDir machines;
    const QString healthy = kMachines + QStringLiteral("desktop-sata-md-usb");
    ASSERT_EQ(run(home, {QStringLiteral("check"), QStringLiteral("--machine"), healthy}).exitCode,
              0);
    // Alerts are answered headless; e-mail is on and its failure is an alert too.
    run(home, {QStringLiteral("defaults"), QStringLiteral("write"),
               QStringLiteral("NotificationUseEmail"), QStringLiteral("1")});

    const QString worn = machineWithWear(machines, QStringLiteral("desktop-sata-md-usb"), 40);
    const QString prom = home.file(QStringLiteral("ostrivane.prom"));
    const CliRun warning = run(home, {QStringLiteral("check"), QStringLiteral("--machine"), worn,
                                      QStringLiteral("--prometheus"), prom});
    EXPECT_EQ(warning.exitCode, 1) << warning.err.toStdString();
    EXPECT_TRUE(warning.out.endsWith(QStringLiteral(
        "Status: Warning\nSSD Health status of a SSD is below WARNING threshold!\n")));

    const QString decrease = QStringLiteral(
        "SSD Health status of disk Mirror, Système, /home (/dev/sda) decreased from 93% to 40%!");
    const QString below = QStringLiteral(
        "SSD Health status of disk Mirror, Système, /home (/dev/sda) is currently 40% which is is "
        "below the set WARNING threshold!");
    QStringList alerts;
    for (const QString& line : messages(home, QStringLiteral("Error"))) {
        if (line.startsWith(QLatin1String("Alert: Ostrivane - "))) {
            alerts.append(line.section(QStringLiteral("Attributes:"), 0, 0));
        }
    }
    ASSERT_EQ(alerts.size(), 4) << alerts.join(u'\n').toStdString();
    EXPECT_EQ(alerts[0], QStringLiteral("Alert: Ostrivane - ") + decrease);
    EXPECT_TRUE(alerts[1].contains(QLatin1String("Unable to send e-mail about SSD problem")));
    EXPECT_EQ(alerts[2], QStringLiteral("Alert: Ostrivane - ") + below);
    QStringList notices =
        messages(home, QStringLiteral("Notice")).filter(QStringLiteral("Notification: "));
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices[0].contains(decrease));
    EXPECT_TRUE(messages(home, QStringLiteral("Error"))
                    .contains(kDesktopDrive +
                              QStringLiteral(" 40% (Wear_Levelling_Count: 40 [threshold: 0])")));

    QFile textfile(prom);
    ASSERT_TRUE(textfile.open(QIODevice::ReadOnly));
    const QString metrics = QString::fromUtf8(textfile.readAll());
    EXPECT_TRUE(metrics.contains(QStringLiteral(
        "ostrivane_drive_health_ratio{device=\"/dev/sda\",serial=\"S3Z1NB0K123456X\"} 0.4\n")))
        << metrics.toStdString();
    EXPECT_TRUE(metrics.contains(
        QStringLiteral("ostrivane_drive_info{device=\"/dev/sda\",serial=\"S3Z1NB0K123456X\","
                       "model=\"Samsung SSD 860 EVO 500GB\",firmware=\"RVT04B6Q\","
                       "name=\"Mirror, Système, /home\",protocol=\"SATA\"} 1\n")))
        << metrics.toStdString();
    EXPECT_TRUE(metrics.contains(QStringLiteral("ostrivane_check_exit_status 1\n")));
    EXPECT_TRUE(metrics.contains(QStringLiteral("ostrivane_check_timestamp_seconds ")));

    const CliRun history =
        run(home, {QStringLiteral("history"), QStringLiteral("--json"), QStringLiteral("--drive"),
                   QStringLiteral("Mirror, Système, /home")});
    const QJsonArray records = QJsonDocument::fromJson(history.out.toUtf8())
                                   .object()
                                   .value(QStringLiteral("history"))
                                   .toArray();
    ASSERT_EQ(records.size(), 2);
    const auto drive = [&records](int i) {
        return records[i].toObject().value(QStringLiteral("drive")).toObject();
    };
    EXPECT_EQ(drive(0).value(QStringLiteral("health")).toInt(), 93);
    EXPECT_EQ(drive(1).value(QStringLiteral("health")).toInt(), 40);
    EXPECT_EQ(drive(1).value(QStringLiteral("smartStatus")).toString(), QStringLiteral("verified"));
    // The text ends with each drive's trend: this one is below the threshold already.
    const CliRun text = run(home, {QStringLiteral("history"), QStringLiteral("--drive"),
                                   QStringLiteral("Mirror, Système, /home")});
    EXPECT_TRUE(text.out.endsWith(QStringLiteral(
        "\nMirror, Système, /home (S3Z1NB0K123456X): at or below the warning threshold (50%)\n")))
        << text.out.toStdString();
    const CliRun other =
        run(home, {QStringLiteral("history"), QStringLiteral("--drive"), QStringLiteral("nope")});
    EXPECT_EQ(other.out, QStringLiteral("No health history recorded yet.\n"));
}

TEST(CheckCommand, UnreadableDrivesExplainTheService) {
    TempHome home;
    const CliRun blind = run(home, {QStringLiteral("check"), QStringLiteral("--machine"),
                                    kMachines + QStringLiteral("desktop-sata-md-usb"),
                                    QStringLiteral("--socket"), home.file(QStringLiteral("none"))});
    EXPECT_EQ(blind.exitCode, 3) << blind.out.toStdString();
    EXPECT_TRUE(
        blind.err.contains(QStringLiteral("sudo systemctl enable --now ostrivane-smart.socket")));
}

TEST(HistoryCommand, EmptyBeforeTheFirstCheck) {
    TempHome home;
    const CliRun empty = run(home, {QStringLiteral("history")});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, QStringLiteral("No health history recorded yet.\n"));
    EXPECT_FALSE(QDir(home.dataHome() + QStringLiteral("/Ostrivane"))
                     .exists(QStringLiteral("history.sqlite3")));
}

}  // namespace

namespace {

TEST(MonitorCommand, ChecksAtStartAndStopsCleanlyOnSignals) {
    for (const int signal : {SIGTERM, SIGINT}) {
        TempHome home;
        QProcess monitor;
        QProcessEnvironment env = home.environment();
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        monitor.setProcessEnvironment(env);
        monitor.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                      {QStringLiteral("monitor"), QStringLiteral("--machine"),
                       kMachines + QStringLiteral("laptop-nvme-luks-lvm"),
                       QStringLiteral("--state"), home.path()});
        ASSERT_TRUE(monitor.waitForStarted());
        // The first check runs at start; wait for its line in the log.
        for (int i = 0; i < 100 && messages(home, QStringLiteral("Notice")).size() < 2; ++i) {
            QThread::msleep(50);
        }
        ::kill(pid_t(monitor.processId()), signal);
        ASSERT_TRUE(monitor.waitForFinished(10000));
        EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(monitor.exitCode(), 0);
        const QStringList notices = messages(home, QStringLiteral("Notice"));
        ASSERT_EQ(notices.size(), 3) << notices.join(u'\n').toStdString();
        EXPECT_EQ(notices[0], QStringLiteral("Info: monitor started"));
        EXPECT_TRUE(notices[1].startsWith(QStringLiteral("Home Files, / (S4EWNX0R123456A)")));
        EXPECT_EQ(notices[2], QStringLiteral("Info: monitor stopped by signal %1").arg(signal));
    }
}

// Starts the monitor on a machine and waits until its signal handlers are in
// place, so a signal sent next is the monitor's to handle.
class RunningMonitor {
  public:
    RunningMonitor(const TempHome& home, const QString& machine) {
        QProcessEnvironment env = home.environment();
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                      {QStringLiteral("monitor"), QStringLiteral("--machine"), machine,
                       QStringLiteral("--state"), home.path()});
        started = process.waitForStarted();
        for (int i = 0; started && i < 1000 && !catches(SIGTERM); ++i) {
            QThread::msleep(2);
        }
    }
    ~RunningMonitor() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void signal(int number) { ::kill(pid_t(process.processId()), number); }
    bool catches(int number) {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly)) {
            return false;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
            }
        }
        return false;
    }

    QProcess process;
    bool started = false;
};

// Waits until a log message of the level satisfies `found`; false after 15 s.
template <typename Found>
bool waitForLog(const TempHome& home, const QString& level, Found found) {
    for (int i = 0; i < 1500; ++i) {
        if (found(messages(home, level))) {
            return true;
        }
        QThread::msleep(10);
    }
    return false;
}

// A signal that arrives during the first check stops the loop before the
// check's deliveries were due; they are still made before the monitor ends.
TEST(MonitorCommand, SignalRightAfterACheckStillDelivers) {
    TempHome home;
    QTemporaryDir machines;
    const QString worn = machineWithWear(machines, QStringLiteral("desktop-sata-md-usb"), 20);
    RunningMonitor monitor(home, worn);
    ASSERT_TRUE(monitor.started);
    monitor.signal(SIGTERM);
    ASSERT_TRUE(monitor.process.waitForFinished(30000));
    EXPECT_EQ(monitor.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.process.exitCode(), 0);

    const QString below = QStringLiteral(
        "SSD Health status of disk Mirror, Système, /home (/dev/sda) is currently 20% which is is "
        "below the set ERROR threshold!");
    const QStringList notices = messages(home, QStringLiteral("Notice"));
    EXPECT_TRUE(notices.contains(QStringLiteral("Info: monitor stopped by signal 15")))
        << notices.join(u'\n').toStdString();
    EXPECT_EQ(notices.filter(QStringLiteral("Notification: ")).size(), 1)
        << notices.join(u'\n').toStdString();
    EXPECT_TRUE(notices.filter(QStringLiteral("Notification: ")).value(0).contains(below));
    EXPECT_EQ(messages(home, QStringLiteral("Error"))
                  .filter(QStringLiteral("Alert: Ostrivane - ") + below)
                  .size(),
              1);
}

// SIGHUP re-reads the settings instead of ending the monitor; a changed
// interval is seen without it too.
TEST(MonitorCommand, HangupRereadsAndIntervalChangesAreSeen) {
    TempHome home;
    RunningMonitor monitor(home, kMachines + QStringLiteral("laptop-nvme-luks-lvm"));
    ASSERT_TRUE(monitor.started);
    ASSERT_TRUE(waitForLog(home, QStringLiteral("Notice"),
                           [](const QStringList& lines) { return lines.size() >= 2; }));
    monitor.signal(SIGHUP);
    EXPECT_TRUE(waitForLog(home, QStringLiteral("Notice"), [](const QStringList& lines) {
        return lines.contains(QStringLiteral("Info: settings re-read (signal 1)"));
    }));
    EXPECT_EQ(monitor.process.state(), QProcess::Running);

    run(home, {QStringLiteral("defaults"), QStringLiteral("write"),
               QStringLiteral("SSDCheckInterval"), QStringLiteral("5")});
    EXPECT_TRUE(waitForLog(home, QStringLiteral("Notice"), [](const QStringList& lines) {
        return lines.contains(QStringLiteral("Info: check interval changed to 5 minutes"));
    })) << messages(home, QStringLiteral("Notice")).join(u'\n').toStdString();

    monitor.signal(SIGTERM);
    ASSERT_TRUE(monitor.process.waitForFinished(10000));
    EXPECT_EQ(monitor.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.process.exitCode(), 0);
    // The re-read and the change did not run a check: one drive line in all.
    EXPECT_EQ(messages(home, QStringLiteral("Notice"))
                  .filter(QStringLiteral("Home Files, / (S4EWNX0R123456A)"))
                  .size(),
              1);
}

}  // namespace

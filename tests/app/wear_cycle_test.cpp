// SPDX-License-Identifier: GPL-3.0-or-later
// A sleeping disk is left asleep, and "remind me only when it changes"
// silences only the repeated threshold notification of an unchanged drive.
#include "app/headless_app.h"
#include "app_fakes.h"
#include "disks/platform/fixture/fixture_smart_access.h"
#include "foundation/defaults.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kWarning = QStringLiteral("which is is below the set WARNING threshold!");
const QString kDecrease = QStringLiteral("decreased from");

int count(const Journal& journal, const QString& text) {
    return int(deliveries(journal).filter(text).size());
}

// One drive "Data" with serial S1 at `health`, alerts only, one check.
void checkAt(Harness& h, int health, std::uint8_t status = 2) {
    h.disks.list->clear();
    h.addDrive(0, QStringLiteral("Data"), health, status);
    h.disks.serials[0] = QStringLiteral("S1");
    h.journal.calls.clear();
    h.check();
}

Harness& alertsOnly(Harness& h) {
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    return h;
}

TEST(RemindOnlyWhenChanged, OffRepeatsTheWarningAtEveryCheck) {
    Harness h;
    alertsOnly(h);
    for (int i = 0; i < 3; ++i) {
        checkAt(h, 40);
        EXPECT_EQ(count(h.journal, kWarning), 1) << i;
    }
    EXPECT_FALSE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
}

TEST(RemindOnlyWhenChanged, SilentWhileUnchangedToldAgainAt39) {
    Harness h;
    alertsOnly(h);
    checkAt(h, 40);
    ASSERT_TRUE(h.controller->remindOnlyWhenChanged(QStringLiteral("S1"), 40, 2));
    for (int i = 0; i < 2; ++i) {
        checkAt(h, 40);
        EXPECT_EQ(count(h.journal, kWarning), 0) << i;
        // Still logged as a warning: only the notification is held back.
        EXPECT_TRUE(h.journal.logs.last().startsWith(QLatin1String("3 Data")));
    }
    checkAt(h, 39);
    // The decrease is told, and so is the warning: the change ended the choice.
    EXPECT_EQ(count(h.journal, kDecrease), 1);
    EXPECT_EQ(count(h.journal, kWarning), 1);
    EXPECT_FALSE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
    checkAt(h, 39);
    EXPECT_EQ(count(h.journal, kWarning), 1);
}

TEST(RemindOnlyWhenChanged, ARiseEndsItToo) {
    Harness h;
    alertsOnly(h);
    checkAt(h, 40);
    h.controller->remindOnlyWhenChanged(QStringLiteral("S1"), 40, 2);
    checkAt(h, 41);
    EXPECT_EQ(count(h.journal, kWarning), 1);
    EXPECT_EQ(count(h.journal, kDecrease), 0);
    EXPECT_FALSE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
}

TEST(RemindOnlyWhenChanged, DecreaseIsNeverSilenced) {
    Harness h;
    alertsOnly(h);
    // Chosen at 40 while the stored health still says 45: the decrease of
    // this check is told although the health is the chosen one.
    h.settings.setDefaultInt(QStringLiteral("Data_lastCheckHealth"), 45);
    h.controller->remindOnlyWhenChanged(QStringLiteral("S1"), 40, 2);
    checkAt(h, 40);
    EXPECT_EQ(count(h.journal, kDecrease), 1);
    EXPECT_EQ(count(h.journal, kWarning), 0);
    EXPECT_TRUE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
}

TEST(RemindOnlyWhenChanged, AStatusChangeEndsIt) {
    Harness h;
    alertsOnly(h);
    h.controller->remindOnlyWhenChanged(QStringLiteral("S1"), 40, 2);
    checkAt(h, 40, 0);  // status unknown now, same health
    EXPECT_EQ(count(h.journal, kWarning), 1);
    EXPECT_FALSE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
}

TEST(RemindOnlyWhenChanged, TheDefaultsKeyAnchorsAtTheNextCheck) {
    Harness h;
    alertsOnly(h);
    h.settings.setDefaultInt(AppDelegate::remindKey(QStringLiteral("S1")), 1);
    checkAt(h, 40);
    EXPECT_EQ(count(h.journal, kWarning), 0);
    EXPECT_EQ(h.settings.defaultInt(AppDelegate::remindAnchorKey(QStringLiteral("S1"))), 3040);
    checkAt(h, 40);
    EXPECT_EQ(count(h.journal, kWarning), 0);
    checkAt(h, 42);
    EXPECT_EQ(count(h.journal, kWarning), 1);
}

TEST(RemindOnlyWhenChanged, OnlyForDrivesWithASerialAndOnlyThatDrive) {
    Harness h;
    alertsOnly(h);
    EXPECT_FALSE(h.controller->remindOnlyWhenChanged(QString(), 40, 2));
    h.controller->remindOnlyWhenChanged(QStringLiteral("S1"), 40, 2);
    h.addDrive(0, QStringLiteral("Data"), 40);
    h.disks.serials[0] = QStringLiteral("S1");
    h.addDrive(1, QStringLiteral("Other"), 40);
    h.disks.serials[1] = QStringLiteral("S2");
    h.addDrive(2, QStringLiteral("No serial"), 40);
    h.check();
    EXPECT_EQ(count(h.journal, kWarning), 2);
    EXPECT_EQ(count(h.journal, QStringLiteral("disk Data ")), 0);
}

TEST(RemindOnlyWhenChanged, OfferedAsTheAlertsSecondButton) {
    Harness h;
    alertsOnly(h);
    h.settings.setDefaultInt(QStringLiteral("Data_lastCheckHealth"), 45);
    h.journal.alertAnswer = 1001;
    checkAt(h, 40);
    // The decrease alert offers nothing; the warning alert offers the choice.
    EXPECT_EQ(h.journal.alertSeconds,
              (QStringList{QString(), QStringLiteral("Remind Me Only When It Changes")}));
    EXPECT_TRUE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
    h.journal.alertSeconds.clear();
    checkAt(h, 40);
    EXPECT_EQ(count(h.journal, kWarning), 0);
}

TEST(RemindOnlyWhenChanged, OfferedAsTheNotificationsAction) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 0);
    checkAt(h, 40);
    ASSERT_EQ(h.journal.actionLabels,
              QStringList{QStringLiteral("Remind Me Only When It Changes")});
    EXPECT_FALSE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
    h.journal.actions.front()();  // the user picks the action
    EXPECT_TRUE(h.controller->isRemindingOnlyWhenChanged(QStringLiteral("S1")));
    checkAt(h, 40);
    EXPECT_EQ(count(h.journal, kWarning), 0);
}

TEST(Standby, ASleepingDiskKeepsItsLastRecordUnread) {
    Harness h;
    h.addDrive(0, QStringLiteral("Sleeper"), 70);
    h.check();
    const int readsAwake = h.disks.reads[0];
    EXPECT_GT(readsAwake, 0);

    h.disks.power[0] = DiskPowerState::Asleep;
    h.disks.drives[0].table->at(231).currentValue = AttributeNumber::fromSigned(10);
    h.journal.logs.clear();
    h.check();
    EXPECT_EQ(h.disks.reads[0], readsAwake);  // not read
    ASSERT_EQ(h.controller->ssdArray().size(), 1u);
    const SSD& kept = *h.controller->ssdArray()[0];
    EXPECT_EQ(kept.healthPercentage(), 70);  // the last record, not the drive's new 10
    ASSERT_TRUE(kept.standbySince());
    EXPECT_TRUE(kept.standbyText().startsWith(QLatin1String("in standby since ")));
    const QStringList info = h.journal.logs.filter(QRegularExpression(QStringLiteral("^6 ")));
    ASSERT_EQ(info.size(), 1);
    EXPECT_TRUE(info.first().contains(QLatin1String("in standby since")));
    const QDateTime since = *kept.standbySince();

    // Still asleep: the same "since"; awake: read at once.
    h.check();
    EXPECT_EQ(h.controller->ssdArray()[0]->standbySince(), since);
    h.disks.power[0] = DiskPowerState::Awake;
    h.check();
    EXPECT_GT(h.disks.reads[0], readsAwake);
    EXPECT_EQ(h.controller->ssdArray()[0]->healthPercentage(), 10);
    EXPECT_FALSE(h.controller->ssdArray()[0]->standbySince());
}

TEST(Standby, AsleepAtTheFirstCheckKeepsTheStoredHealth) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("Sleeper_lastCheckHealth"), 64);
    h.addDrive(0, QStringLiteral("Sleeper"), 10);
    h.disks.power[0] = DiskPowerState::Asleep;
    h.check();
    EXPECT_EQ(h.disks.reads[0], 0);
    ASSERT_EQ(h.controller->ssdArray().size(), 1u);
    EXPECT_EQ(h.controller->ssdArray()[0]->healthPercentage(), 64);
    EXPECT_TRUE(h.controller->ssdArray()[0]->status().contains(QLatin1String("in standby")));
    // Not overwritten by an unread disk's "unknown".
    EXPECT_EQ(h.settings.defaultInt(QStringLiteral("Sleeper_lastCheckHealth")), 64);
    EXPECT_TRUE(deliveries(h.journal).isEmpty());
}

TEST(Standby, CheckStandbyDisksReadsEveryTime) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("CheckStandbyDisks"), 1);
    h.addDrive(0, QStringLiteral("Sleeper"), 70);
    h.disks.power[0] = DiskPowerState::Asleep;
    h.check();
    EXPECT_GT(h.disks.reads[0], 0);
    EXPECT_FALSE(h.controller->ssdArray()[0]->standbySince());
    EXPECT_EQ(h.controller->ssdArray()[0]->healthPercentage(), 70);
}

class Quiet final : public Logger {
  public:
    void log_message(int level, const QString& text) override {
        lines.append(QStringLiteral("%1 %2").arg(level).arg(text));
    }
    QStringList lines;
};

// The recorded desktop whose hard disk (sdb) answers CHECK POWER MODE with standby.
struct SleepingHardDisk {
    SleepingHardDisk() {
        EXPECT_EQ(
            QProcess::execute(
                QStringLiteral("cp"),
                {QStringLiteral("-a"),
                 QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/machines/desktop-sata-md-usb"), machine}),
            0);
        QFile power(machine + QStringLiteral("/smart/sdb/power"));
        EXPECT_TRUE(power.open(QIODevice::WriteOnly));
        power.write("standby\n");
        // Hard disks are evaluated too, so the sleeping one is listed.
        setDefaultInt(QStringLiteral("CheckAllDisks"), 1);
    }
    ~SleepingHardDisk() {
        setDefaultInt(QStringLiteral("CheckAllDisks"), 0);
        setDefaultInt(QStringLiteral("CheckStandbyDisks"), 0);
    }

    // One check; the reads of each disk and what the check shows of sdb.
    struct Outcome {
        int hddReads = 0;
        int ssdReads = 0;
        QString hddStatus;
        bool hddStandby = false;
        QStringList infoLines;
        QString ssdWear;
    };
    Outcome check() {
        Quiet log;
        HeadlessApp::Options options;
        options.machine = machine;
        options.reports = false;
        options.notify = false;
        options.workOffMainThread = false;
        HeadlessApp app(options, log);
        app.controller().performCheck(nullptr);
        auto& access = dynamic_cast<FixtureSmartAccess&>(app.host().access());
        Outcome outcome{access.readsOf("sdb"), access.readsOf("sda"), {}, false, {}, {}};
        for (const auto& ssd : app.controller().ssdArray()) {
            if (ssd->deviceNode() == QLatin1String("/dev/sdb")) {
                outcome.hddStatus = ssd->status();
                outcome.hddStandby = ssd->standbySince().has_value();
            } else if (ssd->deviceNode() == QLatin1String("/dev/sda")) {
                outcome.ssdWear = ssd->ownWearLine();
            }
        }
        outcome.infoLines = log.lines.filter(QRegularExpression(QStringLiteral("^6 ")));
        return outcome;
    }

    QTemporaryDir folder;
    QString machine = folder.filePath(QStringLiteral("desktop"));
};

TEST(Standby, TheRecordedHardDiskInStandbyIsNotRead) {
    SleepingHardDisk desktop;
    const SleepingHardDisk::Outcome asleep = desktop.check();
    EXPECT_EQ(asleep.hddReads, 0);
    EXPECT_GT(asleep.ssdReads, 0);
    EXPECT_TRUE(asleep.hddStandby);
    EXPECT_TRUE(asleep.hddStatus.contains(QLatin1String("in standby since")))
        << asleep.hddStatus.toStdString();
    ASSERT_EQ(asleep.infoLines.size(), 1);
    EXPECT_TRUE(asleep.infoLines.first().contains(QLatin1String("/dev/sdb")));
    // The SSD beside it shows its own figures from its Device Statistics.
    EXPECT_EQ(asleep.ssdWear,
              QStringLiteral("own wear indicator: 7 % used · 11.0 TB written · 8,123 h"));

    setDefaultInt(QStringLiteral("CheckStandbyDisks"), 1);
    const SleepingHardDisk::Outcome read = desktop.check();
    EXPECT_GT(read.hddReads, 0);
    EXPECT_FALSE(read.hddStandby);
    EXPECT_TRUE(read.infoLines.isEmpty());
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_fakes.h"

#include <gtest/gtest.h>

namespace {

const QString kDecrease =
    QStringLiteral("SSD Health status of disk %1 (%2) decreased from %3% to %4%!");
const QString kBelow = QStringLiteral(
    "SSD Health status of disk %1 (%2) is currently %3% which is is below the set %4 threshold!");

TEST(CheckCycle, DecreaseNeedsAKnownEarlierHealth) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    h.addDrive(0, QStringLiteral("First"), 90);
    h.addDrive(1, QStringLiteral("Unknown before"), 80);
    h.settings.setDefaultInt(QStringLiteral("Unknown before_lastCheckHealth"), 255);
    h.check();
    EXPECT_EQ(h.controller->ssdArray().size(), 2u);
    EXPECT_EQ(h.controller->ssdArray()[0]->lastHealthPercentage(), 0);
    EXPECT_TRUE(deliveries(h.journal).isEmpty()) << h.journal.calls.join(u'\n').toStdString();
    EXPECT_EQ(h.controller->statusSummaryText(), QStringLiteral("Status: OK"));

    // The second check sees the first one's health: 90 -> 85 is a decrease.
    h.disks.list->clear();
    h.addDrive(0, QStringLiteral("First"), 85);
    h.check();
    EXPECT_EQ(deliveries(h.journal),
              QStringList{QStringLiteral("alert ") +
                          kDecrease.arg(QStringLiteral("First"), QStringLiteral("/dev/sda"),
                                        QStringLiteral("90"), QStringLiteral("85")) +
                          QStringLiteral("|OK")});
}

TEST(CheckCycle, ThresholdsAreInclusiveAndDecreaseComesFirst) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), 1);
    h.settings.setDefaultInt(QStringLiteral("Falling_lastCheckHealth"), 80);
    h.addDrive(0, QStringLiteral("Falling"), 40);
    h.addDrive(1, QStringLiteral("At error"), 30);
    h.addDrive(2, QStringLiteral("At warning"), 50);
    h.controller->performCheck(nullptr);
    // A caller that ends after the cycle must know what is still to deliver.
    EXPECT_EQ(h.controller->pendingDeliveries(), 4);
    Harness::drain();
    EXPECT_EQ(h.controller->pendingDeliveries(), 0);
    const auto alert = [](const QString& text) {
        return QStringLiteral("alert ") + text + QStringLiteral("|OK");
    };
    EXPECT_EQ(deliveries(h.journal),
              (QStringList{
                  alert(kDecrease.arg(QStringLiteral("Falling"), QStringLiteral("/dev/sda"),
                                      QStringLiteral("80"), QStringLiteral("40"))),
                  alert(kBelow.arg(QStringLiteral("Falling"), QStringLiteral("/dev/sda"),
                                   QStringLiteral("40"), QStringLiteral("WARNING"))),
                  alert(kBelow.arg(QStringLiteral("At error"), QStringLiteral("/dev/sdb"),
                                   QStringLiteral("30"), QStringLiteral("ERROR"))),
                  alert(kBelow.arg(QStringLiteral("At warning"), QStringLiteral("/dev/sdc"),
                                   QStringLiteral("50"), QStringLiteral("WARNING"))),
              }));
    // Each notification counts one use, without allowing the rating window.
    const QString use = QStringLiteral(
        "usage 1 1 3 [APPNAME] has notified you successfully [USAGES_ASKREVIEW] times about "
        "health-changes of your SSD! 0 0");
    EXPECT_EQ(h.journal.with(QStringLiteral("usage")), QStringList(4, use));
    EXPECT_EQ(h.controller->statusSummaryText(), QStringLiteral("Status: Error"));
    EXPECT_EQ(h.controller->lastOverall(), AppDelegate::Overall::Error);
    EXPECT_TRUE(h.journal.logs.filter(QRegularExpression(QStringLiteral("^0 At error"))).size() ==
                1);
    EXPECT_TRUE(h.journal.logs.filter(QRegularExpression(QStringLiteral("^3 At warning"))).size() ==
                1);

    // No memory of what was sent: the same state notifies again.
    h.journal.calls.clear();
    h.check();
    EXPECT_EQ(deliveries(h.journal).size(), 3);
}

TEST(CheckCycle, ErrorOnlyTriggerStillLogsWarnings) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationTriggerStatusType"), 1);
    h.addDrive(0, QStringLiteral("Worn"), 45);
    h.check();
    EXPECT_TRUE(deliveries(h.journal).isEmpty());
    EXPECT_EQ(h.journal.logs.filter(QRegularExpression(QStringLiteral("^3 Worn"))).size(), 1);
    EXPECT_EQ(h.controller->statusSummaryText(), QStringLiteral("Status: Warning"));
}

TEST(CheckCycle, AlertTypesChooseTheChannels) {
    struct Case {
        int useAlert;
        int type;
        QStringList kinds;
    };
    const QList<Case> cases{
        {1, 0, {QStringLiteral("notify")}},
        {1, 1, {QStringLiteral("alert")}},
        {1, 2, {QStringLiteral("notify"), QStringLiteral("alert")}},
        {0, 2, {}},
    };
    for (const Case& c : cases) {
        Harness h;
        h.settings.setDefaultInt(QStringLiteral("NotificationUseAlert"), c.useAlert);
        h.settings.setDefaultInt(QStringLiteral("NotificationUseAlertType"), c.type);
        h.addDrive(0, QStringLiteral("Low"), 20);
        h.check();
        QStringList kinds;
        for (const QString& d : deliveries(h.journal)) {
            kinds.append(d.section(QLatin1Char(' '), 0, 0));
        }
        EXPECT_EQ(kinds, c.kinds) << c.useAlert << ' ' << c.type;
        if (c.kinds.contains(QStringLiteral("notify"))) {
            EXPECT_TRUE(
                deliveries(h.journal).first().endsWith(QStringLiteral("|iconset_dock_1_warning")));
            EXPECT_TRUE(deliveries(h.journal).first().startsWith(
                QStringLiteral("notify Ostrivane SSD Problem Notification|")));
        }
    }
}

TEST(CheckCycle, MailFailureRaisesAnAlertWithTheResultName) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("NotificationUseAlert"), 0);
    h.settings.setDefaultInt(QStringLiteral("NotificationUseEmail"), 1);
    h.settings.strings.insert(QStringLiteral("NotificationUseEmailAddress"),
                              QStringLiteral("a@example.org"));
    h.journal.mailResult = 8;
    h.addDrive(0, QStringLiteral("Low"), 20);
    h.check();
    const QStringList sent = deliveries(h.journal);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0], QStringLiteral("mail ") +
                           kBelow.arg(QStringLiteral("Low"), QStringLiteral("/dev/sda"),
                                      QStringLiteral("20"), QStringLiteral("ERROR")) +
                           QStringLiteral("|Ostrivane SSD Problem Notification|a@example.org|60|"
                                          "0|0"));
    EXPECT_EQ(sent[1], QStringLiteral("alert Unable to send e-mail about SSD problem notification "
                                      "(error: Unreachable host)|OK"));
    EXPECT_EQ(AppDelegate::emailResultName(0), QStringLiteral("Success"));
    EXPECT_EQ(AppDelegate::emailResultName(9), QStringLiteral("Unknown result 9"));
}

TEST(CheckCycle, TooltipLeavesOutUnknownHealthAndIncapableDrives) {
    Harness h;
    h.addDrive(0, QStringLiteral("Good"), 90);
    h.addDrive(1, QStringLiteral("Above"), 250);  // 125 %
    h.addDrive(2, QStringLiteral("Incapable"), 90, SMARTStatusNotCapable);
    h.check();
    ASSERT_EQ(h.controller->ssdArray().size(), 3u);
    EXPECT_EQ(h.controller->ssdArray()[1]->healthPercentage(), 125);
    EXPECT_EQ(h.journal.tooltips.last(),
              QStringLiteral("Ostrivane v1.2.3\n\nDisk: Good Health: 90%\n"));
    EXPECT_EQ(
        h.journal.logs.filter(QRegularExpression(QStringLiteral("^5 (Above|Incapable)"))).size(),
        2);
}

TEST(CheckCycle, WorstHealthAboveHundredKeepsThePreviousStatus) {
    Harness h;
    h.resources = QStringList{QStringLiteral("ok.png")};
    h.addDrive(0, QStringLiteral("Good"), 90);
    h.check();
    const QStringList icons = h.journal.calls;
    const QString time = h.controller->statusTimeText();
    ASSERT_EQ(h.controller->statusIconURL(), QUrl(QStringLiteral("file:///res/ok.png")));

    h.disks.list->clear();
    h.addDrive(0, QStringLiteral("Odd"), 300);  // 150 %
    h.check();
    ASSERT_EQ(h.controller->ssdArray()[0]->healthPercentage(), 150);
    EXPECT_EQ(h.controller->statusSummaryText(), QStringLiteral("Status: OK"));
    EXPECT_EQ(h.controller->statusDetailText(),
              QStringLiteral("SSD Health of your SSD(s) is fine!"));
    EXPECT_EQ(h.controller->statusIconURL(), QUrl(QStringLiteral("file:///res/ok.png")));
    EXPECT_EQ(h.journal.calls, icons);  // no icon was redrawn
    EXPECT_EQ(h.journal.tooltips.last(), QStringLiteral("Ostrivane v1.2.3\n\n"));
    EXPECT_EQ(h.controller->lastOverall(), AppDelegate::Overall::Unchanged);
    EXPECT_FALSE(time.isEmpty());
}

TEST(CheckCycle, NoDisksAndOnlyIncompatibleDrives) {
    Harness h;
    h.disks.list.reset();  // an absent list counts as empty
    h.check();
    EXPECT_EQ(h.journal.tooltips, QStringList{QStringLiteral("Ostrivane v1.2.3\n\n")});
    EXPECT_EQ(h.controller->statusSummaryText(), QStringLiteral("Status: Unknown"));
    EXPECT_EQ(h.controller->statusDetailText(),
              QStringLiteral("No internal SSD devices have been found."));
    EXPECT_EQ(h.journal.with(QStringLiteral("dock")),
              QStringList{QStringLiteral("dock iconset_dock_1_warning")});
    EXPECT_TRUE(h.journal.logs.isEmpty());

    Harness incompatible;
    incompatible.addDrive(0, QStringLiteral("Mystery"), 90);
    incompatible.disks.drives[0].table = AttributeTable{};  // no rule applies
    incompatible.check();
    EXPECT_EQ(incompatible.controller->statusSummaryText(),
              QStringLiteral("Status: No compatible SSDs found"));
    EXPECT_EQ(incompatible.controller->lastOverall(), AppDelegate::Overall::NoCompatible);
}

TEST(CheckCycle, HardDisksAreDropped) {
    Harness h;
    h.addDrive(0, QStringLiteral("Spinning"), 90);
    h.disks.drives[0].description.remove(QStringLiteral("isSSD"));
    h.addDrive(1, QStringLiteral("Solid"), 90);
    h.check();
    ASSERT_EQ(h.controller->ssdArray().size(), 1u);
    EXPECT_EQ(h.controller->ssdArray()[0]->name(), QStringLiteral("Solid"));
}

TEST(CheckTimer, OnlyTheControllerOrTag66ChecksAtOnce) {
    Harness h;
    h.addDrive(0, QStringLiteral("Good"), 90);
    QObject settingsWindow;
    h.controller->checkIntervalChanged(&settingsWindow);
    EXPECT_TRUE(h.journal.tooltips.isEmpty());
    ASSERT_NE(h.controller->checkTimer(), nullptr);
    EXPECT_EQ(h.controller->checkTimer()->interval(), 60 * 60 * 1000);
    EXPECT_TRUE(h.controller->checkTimer()->isActive());

    QObject checkNow;
    checkNow.setProperty("tag", 66);
    h.controller->checkIntervalChanged(&checkNow);
    EXPECT_EQ(h.journal.tooltips.size(), 1);
    h.controller->checkIntervalChanged(h.controller.get());
    EXPECT_EQ(h.journal.tooltips.size(), 2);

    for (const qint64 minutes : {qint64(0), qint64(-5)}) {
        h.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), minutes);
        h.controller->checkIntervalChanged(&settingsWindow);
        EXPECT_EQ(h.controller->checkTimer()->interval(), 60 * 1000);
        EXPECT_TRUE(h.journal.logs.last().startsWith(QStringLiteral("3 Error: check interval")));
    }
    h.settings.setDefaultInt(QStringLiteral("SSDCheckInterval"), qint64(1) << 40);
    h.controller->checkIntervalChanged(&settingsWindow);
    EXPECT_GT(h.controller->checkTimer()->interval(), 0);
}

TEST(IconSets, FallbackSetsAndTemplateRule) {
    Harness h;
    h.controller->setIconSet(0);  // before any check: OK
    EXPECT_EQ(h.journal.calls, (QStringList{QStringLiteral("template 0"),
                                            QStringLiteral("menubar iconset_menu_13_ok"),
                                            QStringLiteral("dock iconset_dock_1_ok")}));

    // The light appearance never draws a template image.
    for (const qint64 menuSet : {12, 14}) {
        h.settings.setDefaultInt(QStringLiteral("IconsetMenubar"), menuSet);
        h.journal.calls.clear();
        h.controller->setIconSet(3);
        EXPECT_EQ(h.journal.calls.first(), QStringLiteral("template 0"));
    }
}

TEST(IconSets, DarkAppearanceTemplates) {
    struct Case {
        qint64 menuSet;
        quint8 state;
        int expected;
    };
    for (const Case& c : {Case{12, 3, 2}, Case{12, 2, 0}, Case{12, 1, 0}, Case{14, 3, 2},
                          Case{14, 2, 2}, Case{14, 1, 0}, Case{0, 3, 0}}) {
        Harness h;
        h.controller.reset();
        AppDelegate dark(AppDelegate::Services{
            h.disks,
            EvaluationServices{h.disks, h.journal, h.journal, h.journal, h.journal, h.settings},
            h.settings,
            h.journal,
            h.journal,
            h.journal,
            h.journal,
            h.journal,
            h.journal,
            QStringLiteral("Ostrivane"),
            QStringLiteral("1"),
            true,
            {}});
        h.settings.setDefaultInt(QStringLiteral("IconsetMenubar"), c.menuSet);
        dark.setIconSet(c.state);
        EXPECT_EQ(h.journal.calls.first(), QStringLiteral("template %1").arg(c.expected))
            << c.menuSet << ' ' << int(c.state);
        // 0 repeats the remembered state.
        h.journal.calls.clear();
        dark.setIconSet(0);
        EXPECT_TRUE(h.journal.calls[1].endsWith(QLatin1String(c.state == 1   ? "_error"
                                                              : c.state == 2 ? "_warning"
                                                                             : "_ok")));
    }
}

TEST(IconSets, PreviewsFallBackToTiffAsAGroup) {
    Harness h;
    h.settings.setDefaultInt(QStringLiteral("IconsetMenubar"), 4);
    h.resources = QStringList{
        QStringLiteral("iconset_menu_5_ok.png"), QStringLiteral("iconset_menu_5_warning.tiff"),
        QStringLiteral("iconset_menu_5_ok.tiff"), QStringLiteral("iconset_dock_1_ok.png")};
    h.controller->changeIconset();
    EXPECT_EQ(h.controller->menuIconOKURL,
              QUrl(QStringLiteral("file:///res/iconset_menu_5_ok.tiff")));
    EXPECT_EQ(h.controller->menuIconWarningURL,
              QUrl(QStringLiteral("file:///res/iconset_menu_5_warning.tiff")));
    EXPECT_FALSE(h.controller->menuIconErrorURL.has_value());
    EXPECT_EQ(h.controller->dockIconOKURL,
              QUrl(QStringLiteral("file:///res/iconset_dock_1_ok.png")));
    EXPECT_EQ(AppDelegate::menuIconsetNames().size(), 15);
}

}  // namespace

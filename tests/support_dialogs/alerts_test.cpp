// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "foundation/defaults.h"
#include "support/alerts.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

TEST(Alerts, LogQuestionAndAnswerOnOneLineAndPassTheButtonsOn) {
    ScriptedRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));

    EXPECT_EQ(alerts.alert(QStringLiteral("Disk\nfull"), QStringLiteral("Line one\nline two"),
                           QStringLiteral("OK")),
              1000);
    ASSERT_EQ(runner.panels.size(), 1);
    EXPECT_EQ(runner.panels[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(runner.panels[0].bringToFront);
    const QString log = loggedText();
    EXPECT_TRUE(log.contains(QStringLiteral("Alert: Diskfull - Line oneline two")));
    EXPECT_TRUE(log.contains(QStringLiteral("Alert: finished 1000")));

    // Missing titles are skipped; no title at all leaves the platform's OK.
    runner.answer.code = 1001;
    EXPECT_EQ(alerts.alert_apptitled(QStringLiteral("Quit?"), QStringLiteral("Yes"), {},
                                     QStringLiteral("Later")),
              1001);
    EXPECT_EQ(runner.panels[1].title, QStringLiteral("Ostrivane"));
    EXPECT_EQ(runner.panels[1].buttons,
              (QStringList{QStringLiteral("Yes"), QStringLiteral("Later")}));
    alerts.alert(QStringLiteral("T"), QStringLiteral("M"), {});
    EXPECT_TRUE(runner.panels[2].buttons.isEmpty());
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert: finished 1001")));
}

TEST(Alerts, AccessoryVariantsReturnTheControlsStateAndLogIt) {
    ScriptedRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));
    const QStringList four = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                              QStringLiteral("D")};

    runner.answer.code = 1002;
    runner.answer.text = QStringLiteral("typed");
    runner.answer.checked = true;
    runner.answer.color = QColor(Qt::red);
    runner.answer.index = 2;
    QString text = QStringLiteral("start");
    EXPECT_EQ(alerts.alert_input(QStringLiteral("Name?"), four, text), 1002);
    EXPECT_EQ(text, QStringLiteral("typed"));
    EXPECT_EQ(runner.panels.last().text, QStringLiteral("start"));
    EXPECT_EQ(runner.panels.last().buttons.size(), 3);
    EXPECT_FALSE(runner.panels.last().bringToFront);
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Input: Name?@")));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Input: finished 1002")));

    alerts.alert_inputsecure(QStringLiteral("Password?"), four, text);
    EXPECT_EQ(runner.panels.last().accessory, AlertPanel::Accessory::SecureInput);

    bool state = false;
    alerts.alert_checkbox(QStringLiteral("T"), QStringLiteral("M"), four, QStringLiteral("Box"),
                          state);
    EXPECT_TRUE(state);
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Checkbox: finished 1002 1")));

    QColor color(Qt::blue);
    alerts.alert_colorwell(QStringLiteral("Colour"), four, color);
    EXPECT_EQ(color, QColor(Qt::red));

    runner.answer.text = QStringLiteral("new\ntext");
    alerts.alert_inputtext(QStringLiteral("Edit"), four, text);
    EXPECT_EQ(text, QStringLiteral("new\ntext"));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Inputtext: finished 1002 newtext")));

    alerts.alert_outputtext(QStringLiteral("Shown"), four, QStringLiteral("read only"));
    EXPECT_EQ(runner.panels.last().accessory, AlertPanel::Accessory::OutputText);

    int index = 0;
    alerts.alert_selectionpopup(QStringLiteral("Pick"), {QStringLiteral("x"), QStringLiteral("y")},
                                four, index);
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Selectionpopup: finished 1002 2")));

    const QString exactly150(150, QLatin1Char('a'));
    const QString over150 = QString(70, QLatin1Char('b')) + QString(11, QLatin1Char('m')) +
                            QString(70, QLatin1Char('e'));
    int row = 0;
    alerts.alert_selectionmatrix(QStringLiteral("Row"), {exactly150, over150}, four, row);
    EXPECT_EQ(runner.panels.last().entries[0], exactly150);
    EXPECT_EQ(
        runner.panels.last().entries[1],
        QString(70, QLatin1Char('b')) + QStringLiteral(" […] ") + QString(70, QLatin1Char('e')));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Selectionmatrix: finished 1002 2")));
}

TEST(Alerts, SuppressionKeysAreStoredAndHonoured) {
    ScriptedRunner runner;
    Alerts v1(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));
    Alerts v2(runner, QStringLiteral("Ostrivane"), QStringLiteral("2.0"));
    const auto ask = [](Alerts& alerts) {
        alerts.alert_dontwarnagain(QStringLiteral("slow"), QStringLiteral("Slow"),
                                   QStringLiteral("It is slow"), QStringLiteral("OK"),
                                   QStringLiteral("Do not show again"));
    };

    // Not ticked: stored 0, so it asks again.
    runner.answer.checked = false;
    ask(v1);
    EXPECT_EQ(defaultInt(QStringLiteral("_slow_1.0_asked")), 0);
    ask(v1);
    EXPECT_EQ(runner.panels.size(), 2);
    EXPECT_EQ(runner.panels.last().checkboxTitle, QStringLiteral("Do not show again"));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Dontwarnagain: Slow - It is slow")));
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Dontwarnagain: finished")));

    // Ticked: silent for this version, asked again after an update.
    runner.answer.checked = true;
    ask(v1);
    EXPECT_EQ(defaultInt(QStringLiteral("_slow_1.0_asked")), 1);
    ask(v1);
    EXPECT_EQ(runner.panels.size(), 3);
    ask(v2);
    EXPECT_EQ(runner.panels.size(), 4);

    // The "ever" kind stays silent whatever the version.
    v1.alert_dontwarnagainever(QStringLiteral("ever"), QStringLiteral("T"), QStringLiteral("M"),
                               QStringLiteral("OK"), QStringLiteral("Never"));
    EXPECT_EQ(defaultInt(QStringLiteral("_ever_asked")), 1);
    v2.alert_dontwarnagainever(QStringLiteral("ever"), QStringLiteral("T"), QStringLiteral("M"),
                               QStringLiteral("OK"), QStringLiteral("Never"));
    EXPECT_EQ(runner.panels.size(), 5);
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Alert Dontwarnagainever: finished")));
}

TEST(Alerts, SuppressionDialogFromAWorkerReturnsAtOnceAndAsksOnTheMainThread) {
    ScriptedRunner runner;
    Qt::HANDLE askedOn = nullptr;
    runner.edit = [&askedOn](const AlertPanel&, AlertAnswer&) {
        askedOn = QThread::currentThreadId();
    };
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));
    QThread* worker = QThread::create([&alerts] {
        alerts.alert_dontwarnagain(QStringLiteral("worker"), QStringLiteral("T"),
                                   QStringLiteral("M"), QStringLiteral("OK"), QStringLiteral("B"));
    });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_TRUE(runner.panels.isEmpty());
    QCoreApplication::processEvents();
    ASSERT_EQ(runner.panels.size(), 1);
    EXPECT_EQ(askedOn, QThread::currentThreadId());
}

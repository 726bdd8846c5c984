// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "support/alerts.h"
#include "support/message_box_runner.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Waits for the modal box to appear, then lets `act` answer it.
void whenBoxShows(std::function<void(QMessageBox*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start();
}

QAbstractButton* buttonTitled(QMessageBox* box, const QString& title) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == title) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

TEST(MessageBoxRunner, ClickedButtonGivesItsCodeInOrderOfTheTitles) {
    MessageBoxRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));
    QStringList shown;
    whenBoxShows([&shown](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons()) {
            shown.append(button->text());
        }
        buttonTitled(box, QStringLiteral("Third"))->click();
    });
    EXPECT_EQ(
        alerts.alert(QStringLiteral("Title"), QStringLiteral("Message"), QStringLiteral("First"),
                     QStringLiteral("Second"), QStringLiteral("Third")),
        1002);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("First"), QStringLiteral("Second"),
                                  QStringLiteral("Third")}));

    // Without titles there is the one platform button, answering 1000.
    whenBoxShows([](QMessageBox* box) {
        ASSERT_EQ(box->buttons().size(), 1);
        box->buttons().constFirst()->click();
    });
    EXPECT_EQ(alerts.alert(QStringLiteral("T"), QStringLiteral("M"), {}), 1000);

    // Escape picks the last button, the cancelling one.
    whenBoxShows([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(alerts.alert(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"),
                           QStringLiteral("Cancel")),
              1001);
}

TEST(MessageBoxRunner, AccessoryControlsAndSuppressionBoxReachTheAnswer) {
    MessageBoxRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane"), QStringLiteral("1.0"));

    whenBoxShows([](QMessageBox* box) {
        auto* field = box->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        field->setText(QStringLiteral("secret"));
        buttonTitled(box, QStringLiteral("Log In"))->click();
    });
    QString text;
    EXPECT_EQ(alerts.alert_inputsecure(QStringLiteral("Password"),
                                       {QStringLiteral("Log In"), QStringLiteral("Cancel")}, text),
              1000);
    EXPECT_EQ(text, QStringLiteral("secret"));

    whenBoxShows([](QMessageBox* box) {
        ASSERT_NE(box->checkBox(), nullptr);
        EXPECT_EQ(box->checkBox()->text(), QStringLiteral("Do not show again"));
        box->checkBox()->setChecked(true);
        box->buttons().constFirst()->click();
    });
    alerts.alert_dontwarnagainever(QStringLiteral("real"), QStringLiteral("T"), QStringLiteral("M"),
                                   QStringLiteral("OK"), QStringLiteral("Do not show again"));
    // Ticked: asked never again, so no box appears (a box would hang here).
    alerts.alert_dontwarnagainever(QStringLiteral("real"), QStringLiteral("T"), QStringLiteral("M"),
                                   QStringLiteral("OK"), QStringLiteral("Do not show again"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

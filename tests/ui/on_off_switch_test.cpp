// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/on_off_switch.h"

#include "widget_test_support.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// 100 points wide: the thumb is 44.1 wide and its centre starts at 23.05
// (off) and stops at 76.95 (on), so a drag by d puts it at 23.05 + d.
class SwitchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        button.resize(100, 24);
        button.show();
    }

    // `slowly`: held longer than a click may take.
    void drag(int from, int by, bool slowly = false) {
        const QPoint start(from, 12);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(&button, start + QPoint(by / 2, 0));
        QTest::mouseMove(&button, start + QPoint(by, 0));
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, start + QPoint(by, 0),
                            slowly ? OnOffSwitch::kStickyMilliseconds + 50 : -1);
    }

    void key(Qt::Key which) { QTest::keyClick(&button, which); }

    OnOffSwitch button;
};

TEST_F(SwitchTest, AQuickClickTogglesLikeACheckBoxAndTellsTheChange) {
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QSignalSpy toggled(&button, &QAbstractButton::toggled);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    EXPECT_EQ(button.checkState(), Qt::Checked);
    EXPECT_TRUE(button.isChecked());
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(90, 12));
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(toggled.count(), 2);

    // Set in code, the switch tells the new state but no click, so a
    // binding does not write back what it just read.
    button.setCheckState(Qt::Checked);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_TRUE(button.isChecked());
    button.setChecked(false);
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
}

TEST_F(SwitchTest, ADragDecidesByWhereTheThumbEnds) {
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    drag(30, 17);  // centre at 40 %: not past the middle
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    drag(30, 37);  // 60 %
    EXPECT_EQ(button.checkState(), Qt::Checked);
    EXPECT_EQ(clicked.count(), 2);
    // To the left the drag must be slow: a quick one is a click.
    drag(70, -17, true);  // from on back to 60 %: stays on
    EXPECT_EQ(button.checkState(), Qt::Checked);
    drag(70, -37, true);
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    // Far past the end the thumb stops at the track's end, still a drag.
    drag(10, 400);
    EXPECT_EQ(button.checkState(), Qt::Checked);
    const QRectF track = QRectF(button.rect()).adjusted(1, 1, -1, -1);
    const QRectF on = OnOffSwitch::thumbRectInFrame(button.rect(), Qt::Checked);
    EXPECT_DOUBLE_EQ(on.right(), track.right());
    EXPECT_NEAR(on.width(), 98 * 0.45, 1e-9);
}

TEST_F(SwitchTest, AQuickShortMoveIsAClickEvenToTheLeft) {
    // A quick move of 20 points to the left from an off switch: the signed
    // displacement is below the click distance, so it toggles on.
    drag(60, -20);
    EXPECT_EQ(button.checkState(), Qt::Checked);
    // A move of 20 to the right is a drag whose thumb stays left of the middle.
    button.setCheckState(Qt::Unchecked);
    drag(10, 20);
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    // Held without moving longer than a click: the thumb stays where it is.
    drag(10, 0, true);
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
}

TEST_F(SwitchTest, MixedStateOnlyWhenAllowed) {
    button.setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(button.checkState(), Qt::Checked);

    button.setAllowsMixedState(true);
    button.setCheckState(Qt::Unchecked);
    drag(30, 27);  // 50 %
    EXPECT_EQ(button.checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(button.isChecked());
    const QRectF mixed = OnOffSwitch::thumbRectInFrame(button.rect(), Qt::PartiallyChecked);
    EXPECT_DOUBLE_EQ(mixed.center().x(), 50.0);

    // Clicks cycle as a three-state check box: mixed -> on -> off -> mixed.
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 12));
    EXPECT_EQ(button.checkState(), Qt::Checked);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 12));
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 12));
    EXPECT_EQ(button.checkState(), Qt::PartiallyChecked);

    // No longer allowed: a mixed switch becomes on.
    button.setAllowsMixedState(false);
    EXPECT_EQ(button.checkState(), Qt::Checked);
}

TEST_F(SwitchTest, ArrowKeysMoveTheThumbAndBeepAtTheEnd) {
    struct Step {
        bool mixedAllowed;
        Qt::CheckState from;
        Qt::Key key;
        Qt::CheckState to;
    };
    const Step steps[] = {
        {false, Qt::Unchecked, Qt::Key_Right, Qt::Checked},
        {false, Qt::Checked, Qt::Key_Right, Qt::Checked},  // beeps
        {false, Qt::Checked, Qt::Key_Left, Qt::Unchecked},
        {false, Qt::Unchecked, Qt::Key_Left, Qt::Unchecked},  // beeps
        {true, Qt::Unchecked, Qt::Key_Right, Qt::PartiallyChecked},
        {true, Qt::PartiallyChecked, Qt::Key_Right, Qt::Checked},
        {true, Qt::Checked, Qt::Key_Left, Qt::PartiallyChecked},
        {true, Qt::PartiallyChecked, Qt::Key_Left, Qt::Unchecked},
    };
    for (const Step& step : steps) {
        button.setAllowsMixedState(step.mixedAllowed);
        button.setCheckState(step.from);
        key(step.key);
        EXPECT_EQ(button.checkState(), step.to)
            << step.mixedAllowed << " " << step.from << " key " << step.key;
    }
    // Other keys still work as on any button.
    button.setAllowsMixedState(false);
    button.setCheckState(Qt::Unchecked);
    key(Qt::Key_Space);
    EXPECT_EQ(button.checkState(), Qt::Checked);
}

TEST_F(SwitchTest, DisabledIgnoresTheUserAndLooksWashedOut) {
    const QImage enabled = button.grab().toImage();
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    drag(30, 37);
    key(Qt::Key_Right);
    EXPECT_EQ(button.checkState(), Qt::Unchecked);
    const QImage disabled = button.grab().toImage();
    // The track on the right of the thumb: grey when enabled, lightened by
    // white at two thirds when disabled.
    const QPoint track(80, 12);
    EXPECT_LT(qGray(enabled.pixel(track)), 180);
    EXPECT_GE(qGray(disabled.pixel(track)), 200);
}

TEST_F(SwitchTest, TakesKeyboardFocusAndIsAnnouncedAsACheckBox) {
    EXPECT_TRUE(button.focusPolicy() & Qt::TabFocus);
    button.setAccessibleName(QStringLiteral("Start at login"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Start at login"));
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_FALSE(accessible->state().checked);
    button.setAllowsMixedState(true);
    button.setCheckState(Qt::PartiallyChecked);
    EXPECT_TRUE(accessible->state().checkStateMixed);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(button.checkState(), Qt::Checked);
    EXPECT_TRUE(accessible->state().checked);
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/usage_counting.h"
#include "foundation/defaults.h"
#include "foundation/settings_store.h"

#include "../foundation/temp_home.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

class CountingWindow final : public RatingPresenter {
  public:
    void showRatingWindow(const QString& text) override { shown.append(text); }
    QStringList shown;
};

const QString kText = QStringLiteral("[APPNAME] said it [USAGES_ASKREVIEW] times");

class UsageCountingTest : public ::testing::Test {
  protected:
    void SetUp() override { SettingsStore::reopenShared(); }
    TempHome home;
    CountingWindow window;
    QDateTime now = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
    DXUsageCounting counting{QStringLiteral("Ostrivane"), QStringLiteral("1.0"), window,
                             [this] { return now; }};
};

TEST_F(UsageCountingTest, ThirdUseOfAVersionAsksOnceWhenAllowed) {
    // Notifications count without allowing the window.
    for (int i = 0; i < 3; ++i) {
        counting.increaseUsagesBy(1, 1, 3, kText, false, false);
    }
    EXPECT_TRUE(window.shown.isEmpty());
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_usages")), 3);
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_1.0_usages")), 3);
    EXPECT_TRUE(counting.isRateable());

    // Opening the main window adds nothing but may ask.
    counting.increaseUsagesBy(0, 1, 3, kText, true, false);
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("Ostrivane said it 3 times")});
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_1.0_asked")), 1);
    counting.increaseUsagesBy(1, 1, 3, kText, true, false);
    EXPECT_EQ(window.shown.size(), 1);

    // A new version asks again, but only 98 days after the last time.
    DXUsageCounting next(QStringLiteral("Ostrivane"), QStringLiteral("2.0"), window,
                         [this] { return now; });
    for (int i = 0; i < 3; ++i) {
        next.increaseUsagesBy(1, 1, 3, kText, true, false);
    }
    EXPECT_EQ(window.shown.size(), 1);
    now = now.addSecs(DXUsageCounting::kAskAgainSeconds);
    next.increaseUsagesBy(0, 1, 3, kText, true, false);
    EXPECT_EQ(window.shown.size(), 1);  // exactly 98 days is not enough
    now = now.addSecs(1);
    next.increaseUsagesBy(0, 1, 3, kText, true, false);
    EXPECT_EQ(window.shown.size(), 2);
}

TEST_F(UsageCountingTest, TurnedOffStillShowsWhenForced) {
    setDefaultInt(QStringLiteral("wendlelib_dontaskagain"), 1);
    counting.increaseUsagesBy(5, 1, 3, kText, true, false);
    EXPECT_TRUE(window.shown.isEmpty());
    counting.increaseUsagesBy(0, 1, 3, kText, false, true);
    EXPECT_TRUE(window.shown.isEmpty());  // forcing needs the window to be allowed
    counting.increaseUsagesBy(0, 0, 3, kText, true, true);
    EXPECT_EQ(window.shown.size(), 1);
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_1.0_asked")), 0);
    EXPECT_FALSE(counting.isRateable());  // a minimum of 0 never rates
}

}  // namespace

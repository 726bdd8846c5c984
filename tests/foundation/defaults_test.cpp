// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/defaults.h"
#include "app/settings_defaults.h"
#include "foundation/logging.h"
#include "foundation/settings_store.h"
#include "foundation/wendle_lib.h"
#include "temp_home.h"

#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <limits>

namespace {

// The accessors on the process-wide store, moved into a temporary home.
class DefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SettingsStore::reopenShared();
        installFallbackDefaults();
    }
    TempHome home;
};

TEST_F(DefaultsTest, SharedStoreFollowsThePreferencesPath) {
    const QString expected = home.configHome() + QStringLiteral("/com.wendle.Ostrivane.sqlite3");
    EXPECT_EQ(WendleLib::shared().prefsPath(), expected);
    EXPECT_EQ(SettingsStore::shared().path(), expected);
    ASSERT_TRUE(setDefaultInt(QStringLiteral("k"), 1));
    EXPECT_TRUE(QFileInfo::exists(expected));
}

TEST_F(DefaultsTest, ControllerFallbacksApplyUntilAValueIsStored) {
    EXPECT_EQ(defaultInt(QStringLiteral("IconsetMenubar")), 12);
    EXPECT_EQ(defaultInt(QStringLiteral("IconsetDock")), 0);
    EXPECT_EQ(defaultInt(QStringLiteral("SSDCheckInterval")), 60);
    EXPECT_EQ(defaultInt(QStringLiteral("ThresholdWarning")), 50);
    EXPECT_EQ(defaultInt(QStringLiteral("ThresholdError")), 30);
    EXPECT_EQ(defaultInt(QStringLiteral("DXVisibilityManagerValue")), 1);
    EXPECT_EQ(defaultInt(QStringLiteral("CheckAllDisks")), 0);
    // Empty, not absent, on a fresh installation.
    EXPECT_EQ(defaultString(QStringLiteral("NotificationUseEmailAddress")), QStringLiteral(""));
    EXPECT_FALSE(defaultString(QStringLiteral("WelcomeAssistantFinished")).has_value());

    ASSERT_TRUE(setDefaultInt(QStringLiteral("AllowSSDSubmission"), 2));
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 2);
    ASSERT_TRUE(removeDefault(QStringLiteral("AllowSSDSubmission")));
    EXPECT_EQ(defaultInt(QStringLiteral("AllowSSDSubmission")), 1);
    EXPECT_TRUE(SettingsStore::shared().keys().isEmpty()) << "fallbacks must never be stored";
}

TEST_F(DefaultsTest, IntegerReadsConvertWhatTheyCan) {
    const QString key = QStringLiteral("n");
    const QList<QPair<QVariant, qint64>> cases = {
        {QStringLiteral("42"), 42},
        {QStringLiteral("  -7 apples"), -7},
        {QStringLiteral("12a"), 12},
        {QStringLiteral("abc"), 0},
        {QStringLiteral(""), 0},
        {QStringLiteral("99999999999999999999"), std::numeric_limits<qint64>::max()},
        {QStringLiteral("-99999999999999999999"), std::numeric_limits<qint64>::min()},
        {2.9, 2},
        {-2.9, -2},
        {1e30, std::numeric_limits<qint64>::max()},
        {true, 1},
        {QDateTime::currentDateTimeUtc(), 0},
        {QVariantList{1}, 0},
    };
    for (const auto& [stored, expected] : cases) {
        ASSERT_TRUE(setDefaultObject(key, stored));
        EXPECT_EQ(defaultInt(key), expected) << stored.toString().toStdString();
    }
    EXPECT_EQ(defaultInt(QStringLiteral("absent")), 0);
    ASSERT_TRUE(setDefaultInt(key, std::numeric_limits<qint64>::min()));
    EXPECT_EQ(defaultInt(key), std::numeric_limits<qint64>::min());
}

TEST_F(DefaultsTest, TextReadsAndAbsentTexts) {
    const QString key = QStringLiteral("s");
    ASSERT_TRUE(setDefaultInt(key, 1234));
    EXPECT_EQ(defaultString(key), QStringLiteral("1234"));
    ASSERT_TRUE(setDefaultFloat(key, 1.5f));
    EXPECT_EQ(defaultString(key), QStringLiteral("1.5"));
    ASSERT_TRUE(setDefaultArray(key, QVariantList{QStringLiteral("a")}));
    EXPECT_FALSE(defaultString(key).has_value());
    ASSERT_TRUE(setDefaultString(key, QStringLiteral("text")));
    EXPECT_EQ(defaultString(key), QStringLiteral("text"));
    ASSERT_TRUE(setDefaultString(key, std::nullopt));
    EXPECT_FALSE(SettingsStore::shared().contains(key));
    ASSERT_TRUE(setDefaultString(key, QString()));
    EXPECT_EQ(defaultString(key), QStringLiteral("")) << "a null text is stored as empty";
}

TEST_F(DefaultsTest, ContainerUrlAndFloatReads) {
    const QString key = QStringLiteral("c");
    ASSERT_TRUE(setDefaultDict(key, QVariantMap{{QStringLiteral("x"), 1}}));
    EXPECT_FALSE(defaultArray(key).has_value());
    EXPECT_EQ(defaultDict(key)->value(QStringLiteral("x")).toInt(), 1);
    ASSERT_TRUE(setDefaultArray(key, QVariantList{1, QStringLiteral("two")}));
    EXPECT_FALSE(defaultDict(key).has_value());
    EXPECT_EQ(defaultArray(key)->size(), 2);
    ASSERT_TRUE(setDefaultArray(key, std::nullopt));
    EXPECT_FALSE(defaultObject(key).isValid());

    const QUrl url(QStringLiteral("https://example.org/path"));
    ASSERT_TRUE(setDefaultURL(key, url));
    EXPECT_EQ(defaultURL(key), url);
    ASSERT_TRUE(setDefaultString(key, QStringLiteral("~/reports")));
    EXPECT_EQ(defaultURL(key), QUrl::fromLocalFile(home.path() + QStringLiteral("/reports")));
    ASSERT_TRUE(setDefaultString(key, QStringLiteral("not a url")));
    EXPECT_FALSE(defaultURL(key).has_value());

    EXPECT_EQ(defaultFloat(QStringLiteral("absent")), 0.0f);
    ASSERT_TRUE(setDefaultString(key, QStringLiteral("2.5e1 units")));
    EXPECT_EQ(defaultFloat(key), 25.0f);
    ASSERT_TRUE(setDefaultInt(key, 3));
    EXPECT_EQ(defaultFloat(key), 3.0f);
    EXPECT_FALSE(setDefaultFloat(key, std::numeric_limits<float>::infinity()));
    EXPECT_EQ(defaultInt(key), 3) << "a rejected write keeps the old value";
    EXPECT_TRUE(synchronize());
}

TEST_F(DefaultsTest, ProcessWideLoggingWritesItsRingsIntoTheStore) {
    log_message(6, QStringLiteral("Info: ring entry"));
    log_to_defaults(QStringLiteral("to defaults"));
    const QVariantMap stored = SettingsStore::shared().storedValues();
    bool levelRing = false;
    bool defaultsRing = false;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        levelRing |= it.key().startsWith(QLatin1String("wendlelib_asl_lev6_pos")) &&
                     it.value().toString().endsWith(QLatin1String("message: Info: ring entry"));
        defaultsRing |= it.key().startsWith(QLatin1String("wendlelib_logtoprefs_pos")) &&
                        it.value().toString().endsWith(QLatin1String("message: to defaults"));
    }
    EXPECT_TRUE(levelRing);
    EXPECT_TRUE(defaultsRing);
}

}  // namespace

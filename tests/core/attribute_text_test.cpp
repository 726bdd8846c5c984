// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/attribute_text.h"
#include "core/ssd.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <limits>

namespace {

qint32 current(const AttributeTable& table, int id) {
    return AttributeRecord::read32(table.at(id).currentValue);
}

}  // namespace

TEST(AttributeText, ReadsTheColumnsOfAnAttributeLine) {
    const AttributeTable table = SSD::getAttributesFromSMTString(
        u"177 Wear_Leveling_Count 0x0013 099 099 000 Pre-fail Always - 12");
    ASSERT_EQ(table.size(), 1u);
    const AttributeRecord& r = table.at(177);
    EXPECT_EQ(AttributeRecord::read32(r.currentValue), 99);
    EXPECT_EQ(AttributeRecord::read32(r.worstValue), 99);
    EXPECT_EQ(AttributeRecord::read32(r.threshold), 0);
    EXPECT_EQ(AttributeRecord::read32(r.rawValue), 12);
    EXPECT_EQ(AttributeRecord::read32(r.isPrefail), 1);
    EXPECT_EQ(AttributeRecord::read32(r.isOnline), 1);
}

TEST(AttributeText, IgnoresLinesThatAreNotAttributes) {
    const AttributeTable table = SSD::getAttributesFromSMTString(
        u"ID# ATTRIBUTE_NAME          FLAG     VALUE WORST THRESH TYPE      UPDATED  WHEN_FAILED "
        u"RAW_VALUE\n"
        "  0 Zero_Id                 0x0032   100   100   000    Old_age   Always       -       0\n"
        " -5 Negative_Id             0x0032   100   100   000    Old_age   Always       -       0\n"
        "  9 Too_Few_Fields          0x0032   100   100   000    Old_age   Always\n"
        "  9\tTabs\t0x0032\t100\t100\t000\tOld_age\tAlways\t-\t0\n"
        "=== START OF READ SMART DATA SECTION ===\n"
        "\n"
        " 12 Power_Cycle_Count       0x0032   098   098   000    Old_age   Offline      -       "
        "1096\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(current(table, 12), 98);
    // Only "Always" marks an online attribute, only "Pre-fail" a pre-failure one.
    EXPECT_EQ(AttributeRecord::read32(table.at(12).isOnline), 0);
    EXPECT_EQ(AttributeRecord::read32(table.at(12).isPrefail), 0);
}

TEST(AttributeText, ReadsNumbersByTheLeadingDigitsRule) {
    const AttributeTable table = SSD::getAttributesFromSMTString(
        u"190 Airflow_Temperature_Cel 0x0032 060 043 abc Old_age Always - 40 (Min/Max 20/50)\n"
        "241 Total_LBAs_Written 0x0032 099 099 000 Old_age Always - 99999999999\n"
        "242 Total_LBAs_Read 0x0032 -99999999999 099 000 Old_age Always - -7x\n"
        "243 Plus_Sign 0x0032 +12 099 000 Old_age Always - 2147483647\n");
    EXPECT_EQ(AttributeRecord::read32(table.at(190).rawValue), 40);
    EXPECT_EQ(AttributeRecord::read32(table.at(190).threshold), 0);
    EXPECT_EQ(AttributeRecord::read32(table.at(241).rawValue), std::numeric_limits<qint32>::max());
    EXPECT_EQ(current(table, 242), std::numeric_limits<qint32>::min());
    EXPECT_EQ(AttributeRecord::read32(table.at(242).rawValue), -7);
    EXPECT_EQ(current(table, 243), 12);
    EXPECT_EQ(AttributeRecord::read32(table.at(243).rawValue), std::numeric_limits<qint32>::max());
}

TEST(AttributeText, EveryNewlineKindEndsALineAndBlankRunsAreOneSeparator) {
    const QString line5 = QStringLiteral("5 R 0x0033 100     100 010 Pre-fail Always - 0");
    const QString line9 =
        QStringLiteral("  9    Power_On_Hours 0x0032 097 097 000 Old_age Always - 1234   ");
    for (const QString& separator :
         {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r"),
          QString(QChar(0x2028)), QString(QChar(0x2029)), QString(QChar(0x85)),
          QStringLiteral("\f")}) {
        const AttributeTable table = SSD::getAttributesFromSMTString(line5 + separator + line9);
        ASSERT_EQ(table.size(), 2u) << "separator U+" << int(separator.at(0).unicode());
        EXPECT_EQ(current(table, 5), 100);
        EXPECT_EQ(AttributeRecord::read32(table.at(9).rawValue), 1234);
    }
}

TEST(AttributeText, ALaterLineReplacesAnEarlierOneWithTheSameId) {
    const AttributeTable table = SSD::getAttributesFromSMTString(
        u"5 A 0x0033 100 100 010 Pre-fail Always - 0\n5 B 0x0033 090 090 010 Pre-fail Always - "
        u"3\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(current(table, 5), 90);
}

TEST(AttributeText, SurvivesHostileInput) {
    EXPECT_TRUE(SSD::getAttributesFromSMTString(u"").empty());
    EXPECT_TRUE(SSD::getAttributesFromSMTString(QString(1 << 20, QLatin1Char(' '))).empty());

    // One huge line of fields: parsed once, without quadratic blank collapsing.
    QString huge = QStringLiteral("7 X 0x0 1 2 3 Pre-fail Always - 4 ");
    huge += QString(4 << 20, QLatin1Char(' '));
    huge += QStringLiteral("tail");
    EXPECT_EQ(SSD::getAttributesFromSMTString(huge).size(), 1u);

    QRandomGenerator random(1234);
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int i = 0; i < 400; ++i) {
            static const char16_t kAlphabet[] = u"0123456789 -+\n\r\tPre-failAlways\u2028\uFFFD\0";
            text += QChar(kAlphabet[random.bounded(int(std::size(kAlphabet)))]);
        }
        for (const auto& [id, record] : SSD::getAttributesFromSMTString(text)) {
            EXPECT_GT(id, 0);
            EXPECT_TRUE(record.currentValue.has_value());
        }
    }
}

TEST(AttributeText, LiteralRenderingIsOrderedByIdAndKey) {
    AttributeTable table = SSD::getAttributesFromSMTString(
        u"173 W 0x0032 098 098 000 Old_age Always - 5\n"
        "10 S 0x0032 100 100 000 Old_age Offline - 0\n");
    AttributeRecord sparse;
    sparse.isOnline = AttributeNumber::fromSigned(1);
    sparse.currentValue = AttributeNumber::fromUnsigned(18446744073709551615ULL);
    table[905] = sparse;
    EXPECT_EQ(
        literalString(table),
        QStringLiteral(
            "@{@(10) : @{@\"currentValue\" : @(100), @\"worstValue\" : @(100), @\"rawValue\" : "
            "@(0), @\"threshold\" : @(0), @\"isPrefail\" : @(0), @\"isOnline\" : @(0)}, "
            "@(173) : @{@\"currentValue\" : @(98), @\"worstValue\" : @(98), @\"rawValue\" : "
            "@(5), @\"threshold\" : @(0), @\"isPrefail\" : @(0), @\"isOnline\" : @(1)}, "
            "@(905) : @{@\"currentValue\" : @(18446744073709551615), @\"isOnline\" : @(1)}}"));
    EXPECT_EQ(literalString(std::optional<AttributeTable>()), QStringLiteral("(null)"));
    EXPECT_EQ(literalString(AttributeTable{}), QStringLiteral("@{}"));
}

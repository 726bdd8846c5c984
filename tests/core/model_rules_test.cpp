// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model_rules.h"

#include <gtest/gtest.h>

using namespace model_rules;

namespace {

struct MaximumCase {
    const char* rule;
    int id;
    qint32 value;
    qint32 threshold;
    const char16_t* model;
    const char16_t* revision;
    bool knownHardDisk;
    int expected;
    bool unexpected;
};

}  // namespace

TEST(ModelRules, AssumedMaximumFirstMatchingRuleDecides) {
    const MaximumCase cases[] = {
        {"1", 5, 100, 1, u"WDC AC28400R", u"", false, 200, false},
        {"1 needs T 1", 5, 100, 2, u"WDC AC28400R", u"", false, 100, false},
        {"2", 5, 252, 10, u"SAMSUNG HD103SJ", u"", true, 252, false},
        {"2 needs id 5", 9, 100, 10, u"SAMSUNG HD103SJ", u"", true, 100, false},
        {"3", 5, 253, 10, u"SAMSUNG HD252KJ", u"", false, 253, false},
        {"4 TS064E", 173, 150, 100, u"APPLE SSD TS064E", u"", false, 200, false},
        {"4 TS128E", 173, 150, 100, u"APPLE SSD TS128E", u"", false, 200, false},
        {"4 TS256E", 173, 150, 100, u"APPLE SSD TS256E", u"", false, 200, false},
        {"5 Neutron", 5, 100, 36, u"Corsair Neutron SSD", u"", false, 253, false},
        {"5 Neutron GTX", 5, 100, 36, u"Corsair Neutron GTX SSD", u"", false, 253, false},
        {"5 HFS", 5, 100, 36, u"HFS256G3AMNB", u"", false, 253, false},
        {"6", 5, 100, 63, u"Maxtor 92040U6", u"", false, 253, false},
        {"7 THNSN", 173, 200, 0, u"TOSHIBA THNSNJ128GCSU", u"", false, 200, false},
        {"7 Q300", 173, 200, 0, u"TOSHIBA Q300", u"", false, 200, false},
        {"7 Q200 EX", 173, 200, 0, u"Q200 EX", u"", false, 200, false},
        {"7 TR", 173, 200, 0, u"TOSHIBA-TR200", u"", false, 200, false},
        {"7 TL", 173, 200, 0, u"TOSHIBA-TL100", u"", false, 200, false},
        {"7 TRION", 173, 200, 0, u"OCZ-TRION100", u"", false, 200, false},
        {"7 Q-90", 173, 200, 0, u"Q-90", u"", false, 200, false},
        {"7 Q-180", 173, 200, 0, u"Q-180", u"", false, 200, false},
        {"7 Q-360", 173, 200, 0, u"Q-360", u"", false, 200, false},
        {"7 P4-", 173, 200, 0, u"P4-120", u"", false, 200, false},
        {"7 P3-", 173, 200, 0, u"P3-128", u"", false, 200, false},
        {"7 Galaxy", 173, 200, 0, u"Galaxy GX", u"", false, 200, false},
        {"7 TS+GSSD340", 173, 200, 0, u"TS128GSSD340", u"", false, 200, false},
        {"7 TS without GSSD340", 173, 150, 0, u"TS128GSSD230", u"", false, 200, true},
        {"8", 231, 100, 0, u"HFS128G39TND", u"", false, 253, false},
        {"9", 231, 100, 0, u"Corsair Neutron GTX SSD", u"M311", false, 253, false},
        {"9 needs revision M3", 231, 100, 0, u"Corsair Neutron GTX SSD", u"X311", false, 100,
         false},
        {"10 MZMTE", 233, 199, 0, u"SAMSUNG MZMTE256", u"", false, 200, false},
        {"10 MZMPC", 233, 199, 0, u"SAMSUNG MZMPC128", u"", false, 200, false},
        {"10 MZ7TD", 233, 199, 0, u"SAMSUNG MZ7TD256", u"", false, 200, false},
        {"10 MZ7TE", 233, 199, 0, u"SAMSUNG MZ7TE512", u"", false, 200, false},
        {"10 is case-sensitive", 233, 99, 0, u"samsung MZ7TE512", u"", false, 100, false},
        {"11", 231, 100, 10, u"Unknown", u"", false, 100, false},
        {"11 negative value", 231, -5, 10, u"Unknown", u"", false, 100, false},
        {"12 low end", 231, 101, 100, u"Unknown", u"", false, 200, false},
        {"12 high end", 231, 200, 150, u"Unknown", u"", false, 200, false},
        {"13 above 200", 231, 201, 100, u"Unknown", u"", false, 200, true},
        {"13 above 100 with T below 100", 231, 150, 99, u"Unknown", u"", false, 200, true},
    };
    for (const MaximumCase& c : cases) {
        const AssumedMaximum m =
            assumedMaximum(c.id, c.value, c.threshold, c.model, c.revision, c.knownHardDisk);
        EXPECT_EQ(m.value, c.expected) << "rule " << c.rule;
        EXPECT_EQ(m.unexpected, c.unexpected) << "rule " << c.rule;
    }
}

TEST(ModelRules, ReallocationAndWearIdsByModel) {
    struct {
        const char16_t* model;
        int r;
        int w;
    } const cases[] = {
        {u"KINGSTON SHPM2280P2H240G", kDisabledId, 177},
        {u"kingston shpm2280p2", 5, kDisabledId},  // "contains" is case-sensitive
        {u"KINGSTON SA400S37240G", 5, kDisabledId},
        {u"Samsung SSD 850 EVO 500GB", 5, 177},
        {u"SAMSUNG SSD 850", 5, 173},  // prefix test is case-sensitive
        {u"ADATA SP550", 5, 177},
        {u"ADATA-SP550", 5, 173},
        {u"Crucial_CT256MX100SSD1", 5, 173},
        {u"", 5, 173},
    };
    for (const auto& c : cases) {
        const WearIds ids = wearIds(c.model);
        EXPECT_EQ(ids.reallocation, c.r) << QString::fromUtf16(c.model).toStdString();
        EXPECT_EQ(ids.wear, c.w) << QString::fromUtf16(c.model).toStdString();
    }
}

TEST(ModelRules, MicronFamilyNeedsEveryStringOfOneRow) {
    for (const char16_t* model :
         {u"Micron_M500_MTFDDAK240MAV", u"Crucial_CT256MX100SSD1", u"Crucial_CT250MX200SSD1",
          u"Crucial_CT240M500SSD1", u"Crucial_CT256M550SSD1", u"Micron_M600_MTFDDAV256MBF",
          u"Micron_M500DC_MTFDDAK800MBB", u"MICRON_M510DC_MTFDDAK960MBP", u"MTFDDAV256MAZ M510",
          u"M550 MTFDDAK256MAY"}) {
        EXPECT_TRUE(isMicronFamily(model)) << QString::fromUtf16(model).toStdString();
    }
    for (const char16_t* model :
         {u"Crucial_CT525MX300SSD1", u"CT256MX100SSD1", u"Micron_M600_MTFDDAV256",
          u"MTFDDAV256 M510", u"Micron_1100_MTFDDAK256TBN"}) {
        EXPECT_FALSE(isMicronFamily(model)) << QString::fromUtf16(model).toStdString();
    }
}

TEST(ModelRules, ModelListsUsePrefixOrContainsTests) {
    EXPECT_EQ(knownHardDiskMatches(u"SAMSUNG HD103SJ"), 1);
    EXPECT_EQ(knownHardDiskMatches(u"ST320LM001 HN-M320MBB"), 1);
    EXPECT_EQ(knownHardDiskMatches(u"APPLE HDD ST1000LM024 Q"), 1);
    EXPECT_EQ(knownHardDiskMatches(u"X SAMSUNG HD103SJ"), 0);
    EXPECT_EQ(knownHardDiskMatches(u"SAMSUNG HD204UI"), 0);

    EXPECT_TRUE(ignoresAttribute226(u"INTEL SSDSA2MH080G1GC"));
    EXPECT_FALSE(ignoresAttribute226(u"INTEL SSDSA2M080G2GC"));

    EXPECT_TRUE(isReportedOnce(u"APPLE SSD TS256E"));
    EXPECT_TRUE(isReportedOnce(u"APPLE SSD TS512A 2"));
    EXPECT_FALSE(isReportedOnce(u"APPLE SSD TS128E"));
    EXPECT_FALSE(isReportedOnce(u"APPLE SSD SM0256G"));

    const WearIds micron{5, 173};
    EXPECT_EQ(displayName(173, micron, true), QStringLiteral("Ave_Block-Erase_Count"));
    EXPECT_EQ(displayName(173, micron, false), QStringLiteral("Wear_Levelling_Count"));
    EXPECT_EQ(displayName(5, micron, false), QStringLiteral("Reallocated_Sector_Count"));
    EXPECT_EQ(displayName(202, micron, false), QStringLiteral("Perc_Rated_Life_Used"));
    EXPECT_EQ(displayName(230, micron, false), QStringLiteral("Life_Curve_Status"));
    EXPECT_EQ(displayName(226, micron, false), QStringLiteral("Workld_Media_Wear_Ind"));
    EXPECT_TRUE(displayName(9, micron, false).isEmpty());
}

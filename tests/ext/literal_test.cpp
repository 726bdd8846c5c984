// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/literal.h"

#include <gtest/gtest.h>

TEST(Literal, RendersScalarsListsAndDictionaries) {
    EXPECT_EQ(literalString(QVariant(QStringLiteral("abc"))), QStringLiteral("@\"abc\""));
    EXPECT_EQ(literalString(QVariant(42)), QStringLiteral("@(42)"));
    EXPECT_EQ(literalString(QVariant(-7LL)), QStringLiteral("@(-7)"));
    EXPECT_EQ(literalString(QVariant(quint64(18446744073709551615ULL))),
              QStringLiteral("@(18446744073709551615)"));
    EXPECT_EQ(literalString(QVariant(true)), QStringLiteral("@(1)"));
    EXPECT_EQ(literalString(QVariant(1.5)), QStringLiteral("@(1.5)"));
    EXPECT_EQ(literalString(QVariant(QVariantList{})), QStringLiteral("@[]"));
    EXPECT_EQ(literalString(QVariant(QVariantMap{})), QStringLiteral("@{}"));

    const QVariantList nested{1, QStringLiteral("x"), QVariantList{2, 3},
                              QVariantMap{{QStringLiteral("k"), QVariantList{}}}};
    EXPECT_EQ(literalString(QVariant(nested)),
              QStringLiteral("@[@(1), @\"x\", @[@(2), @(3)], @{@\"k\" : @[]}]"));

    // Dictionary keys come out sorted, so a report is reproducible.
    const QVariantMap map{{QStringLiteral("b"), 2}, {QStringLiteral("a"), QStringLiteral("one")}};
    EXPECT_EQ(literalString(QVariant(map)), QStringLiteral("@{@\"a\" : @\"one\", @\"b\" : @(2)}"));
}

TEST(Literal, UnsupportedObjectsNameThemselves) {
    const QString text = literalString(QVariant(QByteArray("\x01\x02", 2)));
    EXPECT_TRUE(text.startsWith(QStringLiteral("-unsupportedLiteralObject: ")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1Char('-')));
}

TEST(Literal, ObjectTextAndDescription) {
    EXPECT_EQ(objectText(QVariant()), QStringLiteral("(null)"));
    EXPECT_EQ(objectText(QVariant(QString())), QStringLiteral("(null)"));
    EXPECT_EQ(objectText(QVariant(QStringLiteral(""))), QString());
    EXPECT_EQ(objectText(QVariant(12)), QStringLiteral("12"));

    const QVariantMap description{{QStringLiteral("DAMediaName"), QStringLiteral("Disk \"A\"")},
                                  {QStringLiteral("isSSD"), true}};
    EXPECT_EQ(descriptionText(QVariant(description)),
              QStringLiteral("{\n    DAMediaName = \"Disk \\\"A\\\"\";\n    isSSD = 1;\n}"));
    EXPECT_EQ(descriptionText(QVariant()), QStringLiteral("(null)"));
}

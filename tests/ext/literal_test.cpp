#include "ext/literal.h"

#include <gtest/gtest.h>

TEST(LiteralTest, RendersNestedValuesSourceLike) {
    const QVariantMap inner{{QStringLiteral("b"), QVariantList{1, QStringLiteral("x")}},
                            {QStringLiteral("a"), QVariantMap{}}};
    const QVariantList value{QStringLiteral("t"), 2.5, inner, QVariantList{}};
    EXPECT_EQ(literalString(value),
              QStringLiteral(R"(@[@"t", @(2.5), @{@"a" : @{}, @"b" : @[@(1), @"x"]}, @[]])"));
    EXPECT_EQ(literalString(QVariant::fromValue(QByteArray("ab"))),
              QStringLiteral("-unsupportedLiteralObject: ab-"));
}

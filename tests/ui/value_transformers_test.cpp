// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/value_transformers.h"

#include "widget_test_support.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace {

int transform(const char* name, const QVariant& value) {
    const ValueTransformer* transformer = ValueTransformer::named(QLatin1String(name));
    EXPECT_NE(transformer, nullptr) << name;
    return transformer != nullptr ? transformer->transformedValue(value) : -1;
}

const QVariant kNil;

TEST(ValueTransformers, EmailAddresses) {
    const QVariant one(QStringLiteral("anna@example.org"));
    const QVariant two(QStringLiteral("anna@example.org\nbob@example.net"));
    const QVariant badLine(QStringLiteral("anna@example.org\nbob-at-example.net"));
    const QVariant noDot(QStringLiteral("anna@localhost"));
    EXPECT_EQ(transform("ValidEmailValueTransformer", one), 1);
    EXPECT_EQ(transform("ValidEmailValueTransformer", two), 1);
    EXPECT_EQ(transform("ValidEmailValueTransformer", badLine), 0);
    EXPECT_EQ(transform("ValidEmailValueTransformer", noDot), 0);
    EXPECT_EQ(transform("ValidEmailValueTransformer", kNil), 0);
    EXPECT_EQ(transform("ValidEmailValueTransformer", QVariant(5)), 0);
    EXPECT_EQ(transform("InvalidEmailValueTransformer", one), 0);
    EXPECT_EQ(transform("InvalidEmailValueTransformer", badLine), 1);
    EXPECT_EQ(transform("InvalidEmailValueTransformer", kNil), 1);
    EXPECT_EQ(transform("InvalidEmailValueTransformer", QVariant(5)), 1);
}

TEST(ValueTransformers, ListsByTheirCountAndEverythingElseIsNeither) {
    const QVariant empty = QVariantList{};
    const QVariant filled = QVariantList{1, 2};
    for (const QVariant& none :
         {kNil, QVariant(0), QVariant(QString()), QVariant(QStringLiteral("x"))}) {
        EXPECT_EQ(transform("EmptyArrayValueTransformer", none), 0);
        EXPECT_EQ(transform("NonemptyArrayValueTransformer", none), 0);
    }
    EXPECT_EQ(transform("EmptyArrayValueTransformer", empty), 1);
    EXPECT_EQ(transform("NonemptyArrayValueTransformer", empty), 0);
    EXPECT_EQ(transform("EmptyArrayValueTransformer", filled), 0);
    EXPECT_EQ(transform("NonemptyArrayValueTransformer", filled), 1);
    EXPECT_EQ(transform("NonemptyArrayValueTransformer", QStringList{QStringLiteral("a")}), 1);
    EXPECT_EQ(transform("EmptyArrayValueTransformer", QVariantMap{}), 1);
}

TEST(ValueTransformers, ParityKeepsTheSignOfTheRemainder) {
    EXPECT_EQ(transform("OddValueTransformer", 3), 1);
    EXPECT_EQ(transform("OddValueTransformer", -3), 0);
    EXPECT_EQ(transform("OddValueTransformer", 4), 0);
    EXPECT_EQ(transform("EvenValueTransformer", -2), 1);
    EXPECT_EQ(transform("EvenValueTransformer", -3), 0);
    EXPECT_EQ(transform("EvenValueTransformer", kNil), 1);
    EXPECT_EQ(transform("OddValueTransformer", QStringLiteral("7 days")), 1);
    EXPECT_EQ(transform("BaseValueTransformer", 2), 1);
    EXPECT_EQ(transform("BaseValueTransformer", kNil), 0);
}

TEST(ValueTransformers, TheComparisonFamilyIsResolvedFromItsName) {
    EXPECT_EQ(transform("Largerthan0ValueTransformer", kNil), 0);
    EXPECT_EQ(transform("Largerthan0ValueTransformer", 1), 1);
    EXPECT_EQ(transform("Equalto99ValueTransformer", QStringLiteral("99")), 1);
    EXPECT_EQ(transform("Equalto99ValueTransformer", 98), 0);
    EXPECT_EQ(transform("Smallerthan0ValueTransformer", -1), 1);
    EXPECT_EQ(transform("Smallerthan0ValueTransformer", 0), 0);
    EXPECT_EQ(transform("Differentto99ValueTransformer", 99), 0);
    EXPECT_EQ(transform("Differentto99ValueTransformer", 100), 1);
    EXPECT_EQ(transform("Largerthan25ValueTransformer", 26), 1);
    EXPECT_EQ(transform("Largerthan25ValueTransformer", 25), 0);
    // The unnumbered names compare with 0.
    EXPECT_EQ(transform("SmallerthanValueTransformer", -5), 1);
    EXPECT_EQ(transform("EqualtoValueTransformer", kNil), 1);
    EXPECT_EQ(transform("DifferenttoValueTransformer", 3), 1);
    EXPECT_EQ(transform("LargerthanValueTransformer", 0), 0);
    // Every one of the 400 names exists.
    for (const char* word : {"Smallerthan", "Largerthan", "Equalto", "Differentto"}) {
        for (int n = 0; n < 100; ++n) {
            const QString name =
                QStringLiteral("%1%2ValueTransformer").arg(QLatin1String(word)).arg(n);
            EXPECT_NE(ValueTransformer::named(name), nullptr) << name.toStdString();
        }
    }
}

TEST(ValueTransformers, InputsThatAreNoNumbers) {
    EXPECT_EQ(ValueTransformer::integerValue(QStringLiteral("abc")), 0);
    EXPECT_EQ(ValueTransformer::integerValue(QStringLiteral("  -12kg")), -12);
    EXPECT_EQ(ValueTransformer::integerValue(QStringLiteral("+7")), 7);
    EXPECT_EQ(ValueTransformer::integerValue(QStringLiteral("99999999999999999999")),
              std::numeric_limits<qint32>::max());
    EXPECT_EQ(ValueTransformer::integerValue(QStringLiteral("-99999999999999999999")),
              std::numeric_limits<qint32>::min());
    EXPECT_EQ(ValueTransformer::integerValue(2.9), 2);
    EXPECT_EQ(ValueTransformer::integerValue(-2.9), -2);
    EXPECT_EQ(ValueTransformer::integerValue(1e300), std::numeric_limits<qint32>::max());
    EXPECT_EQ(ValueTransformer::integerValue(qQNaN()), 0);
    EXPECT_EQ(ValueTransformer::integerValue(true), 1);
    EXPECT_EQ(ValueTransformer::integerValue(QVariantList{1}), 0);
    EXPECT_EQ(transform("Largerthan0ValueTransformer", QStringLiteral("abc")), 0);
    EXPECT_EQ(transform("Equalto0ValueTransformer", QVariantList{1, 2}), 1);
}

TEST(ValueTransformers, UnknownNamesAreLoggedOnceAndTreatedAsAbsent) {
    for (const char* name : {"Largerthan100ValueTransformer", "Largerthan07ValueTransformer",
                             "Largerthan-1ValueTransformer", "largerthan5ValueTransformer",
                             "Largerthan5", "ValidEmail", ""}) {
        EXPECT_EQ(ValueTransformer::named(QLatin1String(name)), nullptr) << name;
    }
    const QString line =
        QStringLiteral("there is no value transformer named NoSuchValueTransformer");
    EXPECT_FALSE(ValueTransformer::transformedBool(QStringLiteral("NoSuchValueTransformer"), 0));
    EXPECT_TRUE(ValueTransformer::transformedBool(QStringLiteral("NoSuchValueTransformer"), 4));
    EXPECT_EQ(loggedText().count(line), 1);
    EXPECT_TRUE(
        ValueTransformer::transformedBool(QStringLiteral("Largerthan3ValueTransformer"), 4));
    EXPECT_FALSE(
        ValueTransformer::transformedBool(QStringLiteral("Largerthan3ValueTransformer"), 3));
}

}  // namespace

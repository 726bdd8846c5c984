// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widget_extensions.h"

#include "ui/on_off_switch.h"
#include "widget_test_support.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace WidgetExtensions;

TEST(WidgetExtensions, SearchesTheViewTreeDepthFirst) {
    QWidget root;
    auto* box = new QWidget(&root);
    auto* inner = new OnOffSwitch(box);
    auto* second = new OnOffSwitch(&root);
    auto* label = new QLabel(&root);
    inner->setProperty("tag", 66);
    label->setProperty("tag", 66);

    EXPECT_EQ(viewWithClass<OnOffSwitch>(&root), inner);
    EXPECT_EQ(viewWithClass<OnOffSwitch>(second), second);  // itself, not a child
    EXPECT_EQ(viewWithClass<QPushButton>(&root), nullptr);
    EXPECT_EQ(allSubviews(&root), (QList<QWidget*>{&root, box, inner, second, label}));
    EXPECT_EQ(allSubviews(label), QList<QWidget*>{label});
    EXPECT_EQ(viewWithTag(&root, 66), inner);
    EXPECT_EQ(viewWithTag(&root, 99), nullptr);
}

TEST(WidgetExtensions, ASecondActionBlockReplacesTheFirst) {
    QPushButton button;
    QStringList ran;
    setActionBlock(&button, [&](QObject* sender) {
        ran.append(QStringLiteral("first"));
        EXPECT_EQ(sender, &button);
    });
    setActionBlock(&button, [&](QObject*) { ran.append(QStringLiteral("second")); });
    button.click();
    EXPECT_EQ(ran, QStringList{QStringLiteral("second")});
}

TEST(WidgetExtensions, ResizedImagesAndAnInvalidOne) {
    QImage image(32, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QImage resized = resizedImage(image, QSize(8, 8));
    EXPECT_EQ(resized.size(), QSize(8, 8));
    EXPECT_EQ(resized.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_TRUE(resizedImage(QImage(), QSize(8, 8)).isNull());
    EXPECT_TRUE(loggedText().contains(QStringLiteral("Error: Image To Resize is Invalid")));
}

TEST(WidgetExtensions, FontShrinksUntilTheTextFits) {
    QLabel label(QStringLiteral("A rather long text for a narrow label"));
    QFont font = label.font();
    font.setPointSizeF(12.7);
    label.setFont(font);
    label.resize(2000, 20);
    EXPECT_EQ(adjustFontSize(&label), 12);  // fits: only truncated

    label.setFont(font);
    label.resize(120, 20);
    const int size = adjustFontSize(&label);
    EXPECT_LT(size, 12);
    if (size > kMinimumPointSize) {
        EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(label.text()), 120);
        QFont bigger = label.font();
        bigger.setPointSize(size + 1);
        EXPECT_GT(QFontMetrics(bigger).horizontalAdvance(label.text()), 120);
    }
    label.resize(3, 20);
    EXPECT_EQ(adjustFontSize(&label), kMinimumPointSize);
}

}  // namespace

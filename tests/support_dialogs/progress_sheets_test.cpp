// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/progress_sheets.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QDialog* sheet(QWidget* window, const char* name) {
    return qobject_cast<QDialog*>(window->property(name).value<QObject*>());
}

QLabel* labelOf(QWidget* window, const char* name) {
    return qobject_cast<QLabel*>(window->property(name).value<QObject*>());
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(ProgressSheets, PlainSheetIsWindowModalAndCarriesItsDetail) {
    QWidget window;
    window.show();
    ProgressSheets::setProgressMessage(&window, QStringLiteral("nothing shown"));
    settle();
    EXPECT_FALSE(window.property("WDProgressDetailInfo").isValid());

    ProgressSheets::beginProgress(&window, QStringLiteral("Sending"));
    ProgressSheets::setProgressMessage(&window, QStringLiteral("to relay"));
    // Queued: nothing happens before the main loop runs.
    EXPECT_EQ(sheet(&window, "WDProgressSheet"), nullptr);
    settle();
    QDialog* shown = sheet(&window, "WDProgressSheet");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->windowModality(), Qt::WindowModal);
    EXPECT_EQ(shown->size(), QSize(400, 120));
    EXPECT_EQ(labelOf(&window, "WDProgressDetailInfo")->text(), QStringLiteral("to relay"));
    auto* bar =
        qobject_cast<QProgressBar*>(window.property("WDProgressIndicator").value<QObject*>());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 0);  // busy

    ProgressSheets::endProgress(&window);
    settle();
    EXPECT_FALSE(window.property("WDProgressSheet").value<QObject*>());
    EXPECT_FALSE(window.property("WDProgressDetailInfo").value<QObject*>());
}

TEST(ProgressSheets, BeginAndEndFromAWorkerCloseTheSheetInOrder) {
    QWidget window;
    window.show();
    QThread* worker = QThread::create([&window] {
        ProgressSheets::beginProgress(&window, QStringLiteral("Working"));
        ProgressSheets::endProgress(&window);
    });
    worker->start();
    worker->wait();
    delete worker;
    settle();
    EXPECT_FALSE(window.property("WDProgressSheet").value<QObject*>());
    EXPECT_TRUE(window.findChildren<QDialog*>().isEmpty());
}

TEST(ProgressSheets, KindsAreKeptApartPerWindow) {
    QWidget first;
    QWidget second;
    first.show();
    second.show();
    ProgressSheets::beginProgress(&first, QStringLiteral("Plain"));
    ProgressSheets::beginCountedProgress(&first, QStringLiteral("Counted"));
    ProgressSheets::beginExtendedProgress(&second, QStringLiteral("Extended"));
    ProgressSheets::setCountedProgress(&first, QStringLiteral("half"), 50.4);
    ProgressSheets::setExtendedProgressMessage(&second, QStringLiteral("one"));
    ProgressSheets::setExtendedProgressDetail(&second, QStringLiteral("two"));
    ProgressSheets::endCountedProgress(&second);  // not shown there: nothing
    settle();
    auto* counted =
        qobject_cast<QProgressBar*>(first.property("WDCountedProgressIndicator").value<QObject*>());
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(counted->value(), 50);
    EXPECT_EQ(counted->maximum(), 100);
    EXPECT_EQ(labelOf(&first, "WDCountedProgressDetailInfo")->text(), QStringLiteral("half"));
    EXPECT_EQ(sheet(&second, "WDExtendedProgressSheet")->size(), QSize(500, 150));
    EXPECT_EQ(labelOf(&second, "WDExtendedProgressDetailInfo1")->text(), QStringLiteral("one"));
    EXPECT_EQ(labelOf(&second, "WDExtendedProgressDetailInfo2")->text(), QStringLiteral("two"));

    ProgressSheets::endCountedProgress(&first);
    ProgressSheets::endExtendedProgress(&second, false);
    settle();
    EXPECT_FALSE(first.property("WDCountedProgressSheet").value<QObject*>());
    EXPECT_NE(sheet(&first, "WDProgressSheet"), nullptr);
    EXPECT_FALSE(second.property("WDExtendedProgressSheet").value<QObject*>());
    ProgressSheets::endProgress(&first);
    settle();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include "foundation/logging.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QTemporaryDir* g_root = nullptr;
}

QString testRoot() {
    return g_root->path();
}

QString loggedText() {
    QFile file(testRoot() + QStringLiteral("/test.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int expectWholeTexts(QWidget* root) {
    int texts = 0;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
            EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
                << "cut: " << label->text().toStdString();
            texts += !label->text().isEmpty();
        } else if (auto* wrapped = qobject_cast<QLabel*>(widget)) {
            // A wrapped text is whole when its lines fit the label's height.
            EXPECT_GE(wrapped->height(), wrapped->heightForWidth(wrapped->width()))
                << "cut: " << wrapped->text().toStdString();
            texts += !wrapped->text().isEmpty();
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            EXPECT_GE(box->width(), metrics.horizontalAdvance(box->currentText()) + 24)
                << "cut: " << box->currentText().toStdString();
            ++texts;
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_GE(button->width(), metrics.horizontalAdvance(button->text()) + 8)
                << "cut: " << button->text().toStdString();
            ++texts;
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_GE(group->width(), metrics.horizontalAdvance(group->title()) + 16);
        }
    }
    return texts;
}

// Widgets draw offscreen with a fixed style, and nothing reaches the real
// home folder or the user's session bus.
int main(int argc, char** argv) {
    QTemporaryDir root;
    g_root = &root;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                             "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_DIRS"}) {
        const QString folder = root.path() + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(folder);
        qputenv(name, folder.toLocal8Bit());
    }
    QFile::setPermissions(root.path() + QStringLiteral("/XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#ifdef OSTRIVANE_DESKTOP_SESSION
    // Run inside a private session bus and X server of their own (the test's
    // wrapper starts them); without them the tests skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY") ||
        qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
#else
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(false);
    log_open_file(root.path() + QStringLiteral("/test.log"), 0, 7);
    return RUN_ALL_TESTS();
}

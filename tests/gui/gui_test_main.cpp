// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include "foundation/logging.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

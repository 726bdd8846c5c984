// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_test_support.h"

#include "foundation/logging.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QString g_logPath;
}

QString loggedText() {
    QFile file(g_logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The main of the widget tests: offscreen with a fixed style; the settings
// store and log live in a temporary home.
int main(int argc, char** argv) {
    QTemporaryDir root;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                             "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = root.path() + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(folder);
        qputenv(name, folder.toLocal8Bit());
    }
    QFile::setPermissions(root.path() + QStringLiteral("/XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(false);
    g_logPath = root.path() + QStringLiteral("/test.log");
    log_open_file(g_logPath, 0, 7);
    return RUN_ALL_TESTS();
}

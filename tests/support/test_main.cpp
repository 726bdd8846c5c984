// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include "foundation/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

// Nothing a test does may reach the real home folder, so the folders are
// redirected before any settings or log file is opened.
int main(int argc, char** argv) {
    QTemporaryDir root;
    g_root = &root;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                             "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = root.path() + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(folder);
        qputenv(name, folder.toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    log_open_file(root.path() + QStringLiteral("/test.log"), 0, 7);
    return RUN_ALL_TESTS();
}

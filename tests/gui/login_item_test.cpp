// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/login_item_manager.h"

#include "gui_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

class LoginItems : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile::remove(manager.userEntryPath());
        QFile::remove(systemEntry);
    }
    void TearDown() override { SetUp(); }

    LoginItemManager manager{QStringLiteral("ostrivane-test"),
                             QStringLiteral("/opt/Ostrivane Build/bin/ostrivane")};
    const QString systemEntry = qEnvironmentVariable("XDG_CONFIG_DIRS") +
                                QStringLiteral("/autostart/ostrivane-test.desktop");
};

TEST_F(LoginItems, OnWritesAnEntryAndOffDeletesIt) {
    EXPECT_EQ(manager.userEntryPath(), qEnvironmentVariable("XDG_CONFIG_HOME") +
                                           QStringLiteral("/autostart/ostrivane-test.desktop"));
    EXPECT_FALSE(manager.launchesAtLogin());

    manager.setLaunchesAtLogin(true);
    EXPECT_TRUE(manager.launchesAtLogin());
    const QString entry = readAll(manager.userEntryPath());
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    // A path with a blank is one argument of the command.
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/Ostrivane Build/bin/ostrivane\"\n")))
        << entry.toStdString();
    EXPECT_FALSE(entry.contains(QStringLiteral("Hidden")));

    manager.setLaunchesAtLogin(false);
    EXPECT_FALSE(manager.launchesAtLogin());
    EXPECT_FALSE(QFileInfo::exists(manager.userEntryPath()));
}

TEST_F(LoginItems, TheRealStateIsReadAndTheSameStateWritesNothing) {
    // An entry the user edited stays as it is when nothing changes.
    writeFile(manager.userEntryPath(), "[Desktop Entry]\nType=Application\nExec=mine\n");
    EXPECT_TRUE(manager.launchesAtLogin());
    manager.setLaunchesAtLogin(true);
    EXPECT_EQ(readAll(manager.userEntryPath()),
              QStringLiteral("[Desktop Entry]\nType=Application\nExec=mine\n"));

    // Hidden in another group does not count.
    writeFile(manager.userEntryPath(),
              "[Desktop Action x]\nHidden=true\n[Desktop Entry]\nHidden = false\n");
    EXPECT_TRUE(manager.launchesAtLogin());
    writeFile(manager.userEntryPath(), "[Desktop Entry]\nType=Application\nHidden=true\n");
    EXPECT_FALSE(manager.launchesAtLogin());
}

TEST_F(LoginItems, ASystemEntryIsHiddenNotDeleted) {
    writeFile(systemEntry, "[Desktop Entry]\nType=Application\nExec=ostrivane\n");
    EXPECT_TRUE(manager.launchesAtLogin());

    manager.setLaunchesAtLogin(false);
    EXPECT_FALSE(manager.launchesAtLogin());
    EXPECT_TRUE(QFileInfo::exists(systemEntry));
    EXPECT_TRUE(readAll(manager.userEntryPath()).contains(QStringLiteral("\nHidden=true\n")));

    // On again over the hidden one: the user's entry is a real one again.
    manager.setLaunchesAtLogin(true);
    EXPECT_TRUE(manager.launchesAtLogin());
    EXPECT_FALSE(readAll(manager.userEntryPath()).contains(QStringLiteral("Hidden")));
}

}  // namespace

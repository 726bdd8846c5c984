// SPDX-License-Identifier: GPL-3.0-or-later
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString machine(const char* name) {
    return QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/machines/") + QLatin1String(name);
}

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun cli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(OSTRIVANE_CLI_PATH), args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(DisksCommand, ListsEveryFixtureMachine) {
    const std::pair<const char*, QStringList> machines[] = {
        {"laptop-nvme-luks-lvm", {QStringLiteral("/dev/nvme0n1")}},
        {"desktop-sata-md-usb", {QStringLiteral("/dev/sda"), QStringLiteral("/dev/sdb")}},
        {"btrfs-two-ssd", {QStringLiteral("/dev/sda"), QStringLiteral("/dev/sdb")}},
        {"zfs-two-nvme", {QStringLiteral("/dev/nvme0n1"), QStringLiteral("/dev/nvme1n1")}},
        {"vm-virtio", {QStringLiteral("/dev/vda")}},
        {"dev-root", {QStringLiteral("/dev/mmcblk0")}},
        {"bad-input",
         {QStringLiteral("/dev/sda"), QStringLiteral("/dev/dm-6"), QStringLiteral("/dev/sdb")}},
    };
    for (const auto& [name, nodes] : machines) {
        const CliRun run = cli({QStringLiteral("disks"), QStringLiteral("--json"),
                                QStringLiteral("--machine"), machine(name)});
        EXPECT_EQ(run.status, 0) << name;
        const QJsonArray disks =
            QJsonDocument::fromJson(run.out).object().value(QStringLiteral("disks")).toArray();
        QStringList seen;
        for (const QJsonValue& disk : disks) {
            seen << disk.toObject()
                        .value(QStringLiteral("drive"))
                        .toObject()
                        .value(QStringLiteral("device"))
                        .toString();
        }
        EXPECT_EQ(seen, nodes) << name;
    }
    const CliRun text =
        cli({QStringLiteral("disks"), QStringLiteral("--machine"), machine("desktop-sata-md-usb")});
    EXPECT_TRUE(text.out.contains("disk 0  /dev/sda  Mirror, Syst\xc3\xa8me, /home"));
    EXPECT_TRUE(text.out.contains("model:    Samsung SSD 860 EVO 500GB"));
    EXPECT_TRUE(text.err.isEmpty());
}

TEST(DisksCommand, UsageErrors) {
    EXPECT_EQ(cli({QStringLiteral("disks"), QStringLiteral("extra")}).status, 64);
    EXPECT_EQ(cli({QStringLiteral("disks"), QStringLiteral("--machine"),
                   QStringLiteral("/nonexistent/m")})
                  .status,
              66);
    EXPECT_EQ(cli({QStringLiteral("snapshot-machine")}).status, 64);
    EXPECT_EQ(cli({QStringLiteral("snapshot-machine"), machine("vm-virtio")}).status,
              64);  // not empty
    EXPECT_EQ(cli({QStringLiteral("disks"), QStringLiteral("--help")}).status, 0);
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/sysfs_disks.h"
#include "fake_smart_access.h"
#include "helper/helper_session.h"
#include "page_builders.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

// A fixture machine with an ATA SSD (sda), an ATA disk with a damaged data
// page (sdb) and an NVMe drive reporting a critical warning (nvme0n1).
class SmartCommandTest : public ::testing::Test {
  protected:
    QTemporaryDir machine;

    void put(const QString& relative, const QByteArray& bytes) {
        const QString path = machine.path() + QStringLiteral("/smart/") + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray raw(const SmartPage& page) {
        return QByteArray(reinterpret_cast<const char*>(page.data()), qsizetype(page.size()));
    }

    void SetUp() override {
        const SmartPage data = dataPage(
            {{0, {.id = 5, .flags = 0x33, .current = 100, .worst = 100, .raw = 0x060504030201}},
             {1, {.id = 9, .flags = 0x32, .current = 99, .worst = 99, .raw = 1234}}});
        const SmartPage thresholds = thresholdsPage({{0, {5, 36}}});
        put(QStringLiteral("sda/protocol"), "ata\n");
        put(QStringLiteral("sda/status"), "passed\n");
        put(QStringLiteral("sda/data.bin"), raw(data));
        put(QStringLiteral("sda/thresholds.bin"), raw(thresholds));
        SmartPage damaged = data;
        damaged[10] ^= 0x40;
        put(QStringLiteral("sdb/protocol"), "ata\n");
        put(QStringLiteral("sdb/status"), "passed\n");
        put(QStringLiteral("sdb/data.bin"), raw(damaged));
        put(QStringLiteral("sdb/thresholds.bin"), raw(thresholds));
        SmartPage log{};
        log[0] = 0x04;
        log[1] = 0x2C;
        log[2] = 0x01;
        put(QStringLiteral("nvme0n1/protocol"), "nvme\n");
        put(QStringLiteral("nvme0n1/nvme-log.bin"), raw(log));
    }

    std::pair<int, QJsonObject> run(const QString& disk) {
        return runWith({QStringLiteral("--fixture"), machine.path(), disk});
    }
    std::pair<int, QJsonObject> runWith(const QStringList& args) {
        QProcess cli;
        cli.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                  QStringList{QStringLiteral("smart"), QStringLiteral("--json")} + args);
        EXPECT_TRUE(cli.waitForFinished(30000));
        // The drive object, or the error object of a failure.
        const QJsonObject answer = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        return {cli.exitCode(), answer.contains(QStringLiteral("error"))
                                    ? answer
                                    : answer[QStringLiteral("drive")].toObject()};
    }
};

TEST_F(SmartCommandTest, AtaDrive) {
    const auto [status, json] = run(QStringLiteral("/dev/sda"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(json[QStringLiteral("device")].toString(), QStringLiteral("/dev/sda"));
    EXPECT_EQ(json[QStringLiteral("protocol")].toString(), QStringLiteral("ATA"));
    EXPECT_EQ(json[QStringLiteral("smartStatus")].toString(), QStringLiteral("verified"));
    const QJsonArray attributes = json[QStringLiteral("attributes")].toArray();
    ASSERT_EQ(attributes.size(), 2);
    const QJsonObject a5 = attributes[0].toObject();
    EXPECT_EQ(a5[QStringLiteral("id")].toInt(), 5);
    EXPECT_EQ(a5[QStringLiteral("rawValue")].toDouble(), 6618611909121.0);
    EXPECT_EQ(a5[QStringLiteral("threshold")].toInt(), 36);
    EXPECT_EQ(a5[QStringLiteral("isPrefail")], QJsonValue(true));
    EXPECT_EQ(attributes[1].toObject()[QStringLiteral("threshold")].toInt(), 0);
}

TEST_F(SmartCommandTest, DamagedPageNvmeWarningAndMissingDisk) {
    const auto [damagedStatus, damaged] = run(QStringLiteral("sdb"));
    EXPECT_EQ(damagedStatus, 1);
    EXPECT_EQ(damaged[QStringLiteral("smartStatus")].toString(), QStringLiteral("verified"));
    EXPECT_TRUE(damaged[QStringLiteral("attributes")].isNull());

    const auto [nvmeStatus, nvme] = run(QStringLiteral("nvme0n1"));
    EXPECT_EQ(nvmeStatus, 2);
    EXPECT_EQ(nvme[QStringLiteral("smartStatus")].toString(), QStringLiteral("failing"));
    const QJsonArray fields = nvme[QStringLiteral("attributes")].toArray();
    ASSERT_EQ(fields.size(), 15);
    EXPECT_EQ(fields[1].toObject()[QStringLiteral("name")].toString(),
              QStringLiteral("temperature"));
    EXPECT_EQ(fields[1].toObject()[QStringLiteral("currentValue")].toInt(), 27);
}

// The drive's own figures and its power mode, from the recorded pages.
TEST_F(SmartCommandTest, OwnWearFiguresAndPowerMode) {
    SmartPage directory{};
    directory[0] = 1;
    directory[8] = 2;
    directory[9] = 0;
    directory[10] = 7;
    SmartPage seven{};
    seven[0] = 1;
    seven[2] = 7;
    seven[8] = 12;     // percentage used
    seven[15] = 0xC0;  // supported and valid
    put(QStringLiteral("sda/devstat-0.bin"), raw(directory));
    put(QStringLiteral("sda/devstat-7.bin"), raw(seven));
    put(QStringLiteral("sda/power"), "idle\n");

    QProcess cli;
    cli.start(QStringLiteral(OSTRIVANE_CLI_PATH),
              {QStringLiteral("smart"), QStringLiteral("--json"), QStringLiteral("--fixture"),
               machine.path(), QStringLiteral("sda")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QJsonObject answer = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    EXPECT_EQ(answer[QStringLiteral("powerMode")].toString(), QStringLiteral("idle"));
    const QJsonObject wear = answer[QStringLiteral("drive")][QStringLiteral("ownWear")].toObject();
    EXPECT_EQ(wear[QStringLiteral("percentageUsed")].toInt(), 12);
    EXPECT_EQ(wear[QStringLiteral("lifeLeft")].toInt(), 88);
    EXPECT_EQ(wear[QStringLiteral("line")].toString(),
              QStringLiteral("own wear indicator: 12 % used"));

    // An NVMe drive is never asked its power mode.
    const auto [nvmeStatus, nvme] = run(QStringLiteral("nvme0n1"));
    EXPECT_EQ(nvme[QStringLiteral("ownWear")][QStringLiteral("percentageUsed")], QJsonValue(0));
}

// A drive that does not exist is a wrong argument, not a drive without
// S.M.A.R.T.: only a drive that exists can be "not capable".
TEST_F(SmartCommandTest, MissingDiskIsNoInputNotCapableIsUnknown) {
    put(QStringLiteral("sdc/protocol"), "none\n");
    const auto [missingStatus, missing] = run(QStringLiteral("sdq"));
    EXPECT_EQ(missingStatus, 66);
    EXPECT_EQ(missing[QStringLiteral("error")][QStringLiteral("exitStatus")].toInt(), 66);
    const auto [noneStatus, none] = run(QStringLiteral("sdc"));
    EXPECT_EQ(noneStatus, 3);
    EXPECT_EQ(none[QStringLiteral("smartStatus")].toString(), QStringLiteral("notCapable"));

    const auto [machineStatus, machineJson] =
        runWith({QStringLiteral("--machine"), machine.path() + QStringLiteral("/nothing"),
                 QStringLiteral("sda")});
    EXPECT_EQ(machineStatus, 66);
}

// --machine is the same as --fixture, and an explicit --socket is used
// whatever else is given (also as root, where it used to be ignored).
TEST_F(SmartCommandTest, ExplicitSocketWinsOverRecordedPagesAndRoot) {
    const auto [machineStatus, machineJson] =
        runWith({QStringLiteral("--machine"), machine.path(), QStringLiteral("sda")});
    EXPECT_EQ(machineStatus, 0);
    EXPECT_EQ(machineJson[QStringLiteral("smartStatus")].toString(), QStringLiteral("verified"));

    // The helper's disk is found in the recorded machine's sysfs.
    const std::string sys = machine.path().toStdString() + "/sys";
    for (const auto& [file, text] : {std::pair{"/block/sda/dev", "8:0\n"},
                                     {"/block/sda/device/type", "0\n"},
                                     {"/block/sda/device/vendor", "ATA     \n"}}) {
        const std::filesystem::path path = sys + file;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    const std::string socketPath = machine.path().toStdString() + "/smart.sock";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    FakeSmartAccess access;
    access.statusAnswers = {{kIOReturnSuccess, true, true}};  // failing, unlike the recording
    const SysfsDisks sysfs(sys);
    int served = 0;
    std::thread server([&] {
        pollfd waiting{listener, POLLIN, 0};
        while (::poll(&waiting, 1, 20000) == 1) {
            const int connection = ::accept(listener, nullptr, nullptr);
            if (connection < 0) {
                break;
            }
            serveHelperRequest(connection, connection, access, sysfs);
            ::close(connection);
            ++served;
        }
    });
    const auto [status, json] =
        runWith({QStringLiteral("--fixture"), machine.path(), QStringLiteral("--socket"),
                 QString::fromStdString(socketPath), QStringLiteral("sda")});
    ::shutdown(listener, SHUT_RDWR);
    server.join();
    ::close(listener);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(json[QStringLiteral("smartStatus")].toString(), QStringLiteral("failing"));
    EXPECT_EQ(access.statusCalls, 1);
    // Status, data and thresholds over one connection.
    EXPECT_EQ(served, 1);
}

}  // namespace

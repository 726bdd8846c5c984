#include "page_builders.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        QProcess cli;
        cli.start(QStringLiteral(OSTRIVANE_CLI_PATH),
                  {QStringLiteral("smart"), QStringLiteral("--json"), QStringLiteral("--fixture"),
                   machine.path(), disk});
        EXPECT_TRUE(cli.waitForFinished(30000));
        return {cli.exitCode(), QJsonDocument::fromJson(cli.readAllStandardOutput()).object()};
    }
};

TEST_F(SmartCommandTest, AtaDrive) {
    const auto [status, json] = run(QStringLiteral("/dev/sda"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(json[QStringLiteral("disk")].toString(), QStringLiteral("sda"));
    EXPECT_EQ(json[QStringLiteral("protocol")].toString(), QStringLiteral("ATA"));
    EXPECT_EQ(json[QStringLiteral("smartStatus")].toInt(), 2);
    const QJsonArray attributes = json[QStringLiteral("attributes")].toArray();
    ASSERT_EQ(attributes.size(), 2);
    const QJsonObject a5 = attributes[0].toObject();
    EXPECT_EQ(a5[QStringLiteral("id")].toInt(), 5);
    EXPECT_EQ(a5[QStringLiteral("rawValue")].toDouble(), 6618611909121.0);
    EXPECT_EQ(a5[QStringLiteral("threshold")].toInt(), 36);
    EXPECT_EQ(a5[QStringLiteral("isPrefail")].toInt(), 1);
    EXPECT_EQ(attributes[1].toObject()[QStringLiteral("threshold")].toInt(), 0);
}

TEST_F(SmartCommandTest, DamagedPageNvmeWarningAndMissingDisk) {
    const auto [damagedStatus, damaged] = run(QStringLiteral("sdb"));
    EXPECT_EQ(damagedStatus, 1);
    EXPECT_EQ(damaged[QStringLiteral("smartStatus")].toInt(), 2);
    EXPECT_TRUE(damaged[QStringLiteral("attributes")].isNull());

    const auto [nvmeStatus, nvme] = run(QStringLiteral("nvme0n1"));
    EXPECT_EQ(nvmeStatus, 2);
    EXPECT_EQ(nvme[QStringLiteral("smartStatus")].toInt(), 1);
    const QJsonArray fields = nvme[QStringLiteral("attributes")].toArray();
    ASSERT_EQ(fields.size(), 15);
    EXPECT_EQ(fields[1].toObject()[QStringLiteral("name")].toString(),
              QStringLiteral("temperature"));
    EXPECT_EQ(fields[1].toObject()[QStringLiteral("currentValue")].toInt(), 27);

    const auto [missingStatus, missing] = run(QStringLiteral("sdq"));
    EXPECT_EQ(missingStatus, 3);
    EXPECT_EQ(missing[QStringLiteral("smartStatus")].toInt(), 3);
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/prometheus_textfile.h"
#include "cli/exit_codes.h"
#include "core/nvme_health.h"

#include "../core/fake_services.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Only the named files: no half-written temporary is left behind.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

TEST(PrometheusFile, ReplacesARegularFileOrCreatesAMissingOne) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("new.prom"));
    QString problem;
    EXPECT_EQ(writePrometheusFile(missing, QStringLiteral("a 1\n"), problem), exit_codes::kOk);
    EXPECT_EQ(contents(missing), "a 1\n");

    const QString existing = dir.filePath(QStringLiteral("old.prom"));
    put(existing, "old\n");
    EXPECT_EQ(writePrometheusFile(existing, QStringLiteral("b 2\n"), problem), exit_codes::kOk);
    EXPECT_EQ(contents(existing), "b 2\n");
    EXPECT_EQ(entries(dir.path()),
              (QStringList{QStringLiteral("new.prom"), QStringLiteral("old.prom")}));
}

TEST(PrometheusFile, RefusesWhatIsNoRegularFile) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.prom"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.prom"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString linkToFifo = dir.filePath(QStringLiteral("link.prom"));
    ASSERT_TRUE(QFile::link(fifo, linkToFifo));
    const QString dangling = dir.filePath(QStringLiteral("dangling.prom"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nothing")), dangling));
    QStringList refused{fifo, folder, linkToFifo, dangling};
    // A device node like /dev/null (only root may make one).
    const QString device = dir.filePath(QStringLiteral("null.prom"));
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        refused << device;
    }
    for (const QString& path : refused) {
        QString problem;
        EXPECT_EQ(writePrometheusFile(path, QStringLiteral("a 1\n"), problem),
                  exit_codes::kCantCreate)
            << path.toStdString();
        EXPECT_FALSE(problem.isEmpty());
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    if (refused.contains(device)) {
        ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    QString problem;
    EXPECT_EQ(writePrometheusFile(dir.filePath(QStringLiteral("no/such/folder.prom")),
                                  QStringLiteral("a 1\n"), problem),
              exit_codes::kCantCreate);
}

TEST(PrometheusFile, FollowsALinkToARegularFileAndKeepsTheLink) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.prom"));
    put(target, "old\n");
    const QString link = dir.filePath(QStringLiteral("link.prom"));
    ASSERT_TRUE(QFile::link(target, link));
    QString problem;
    EXPECT_EQ(writePrometheusFile(link, QStringLiteral("a 1\n"), problem), exit_codes::kOk);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "a 1\n");
}

TEST(PrometheusFile, IsReadableByOthersWhateverTheUmask) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("node.prom"));
    const mode_t previous = ::umask(077);
    QString problem;
    const int status = writePrometheusFile(path, QStringLiteral("a 1\n"), problem);
    ::umask(previous);
    ASSERT_EQ(status, exit_codes::kOk);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// A write cut short (here by the file-size limit, as a full disk would)
// keeps the previous file whole and reports an I/O error.
TEST(PrometheusFile, AFailedWriteKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("node.prom"));
    put(path, "previous 1\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString problem;
    const int status =
        writePrometheusFile(path, QString(QStringLiteral("metric 1\n")).repeated(100), problem);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(status, exit_codes::kIoError);
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(contents(path), "previous 1\n");
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("node.prom")});
}

// The same on a really full file system, where root may mount one.
TEST(PrometheusFile, AFullDiskKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=8k") != 0) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};
    const QString path = dir.filePath(QStringLiteral("node.prom"));
    put(path, "previous 1\n");
    QString problem;
    EXPECT_EQ(
        writePrometheusFile(path, QString(QStringLiteral("metric 1\n")).repeated(4096), problem),
        exit_codes::kIoError);
    EXPECT_EQ(contents(path), "previous 1\n");
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("node.prom")});
}

}  // namespace

// --- The text itself --------------------------------------------------------

namespace {

QStringList samplesOf(const QString& text, const QString& metric) {
    QStringList samples;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(metric + QLatin1Char('{')) ||
            line.startsWith(metric + QLatin1Char(' '))) {
            samples << line;
        }
    }
    return samples;
}

AttributeTable nvmeTable() {
    NvmeHealthLog log;
    log.compositeTemperatureKelvin = 273 + 41;
    log.availableSpare = 97;
    log.availableSpareThreshold = 10;
    log.percentageUsed = 12;
    log.counters[1] = 2000;  // data units written
    log.counters[6] = 9012;  // power-on hours
    log.counters[8] = 3;     // media errors
    return nvmeHealthAttributes(log);
}

}  // namespace

TEST(PrometheusText, ValueSeriesCarryOnlyTheDrivesIdentity) {
    EvaluationHarness harness;
    QVariantMap description = ssdDescription(QStringLiteral("Samsung SSD 970 EVO Plus 1TB"));
    description.insert(QStringLiteral("isNVME"), true);
    const auto nvme = harness.check(SMARTStatusVerified, description, nvmeTable(),
                                    QStringLiteral("Data \"big\"\nhome"));
    AttributeTable ata{{177, attribute(93, 0)}, {194, attribute(100, 0)}};
    // 36 °C now, vendor minimum and maximum in the higher bytes.
    ata[194].rawValue = AttributeNumber::fromUnsigned(0x0046001400000024ull);
    const auto sata = harness.check(SMARTStatusFailing,
                                    ssdDescription(QStringLiteral("Samsung SSD 860 EVO 500GB")),
                                    ata, QStringLiteral("System"));
    const auto unknown = harness.check(SMARTStatusUnknown, std::nullopt, std::nullopt);
    // The harness gives every drive the same node; tell them apart.
    nvme->setDeviceNode(QStringLiteral("/dev/nvme0n1"));
    sata->setDeviceNode(QStringLiteral("/dev/sda"));
    unknown->setDeviceNode(QStringLiteral("/dev/sdb"));
    const std::vector<PrometheusDrive> drives{
        {nvme.get(), QStringLiteral("S4EWNX0R1"), QStringLiteral("2B2QEXM7"),
         QStringLiteral("NVMe")},
        {sata.get(), QStringLiteral("S3Z1NB0K"), QStringLiteral("RVT04B6Q"),
         QStringLiteral("SATA")},
        {unknown.get(), QStringLiteral("NOSERIAL"), QString(), QString()}};
    const PrometheusCheck check{2, QDateTime::fromSecsSinceEpoch(1796722229, Qt::UTC), 40, 20};
    const QString text = prometheusText(drives, check);

    const QString nvmeId = QStringLiteral("device=\"/dev/nvme0n1\",serial=\"S4EWNX0R1\"");
    const QString sataId = QStringLiteral("device=\"/dev/sda\",serial=\"S3Z1NB0K\"");
    // Everything that may change sits on the info series, escaped.
    EXPECT_EQ(samplesOf(text, QStringLiteral("ostrivane_drive_info")).first(),
              QStringLiteral("ostrivane_drive_info{%1,model=\"Samsung SSD 970 EVO Plus 1TB\","
                             "firmware=\"2B2QEXM7\",name=\"Data \\\"big\\\"\\nhome\","
                             "protocol=\"NVMe\"} 1")
                  .arg(nvmeId));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("ostrivane_drive_")) ||
            line.startsWith(QLatin1String("ostrivane_drive_info"))) {
            continue;
        }
        EXPECT_FALSE(line.contains(QLatin1String("model=")) ||
                     line.contains(QLatin1String("name=")))
            << line.toStdString();
    }
    // The drive without a health has no health sample, never NaN or 255.
    const QStringList health = samplesOf(text, QStringLiteral("ostrivane_drive_health_ratio"));
    // A failing drive's health is 0 whatever its wear attribute says.
    EXPECT_TRUE(health.contains(QStringLiteral("ostrivane_drive_health_ratio{%1} 0").arg(sataId)))
        << text.toStdString();
    EXPECT_TRUE(
        health.contains(QStringLiteral("ostrivane_drive_health_ratio{%1} 0.88").arg(nvmeId)))
        << text.toStdString();
    EXPECT_TRUE(health.filter(QStringLiteral("/dev/sdb")).isEmpty()) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("NaN")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("ostrivane_drive_smart_status{%1,state=\"failing\"} 1\n").arg(sataId)));
    EXPECT_TRUE(text.contains(
        QStringLiteral("ostrivane_drive_smart_status{%1,state=\"verified\"} 0\n").arg(sataId)));
    // The NVMe log in base units; the ATA temperature from the low byte only.
    for (const QString& expected :
         {QStringLiteral("ostrivane_drive_percentage_used_ratio{%1} 0.12"),
          QStringLiteral("ostrivane_drive_available_spare_ratio{%1} 0.97"),
          QStringLiteral("ostrivane_drive_available_spare_threshold_ratio{%1} 0.1"),
          QStringLiteral("ostrivane_drive_power_on_seconds_total{%1} 32443200"),
          QStringLiteral("ostrivane_drive_temperature_celsius{%1} 41"),
          QStringLiteral("ostrivane_drive_data_written_bytes_total{%1} 1024000000"),
          QStringLiteral("ostrivane_drive_media_errors_total{%1} 3")}) {
        EXPECT_TRUE(text.contains(expected.arg(nvmeId) + QLatin1Char('\n')))
            << expected.toStdString();
    }
    EXPECT_TRUE(
        text.contains(QStringLiteral("ostrivane_drive_temperature_celsius{%1} 36\n").arg(sataId)));
    EXPECT_EQ(samplesOf(text, QStringLiteral("ostrivane_drive_percentage_used_ratio")).size(), 1);
    // Health 88 against the drive's own 88 % left: no disagreement; nobody sleeps.
    EXPECT_TRUE(
        text.contains(QStringLiteral("ostrivane_drive_own_wear_differs{%1} 0\n").arg(nvmeId)));
    EXPECT_EQ(samplesOf(text, QStringLiteral("ostrivane_drive_own_wear_differs")).size(), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("ostrivane_drive_standby{%1} 0\n").arg(sataId)));
    // The check's own series.
    for (const char* expected : {"ostrivane_check_success 1\n", "ostrivane_check_exit_status 2\n",
                                 "ostrivane_check_timestamp_seconds 1796722229\n",
                                 "ostrivane_health_threshold_ratio{severity=\"warning\"} 0.4\n",
                                 "ostrivane_health_threshold_ratio{severity=\"error\"} 0.2\n"}) {
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    }
    EXPECT_TRUE(prometheusText({}, PrometheusCheck{3, check.checked, 50, 30})
                    .contains(QLatin1String("ostrivane_check_success 0\n")));
    // Every family is declared once, right before its samples.
    EXPECT_EQ(text.count(QLatin1String("# TYPE ostrivane_drive_health_ratio gauge\n")), 1);
    EXPECT_EQ(
        text.count(QLatin1String("# TYPE ostrivane_drive_data_written_bytes_total counter\n")), 1);
}

TEST(PrometheusText, AtaOwnFiguresAndTheirDisagreement) {
    EvaluationHarness harness;
    AttributeTable ata{{177, attribute(30, 0)}, {241, attribute(99, 0)}};
    ata[241].rawValue = AttributeNumber::fromUnsigned(1000000);
    const auto samsung = harness.check(SMARTStatusVerified,
                                       ssdDescription(QStringLiteral("Samsung SSD 860 EVO 500GB")),
                                       ata, QStringLiteral("System"));
    // Little spare left sets a low health while the drive says 12 % used.
    AttributeTable nvme = nvmeTable();
    nvme[902].currentValue = AttributeNumber::fromUnsigned(20);
    const auto worn =
        harness.check(SMARTStatusVerified, ssdDescription(QStringLiteral("Unlisted NVMe 1TB")),
                      nvme, QStringLiteral("Worn"));
    samsung->setDeviceNode(QStringLiteral("/dev/sda"));
    worn->setDeviceNode(QStringLiteral("/dev/nvme0n1"));
    const QString text = prometheusText(
        {{samsung.get(), QStringLiteral("S1"), {}, {}}, {worn.get(), QStringLiteral("S2"), {}, {}}},
        PrometheusCheck{0, QDateTime::fromSecsSinceEpoch(0, Qt::UTC), 50, 30});
    // 241 counts 512-byte sectors on this model; it has no percentage of its own.
    EXPECT_TRUE(
        text.contains(QStringLiteral("ostrivane_drive_data_written_bytes_total{device=\"/dev/"
                                     "sda\",serial=\"S1\"} 512000000\n")))
        << text.toStdString();
    EXPECT_TRUE(samplesOf(text, QStringLiteral("ostrivane_drive_own_wear_differs"))
                    .filter(QStringLiteral("/dev/sda"))
                    .isEmpty());
    EXPECT_EQ(worn->ownWearNote(),
              QStringLiteral("the drive's own indicator differs: 88 % life left"));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "ostrivane_drive_own_wear_differs{device=\"/dev/nvme0n1\",serial=\"S2\"} 1\n")))
        << text.toStdString();
}

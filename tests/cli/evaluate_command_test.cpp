// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QByteArray>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the installed command-line program, as a user or a monitoring system would.
CliRun run(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(QStringLiteral(OSTRIVANE_CLI_PATH), args);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << "cannot start " << OSTRIVANE_CLI_PATH;
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit)
        << "crashed: " << args.join(u' ').toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray table(int lifeLeft, const char* newline = "\n") {
    return QByteArray(
               "ID# ATTRIBUTE_NAME FLAG VALUE WORST THRESH TYPE UPDATED WHEN_FAILED RAW_VALUE") +
           newline + "  5 Reallocated_Sector_Ct 0x0033 100 100 010 Pre-fail Always - 0" + newline +
           "231 SSD_Life_Left 0x0013 " + QByteArray::number(lifeLeft) + " " +
           QByteArray::number(lifeLeft) + " 000 Pre-fail Always - 0" + newline;
}

const QStringList kEvaluate{QStringLiteral("evaluate"), QStringLiteral("--model"),
                            QStringLiteral("Unlisted SSD"), QStringLiteral("-")};

}  // namespace

TEST(EvaluateCommand, ExitStatusFollowsTheThresholds) {
    EXPECT_EQ(run(kEvaluate, table(97)).exitCode, 0);
    EXPECT_EQ(run(kEvaluate, table(50)).exitCode, 1);
    EXPECT_EQ(run(kEvaluate, table(30)).exitCode, 2);
    const CliRun failing =
        run(kEvaluate + QStringList{QStringLiteral("--status"), QStringLiteral("1")}, table(97));
    EXPECT_EQ(failing.exitCode, 2);
    EXPECT_TRUE(failing.out.contains(QStringLiteral("S.M.A.R.T. status FAILING!")));
    EXPECT_EQ(run(kEvaluate + QStringList{QStringLiteral("--status=3")}, table(97)).exitCode, 3);

    const CliRun ok = run(kEvaluate, table(97));
    EXPECT_TRUE(ok.out.contains(QStringLiteral("97% (SSD_Life_Left: 97 [threshold: 0])")))
        << ok.out.toStdString();
    EXPECT_TRUE(
        ok.out.contains(QStringLiteral("Reallocated_Sector_Count (5):\t100 [threshold: 10]")));

    // CRLF input reads as LF input.
    EXPECT_EQ(run(kEvaluate, table(97, "\r\n")).out, ok.out);
}

TEST(EvaluateCommand, HardDiskOnlyWithAllDisks) {
    const QByteArray hdd = QByteArray("Rotation Rate: 7200 rpm\n") + table(97);
    const CliRun plain = run(kEvaluate, hdd);
    EXPECT_EQ(plain.exitCode, 3);
    EXPECT_TRUE(plain.out.contains(QStringLiteral("not compatible with Ostrivane")));
    EXPECT_EQ(run(kEvaluate + QStringList{QStringLiteral("--all-disks")}, hdd).exitCode, 0);
}

TEST(EvaluateCommand, JsonHoldsTheDriveObject) {
    const CliRun r = run(kEvaluate + QStringList{QStringLiteral("--json")}, table(40));
    EXPECT_EQ(r.exitCode, 1);
    QJsonParseError error{};
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(json.value(QStringLiteral("exitStatus")).toInt(), 1);
    const QJsonObject drive = json.value(QStringLiteral("drive")).toObject();
    for (const char* key : {"isSSD", "smartStatus", "lastHealth", "health", "model", "name",
                            "attributes", "healthInfo", "status", "lowAccuracy"}) {
        EXPECT_TRUE(drive.contains(QLatin1String(key))) << key;
    }
    EXPECT_EQ(drive.value(QStringLiteral("health")).toInt(), 40);
    EXPECT_EQ(drive.value(QStringLiteral("smartStatus")).toString(), QStringLiteral("verified"));
    const QJsonArray attributes = drive.value(QStringLiteral("attributes")).toArray();
    const auto ssdLifeLeft =
        std::find_if(attributes.begin(), attributes.end(), [](const QJsonValue& a) {
            return a.toObject().value(QStringLiteral("id")).toInt() == 231;
        });
    ASSERT_NE(ssdLifeLeft, attributes.end());
    EXPECT_EQ((*ssdLifeLeft).toObject().value(QStringLiteral("threshold")).toInt(-1), 0);
    EXPECT_EQ((*ssdLifeLeft).toObject().value(QStringLiteral("isPrefail")), QJsonValue(true));
}

// The Device Statistics section of `smartctl -x` (values of a published
// Intel SATA SSD capture) gives the drive's own figures beside the health.
TEST(EvaluateCommand, DeviceStatisticsOfSmartctlXAndTheNote) {
    const QByteArray statistics =
        "\nDevice Statistics (GP Log 0x04)\n"
        "Page  Offset Size        Value Flags Description\n"
        "0x01  =====  =               =  ===  == General Statistics (rev 1) ==\n"
        "0x01  0x010  4           15617  ---  Power-on Hours\n"
        "0x01  0x018  6      3482676599  ---  Logical Sectors Written\n"
        "0x07  =====  =               =  ===  == Solid State Device Statistics (rev 1) ==\n"
        "0x07  0x008  1               8  ---  Percentage Used Endurance Indicator\n";
    const CliRun far = run(kEvaluate, table(70) + statistics);
    EXPECT_TRUE(far.out.contains(
        QStringLiteral("Drive:       own wear indicator: 8 % used · 1.8 TB written · 15,617 h\n")))
        << far.out.toStdString();
    EXPECT_TRUE(far.out.contains(
        QStringLiteral("Note:        the drive's own indicator differs: 92 % life left\n")));
    // 19 points apart: no note; and a note never changes the exit status.
    const CliRun near =
        run(kEvaluate + QStringList{QStringLiteral("--json")}, table(73) + statistics);
    EXPECT_EQ(near.exitCode, 0);
    const QJsonObject wear = QJsonDocument::fromJson(near.out.toUtf8())
                                 .object()[QStringLiteral("drive")][QStringLiteral("ownWear")]
                                 .toObject();
    EXPECT_EQ(wear[QStringLiteral("percentageUsed")].toInt(), 8);
    EXPECT_EQ(wear[QStringLiteral("powerOnHours")].toInt(), 15617);
    EXPECT_TRUE(wear[QStringLiteral("differs")].isNull());
    EXPECT_EQ(run(kEvaluate, table(70)).out.count(QStringLiteral("own wear")), 0);
}

TEST(EvaluateCommand, FeedbackAlertsGoToStandardError) {
    const QByteArray odd = "231 SSD_Life_Left 0x0013 250 250 000 Pre-fail Always - 0\n";
    const CliRun r = run(kEvaluate, odd);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("VERY unexpected SSD values")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("@{@(231) : @{@\"currentValue\" : @(250)")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("125%")));
}

TEST(EvaluateCommand, UsageAndInputErrors) {
    EXPECT_EQ(run({QStringLiteral("evaluate"), QStringLiteral("--help")}).exitCode, 0);
    EXPECT_EQ(run({QStringLiteral("--help")}).exitCode, 0);
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("frobnicate")},
          QStringList{QStringLiteral("evaluate")},
          QStringList{QStringLiteral("evaluate"), QStringLiteral("--bogus"), QStringLiteral("-")},
          QStringList{QStringLiteral("evaluate"), QStringLiteral("--status"), QStringLiteral("7"),
                      QStringLiteral("-")},
          QStringList{QStringLiteral("evaluate"), QStringLiteral("--status"), QStringLiteral("x"),
                      QStringLiteral("-")},
          QStringList{QStringLiteral("evaluate"), QStringLiteral("a"), QStringLiteral("b")}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 64) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath(QStringLiteral("missing.txt")), dir.path()}) {
        const CliRun r = run({QStringLiteral("evaluate"), path});
        EXPECT_EQ(r.exitCode, 66) << path.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("cannot read"))) << r.err.toStdString();
    }
}

// Input that holds no table and no NVMe section is not a drive: a data error,
// never "S.M.A.R.T.: OK" and "not compatible".
TEST(EvaluateCommand, InputWithoutATableIsADataError) {
    QByteArray garbage(256 * 1024, '\0');
    QRandomGenerator random(99);
    for (char& c : garbage) {
        c = char(random.bounded(256));
    }
    const QByteArray passwd =
        "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin\n";
    QByteArray utf16Text("\xFF\xFE");
    for (const char c : QByteArray("Device Model: x\n")) {
        utf16Text += c;
        utf16Text += '\0';
    }
    for (const QByteArray& input : {QByteArray(), garbage, passwd, utf16Text}) {
        const CliRun r = run(kEvaluate, input);
        EXPECT_EQ(r.exitCode, 65) << input.left(40).toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("no S.M.A.R.T. attribute table")))
            << r.err.toStdString();
    }
}

TEST(EvaluateCommand, Utf16WithAByteOrderMarkReadsAsUtf8) {
    const QString text =
        QStringLiteral("Device Model: Unlisted SSD\n") + QString::fromUtf8(table(97));
    const CliRun utf8 = run({QStringLiteral("evaluate"), QStringLiteral("-")}, text.toUtf8());
    ASSERT_EQ(utf8.exitCode, 0) << utf8.err.toStdString();
    for (const auto endian : {QSysInfo::LittleEndian, QSysInfo::BigEndian}) {
        QByteArray utf16 =
            endian == QSysInfo::LittleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8);
            const char low = char(c.unicode() & 0xFF);
            if (endian == QSysInfo::LittleEndian) {
                utf16.append(low).append(high);
            } else {
                utf16.append(high).append(low);
            }
        }
        const CliRun r = run({QStringLiteral("evaluate"), QStringLiteral("-")}, utf16);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, utf8.out);
    }
}

TEST(EvaluateCommand, WithoutAModelLineItWarnsThatModelRulesCannotApply) {
    const CliRun bare = run({QStringLiteral("evaluate"), QStringLiteral("-")}, table(97));
    EXPECT_EQ(bare.exitCode, 0);
    EXPECT_TRUE(bare.err.contains(QStringLiteral("--model"))) << bare.err.toStdString();
    EXPECT_TRUE(run(kEvaluate, table(97)).err.isEmpty());
    const CliRun named = run({QStringLiteral("evaluate"), QStringLiteral("-")},
                             "Device Model: Unlisted SSD\n" + table(97));
    EXPECT_TRUE(named.err.isEmpty()) << named.err.toStdString();
}

TEST(EvaluateCommand, BadInputGivesAnAnswerNotACrash) {
    // A 10 MB line, then a real table: the line is ignored, the table read.
    QByteArray longLine(10 * 1024 * 1024, 'x');
    longLine[0] = '7';
    EXPECT_EQ(run(kEvaluate, longLine + "\n" + table(97)).exitCode, 0);

    // Numbers beyond 32 bits saturate; Unicode line separators separate lines.
    const QByteArray wide =
        "231 SSD_Life_Left 0x0013 99999999999 1 0 Pre-fail Always - 0\xE2\x80\xA8"
        "5 Reallocated 0x0033 090 090 010 Pre-fail Always - 0";
    const CliRun w = run(kEvaluate, wide);
    EXPECT_EQ(w.exitCode, 0);
    EXPECT_TRUE(w.out.contains(QStringLiteral("2147483647 [threshold: 0]"))) << w.out.toStdString();
    EXPECT_TRUE(w.out.contains(QStringLiteral("Health:      88%"))) << w.out.toStdString();
}

TEST(EvaluateCommand, PersistKeepsTheLastHealthBetweenRuns) {
    // The test program's HOME and XDG folders are temporary; the child inherits them.
    const QStringList persist =
        kEvaluate + QStringList{QStringLiteral("--persist"), QStringLiteral("--json"),
                                QStringLiteral("--name"), QStringLiteral("Data")};
    const auto lastHealth = [](const CliRun& r) {
        return QJsonDocument::fromJson(r.out.toUtf8())
            .object()
            .value(QStringLiteral("drive"))
            .toObject()
            .value(QStringLiteral("lastHealth"))
            .toInt(-1);
    };
    EXPECT_EQ(lastHealth(run(persist, table(90))), 0);
    EXPECT_EQ(lastHealth(run(persist, table(80))), 90);
    // Without --persist nothing is read or written.
    EXPECT_EQ(
        lastHealth(run(kEvaluate + QStringList{QStringLiteral("--json"), QStringLiteral("--name"),
                                               QStringLiteral("Data")},
                       table(70))),
        0);
    EXPECT_EQ(lastHealth(run(persist, table(60))), 80);
    const CliRun stored = run({QStringLiteral("defaults"), QStringLiteral("read"),
                               QStringLiteral("Data_lastCheckHealth")});
    EXPECT_EQ(stored.out.trimmed(), QStringLiteral("60"));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/wendle_lib.h"
#include "temp_home.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <memory>
#include <thread>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// sha1("abc") and sha1("") from FIPS 180's examples.
const QString kShaAbc = QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d");
const QString kShaEmpty = QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709");

class WendleLibTest : public ::testing::Test {
  protected:
    WendleLibTest() {
        installation.root = home.file(QStringLiteral("install"));
        installation.executable = installation.root + QStringLiteral("/bin/ostrivane");
        installation.systemCrashDirs = {home.file(QStringLiteral("var-crash"))};
        write(installation.executable, "abc");
        writeInfo(R"({"CFBundleName": "Ostrivane", "CFBundleVersion": "1234",
                      "CFBundleShortVersionString": "1.2.3",
                      "CFBundleIdentifier": "com.wendle.Ostrivane"})");
    }

    static void write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void writeInfo(const QByteArray& json) {
        write(installation.root + QStringLiteral("/share/ostrivane/Info.json"), json);
    }

    TempHome home;
    WendleLib::Installation installation;
};

TEST_F(WendleLibTest, IdentityComesFromTheInformationFile) {
    const WendleLib lib(installation);
    EXPECT_TRUE(lib.infoProblem().isEmpty());
    EXPECT_EQ(lib.appName(), QStringLiteral("Ostrivane"));
    EXPECT_EQ(lib.appVersionString(), QStringLiteral("1.2.3"));
    EXPECT_EQ(lib.appBuildNumber(), 1234);
    EXPECT_EQ(lib.appBundleIdentifier(), QStringLiteral("com.wendle.Ostrivane"));

    const QList<QPair<QByteArray, qint32>> builds = {
        {R"("12a")", 12}, {R"("abc")", 0},
        {R"("")", 0},     {R"("99999999999")", std::numeric_limits<qint32>::max()},
        {"77", 77},       {"[1]", 0},
    };
    for (const auto& [value, expected] : builds) {
        writeInfo(R"({"CFBundleVersion": )" + value + "}");
        EXPECT_EQ(WendleLib(installation).appBuildNumber(), expected) << value.toStdString();
    }
}

TEST_F(WendleLibTest, BrokenInformationFilesLeaveIdentityAbsent) {
    const QList<QByteArray> broken = {
        "",
        "{",
        "[\"CFBundleName\"]",
        "\xff\xfe{}",
        R"({"CFBundleName": 5})",
        QByteArray(2 << 20, ' ') + "{}",
    };
    for (const QByteArray& content : broken) {
        writeInfo(content);
        const WendleLib lib(installation);
        EXPECT_TRUE(lib.appName().isEmpty()) << content.left(40).toStdString();
        EXPECT_TRUE(lib.suppDir().isEmpty());
        EXPECT_FALSE(lib.suppURL().isValid());
        EXPECT_TRUE(lib.prefsPath().isEmpty());
        EXPECT_EQ(lib.appBuildNumber(), 0);
        EXPECT_TRUE(lib.appCrashLogFilenames().isEmpty());
    }
    QFile::remove(installation.root + QStringLiteral("/share/ostrivane/Info.json"));
    EXPECT_FALSE(WendleLib(installation).infoProblem().isEmpty());
}

TEST_F(WendleLibTest, ChecksumsOfTheExecutableAndPrivateLibraries) {
    WendleLib lib(installation);
    EXPECT_EQ(lib.appChecksumSHA(), kShaAbc);
    EXPECT_EQ(lib.appChecksumIncludingFrameworksSHA(), kShaAbc.left(10));

    write(lib.privateLibDir() + QStringLiteral("/libb.so"), "");
    write(lib.privateLibDir() + QStringLiteral("/liba.so"), "abc");
    EXPECT_EQ(lib.appChecksumIncludingFrameworksSHA(), kShaAbc.left(10) + QLatin1Char(' ') +
                                                           kShaAbc.left(10) + QLatin1Char(' ') +
                                                           kShaEmpty.left(10));
    const QRegularExpression threeGroups(QStringLiteral("^[0-9a-f]{10}( [0-9a-f]{10}){2}$"));
    EXPECT_TRUE(threeGroups.match(lib.appChecksumIncludingFrameworksSHA()).hasMatch());

    QDir().mkpath(lib.privateLibDir() + QStringLiteral("/plugins"));
    EXPECT_TRUE(lib.appChecksumIncludingFrameworksSHA().endsWith(QLatin1String(" (null)")));

    QFile::remove(installation.executable);
    EXPECT_EQ(lib.appChecksumSHA(), QStringLiteral("NoFile"));
}

TEST_F(WendleLibTest, FoldersFollowTheXdgEnvironment) {
    const WendleLib lib(installation);
    EXPECT_EQ(lib.suppDir(), home.dataHome() + QStringLiteral("/Ostrivane"));
    EXPECT_EQ(lib.suppURL(), QUrl::fromLocalFile(lib.suppDir()));
    EXPECT_EQ(lib.prefsPath(), home.configHome() + QStringLiteral("/com.wendle.Ostrivane.sqlite3"));
    EXPECT_EQ(lib.resDir(), installation.root + QStringLiteral("/share/ostrivane"));
    EXPECT_EQ(lib.homeURLInsideSandbox(), QUrl::fromLocalFile(home.path()));
    EXPECT_TRUE(lib.homeURLOutsideSandbox().isLocalFile());
    EXPECT_TRUE(lib.docDir().startsWith(home.path()));
    EXPECT_TRUE(lib.deskDir().startsWith(home.path()));

    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(lib.prefsPath(),
              home.path() + QStringLiteral("/.config/com.wendle.Ostrivane.sqlite3"));
}

// A service started without HOME still keeps its files in the user's home
// (from the password entry), never in "/.config" and "/.local/share".
TEST_F(WendleLibTest, WithoutHomeTheFoldersComeFromThePasswordEntry) {
    const WendleLib lib(installation);
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const QString passwdHome = QDir::cleanPath(QString::fromLocal8Bit(entry->pw_dir));
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        qunsetenv(name);
    }
    if (passwdHome != QLatin1String("/")) {
        EXPECT_TRUE(WendleLib::hasUserFolders());
        EXPECT_EQ(lib.suppDir(), passwdHome + QStringLiteral("/.local/share/Ostrivane"));
        EXPECT_EQ(lib.prefsPath(),
                  passwdHome + QStringLiteral("/.config/com.wendle.Ostrivane.sqlite3"));
        EXPECT_EQ(lib.userCrashDir(),
                  passwdHome + QStringLiteral("/.local/state/Ostrivane/DiagnosticReports"));
    }
    // An empty or relative HOME is no home either.
    qputenv("HOME", "relative/home");
    EXPECT_FALSE(lib.suppDir().startsWith(QLatin1String("relative")));
    EXPECT_FALSE(lib.prefsPath().startsWith(QLatin1String("/.config")));
    EXPECT_FALSE(lib.suppDir().startsWith(QLatin1String("/.local")));
    qputenv("HOME", QFile::encodeName(home.path()));
}

TEST_F(WendleLibTest, CrashReportsMatchNameAndSuffix) {
    const WendleLib lib(installation);
    const QString user = home.stateHome() + QStringLiteral("/Ostrivane/DiagnosticReports/");
    const QString system = installation.systemCrashDirs.first() + QLatin1Char('/');
    write(user + QStringLiteral("ostrivane_2026-12-06.crash"),
          "Process: Ostrivane\n/System/Library/ after the cut");
    write(user + QStringLiteral("\u00d6STRIVANE-accent.crash"), "accented");
    write(user + QStringLiteral("Ostrivane_upper.CRASH"), "wrong suffix case");
    write(user + QStringLiteral("Other.crash"), "another app");
    write(user + QStringLiteral("Ostrivane.crash.gz"), "compressed");
    write(system + QStringLiteral("Ostrivane-system.crash"), "system report");

    const QStringList expected = {
        user + QStringLiteral("ostrivane_2026-12-06.crash"),
        user + QStringLiteral("\u00d6STRIVANE-accent.crash"),
        system + QStringLiteral("Ostrivane-system.crash"),
    };
    QStringList found = lib.appCrashLogFilenames();
    // The user's come first; within a folder the order is the listing's.
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found.last(), expected.last());
    found.sort();
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    EXPECT_EQ(found, sortedExpected);
    const QStringList logs = lib.appCrashLogs();
    EXPECT_TRUE(logs.contains(QStringLiteral("Process: Ostrivane\n")));
    EXPECT_TRUE(logs.contains(QStringLiteral("system report")));
}

// A FIFO named like a report is skipped, never waited on.
TEST_F(WendleLibTest, CrashReportsReadOnlyRegularFiles) {
    const QString user = home.stateHome() + QStringLiteral("/Ostrivane/DiagnosticReports/");
    write(user + QStringLiteral("Ostrivane-1.crash"), "a report");
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(user + QStringLiteral("Ostrivane-2.crash")).constData(), 0600),
        0);
    struct Outcome {
        std::atomic<bool> done{false};
        QStringList logs;
    };
    auto outcome = std::make_shared<Outcome>();
    auto* lib = new WendleLib(installation);  // left behind if the read hangs
    std::thread([outcome, lib] {
        outcome->logs = lib->appCrashLogs();
        outcome->done = true;
    }).detach();
    for (int waited = 0; waited < 200 && !outcome->done; ++waited) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(outcome->done) << "reading a FIFO named like a crash report blocked";
    EXPECT_EQ(outcome->logs, QStringList{QStringLiteral("a report")});
    delete lib;
}

TEST(WendleLibShared, RunningFromTheBuildTreeFindsTheGeneratedFile) {
    const WendleLib& lib = WendleLib::shared();
    EXPECT_EQ(lib.appName(), QStringLiteral("Ostrivane"));
    EXPECT_EQ(lib.appBundleIdentifier(), QStringLiteral("com.wendle.Ostrivane"));
    EXPECT_FALSE(lib.appVersionString().isEmpty());
    EXPECT_GT(lib.appBuildNumber(), 0);
    EXPECT_EQ(lib.appChecksumSHA().size(), 40);
}

}  // namespace

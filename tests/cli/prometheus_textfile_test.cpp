// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/prometheus_textfile.h"
#include "cli/exit_codes.h"

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

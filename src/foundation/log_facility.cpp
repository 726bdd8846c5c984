// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/log_facility.h"

#include "foundation/single_line_text.h"

#include "foundation/settings_store.h"
#include "foundation/syslog_system_log.h"
#include "foundation/wendle_lib.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLevels = 8;
constexpr qint64 kCopyChunk = 1 << 20;
// Each reopen means another process trimmed the log meanwhile; many starts
// at once can do that a few dozen times in a row.
constexpr int kMaxReopens = 100;

const char* const kDiskFull = "Fatal: your disk is full - please never let that happen again";

// Set while this thread is inside the facility: whatever the settings store
// wants to log from a ring write then goes only to the system log, instead of
// recursing into the store or waiting for the lock this thread holds.
thread_local int t_depth = 0;

struct DepthGuard {
    DepthGuard() { ++t_depth; }
    ~DepthGuard() { --t_depth; }
};

int clampLevel(int level) {
    return qBound(0, level, kLevels - 1);
}

// The program never forks without exec, so the identifier is asked once.
qint64 processId() {
    static const qint64 pid = ::getpid();
    return pid;
}

// "Dec 06 14:05" for the file: the day in English, the time in the user's
// short style, both in local time. localtime_r rather than QDateTime's local
// conversion, which re-reads the time-zone file on every call.
QString fileTimestamp(const QDateTime& utc) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const time_t seconds = time_t(utc.toSecsSinceEpoch());
    struct tm local {};
    if (localtime_r(&seconds, &local) == nullptr) {
        return utc.toString(QStringLiteral("MMM dd HH:mm"));
    }
    static const QLocale userLocale;
    // snprintf rather than QString::asprintf, which costs about ten times as much.
    char day[16];
    std::snprintf(day, sizeof(day), "%s %02d ", kMonths[local.tm_mon % 12], local.tm_mday);
    return QLatin1StringView(day) +
           userLocale.toString(QTime(local.tm_hour, local.tm_min, local.tm_sec),
                               QLocale::ShortFormat);
}

// The instant as the ring entries show it: 2026-12-06 14:05:09 +0000.
QString ringEntry(const QDateTime& utc, const QString& text) {
    const QDate d = utc.date();
    const QTime t = utc.time();
    char date[64];
    std::snprintf(date, sizeof(date),
                  "date: %04d-%02d-%02d %02d:%02d:%02d +0000 message: ", d.year(), d.month(),
                  d.day(), t.hour(), t.minute(), t.second());
    return QLatin1StringView(date) + text;
}

// True when `fd` is no longer the file at `path`: another process trimmed
// the log (which puts a new file in its place) or removed it.
bool replacedSince(int fd, const QByteArray& path) {
    struct stat open {};
    struct stat named {};
    if (::fstat(fd, &open) != 0 || !S_ISREG(open.st_mode)) {
        return false;  // a device or a pipe is never trimmed
    }
    return open.st_nlink == 0 || ::stat(path.constData(), &named) != 0 ||
           named.st_ino != open.st_ino || named.st_dev != open.st_dev;
}

// flock, waited for again when a signal interrupts the wait.
bool lockFile(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Opens the log for appending, creating it when missing. O_NONBLOCK: a FIFO
// at the log's place must not stop the program (writes then fail instead).
int openForAppend(const QByteArray& path) {
    return ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                  0666);
}

}  // namespace

LogFacility::LogFacility(SettingsStore* store, SystemLog* systemLog, QString appName)
    : store_(store), systemLog_(systemLog), appName_(std::move(appName)) {}

LogFacility::~LogFacility() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

LogFacility& LogFacility::shared() {
    static LogFacility facility(nullptr, nullptr);
    return facility;
}

SettingsStore& LogFacility::store() {
    return store_ != nullptr ? *store_ : SettingsStore::shared();
}

SystemLog& LogFacility::systemLog() {
    return systemLog_ != nullptr ? *systemLog_ : SyslogSystemLog::shared();
}

QString LogFacility::appName() {
    return appName_.isNull() ? WendleLib::shared().appName() : appName_;
}

QString LogFacility::levelName(int level) {
    static const std::array<QString, kLevels> names = {
        QStringLiteral("Emergency"), QStringLiteral("Alert"),   QStringLiteral("Critical"),
        QStringLiteral("Error"),     QStringLiteral("Warning"), QStringLiteral("Notice"),
        QStringLiteral("Info"),      QStringLiteral("Debug"),
    };
    return names[size_t(clampLevel(level))];
}

SystemLog::Type LogFacility::systemLogType(int level) {
    switch (clampLevel(level)) {
        case 0:
        case 1:
        case 2:
            return SystemLog::Type::Fault;
        case 3:
            return SystemLog::Type::Error;
        case 4:
        case 5:
            return SystemLog::Type::Default;
        default:
            return SystemLog::Type::Debug;
    }
}

void LogFacility::logMessage(int level, const QString& text) {
    level = clampLevel(level);
    SystemLog& osLog = systemLog();
    if (t_depth > 0) {
        const SystemLog::Type type = systemLogType(level);
        if (osLog.isEnabled(type)) {
            osLog.write(type, text.toUtf8());
        }
        return;
    }
    DepthGuard guard;
    const QString name = appName();
    SettingsStore& settings = store();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        QMutexLocker lock(&mutex_);
        if (fd_ >= 0 && level <= maxFileLevel_) {
            const QString line = fileTimestamp(now) + QStringLiteral("  ") + name +
                                 QLatin1Char('[') + QString::number(processId()) +
                                 QStringLiteral("] <") + levelName(level) + QStringLiteral(">: ") +
                                 singleLineText(text) + QLatin1Char('\n');
            QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
            const QByteArray bytes = encoder.encode(line);
            if (encoder.hasError()) {
                if (osLog.isEnabled(SystemLog::Type::Fault)) {
                    osLog.write(
                        SystemLog::Type::Fault,
                        QStringLiteral("could not open create data from string '%1' for log")
                            .arg(line)
                            .toUtf8());
                }
            } else {
                appendLocked(bytes);
            }
        }
        qint32& position = positions_[size_t(level)];
        settings.setValue(QStringLiteral("wendlelib_asl_lev%1_pos%2").arg(level).arg(position),
                          ringEntry(now, text));
        position = position >= kLevelRingSize - 1 ? 0 : position + 1;
    }
    const SystemLog::Type type = systemLogType(level);
    if (osLog.isEnabled(type)) {
        osLog.write(type, text.toUtf8());
    }
}

void LogFacility::appendLocked(const QByteArray& line) {
    // Appends share the file's lock, a trim holds it alone: a line is never
    // written into the file a trim is copying, nor into the file it replaced.
    bool locked = lockFile(fd_, LOCK_SH);
    for (int attempt = 0; locked && attempt < kMaxReopens && replacedSince(fd_, path_); ++attempt) {
        ::flock(fd_, LOCK_UN);
        const int fd = openForAppend(path_);
        if (fd < 0) {
            locked = false;
            break;
        }
        ::close(fd_);
        fd_ = fd;
        locked = lockFile(fd_, LOCK_SH);
    }
    const char* data = line.constData();
    qsizetype left = line.size();
    // O_APPEND puts every write at the end, also past other processes' lines.
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, size_t(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            systemLog().write(SystemLog::Type::Fault, QByteArray(kDiskFull));
            break;
        }
        data += written;
        left -= written;
    }
    if (locked) {
        ::flock(fd_, LOCK_UN);
    }
}

void LogFacility::logToDefaults(const QString& text) {
    DepthGuard guard;
    SettingsStore& settings = store();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QMutexLocker lock(&mutex_);
    qint32& position = positions_[kLevels];
    settings.setValue(QStringLiteral("wendlelib_logtoprefs_pos%1").arg(position),
                      ringEntry(now, text));
    position = position >= kDefaultsRingSize - 1 ? 0 : position + 1;
}

bool LogFacility::trim(const QString& path, qint64 maxSize) {
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    // Alone on the file (see appendLocked), and on the file that is at the
    // path now: another process may have trimmed it while this one waited.
    // Copying a replaced file would put it back over the lines written since,
    // so when others keep trimming, this start leaves the trim to them.
    for (int attempt = 0; fd >= 0; ++attempt) {
        if (!lockFile(fd, LOCK_EX)) {
            ::close(fd);
            return false;
        }
        if (!replacedSince(fd, name)) {
            break;
        }
        ::close(fd);
        if (attempt == kMaxReopens) {
            return true;
        }
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    }
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= maxSize) {
        ::close(fd);  // also releases the lock
        return true;
    }
    // The kept tail goes to a new file that replaces the old one only when
    // complete: a full disk leaves the old log as it was, not half-copied.
    QFile source;
    QSaveFile target(path);
    bool ok = source.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) &&
              source.seek(info.st_size - maxSize) && target.open(QIODevice::WriteOnly);
    qint64 copied = 0;
    while (ok && copied < maxSize) {
        const QByteArray chunk = source.read(qMin(kCopyChunk, maxSize - copied));
        ok = !chunk.isEmpty() && target.write(chunk) == chunk.size();
        copied += chunk.size();
    }
    source.close();
    if (ok) {
        ok = target.commit();
    } else {
        target.cancelWriting();
    }
    ::close(fd);
    return ok;
}

void LogFacility::openFile(const QString& path, qint64 maxSize, quint8 maxFileLevel) {
    // Creating the file by writing an empty one and renaming it into place
    // would throw away the lines of a process that started a moment earlier.
    const QByteArray name = QFile::encodeName(path);
    if (maxSize > 0) {
        struct stat info {};
        if (::stat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_size > maxSize && !trim(path, maxSize)) {
            logMessage(0, QString::fromLatin1(kDiskFull));
        }
    }
    const int fd = openForAppend(name);
    {
        QMutexLocker lock(&mutex_);
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
        path_ = name;
        maxFileLevel_ = maxFileLevel;
    }
    if (fd < 0) {
        logMessage(3, QStringLiteral("could not open file %1 for log file usage").arg(path));
    }
}

#include "foundation/log_facility.h"

#include "foundation/settings_store.h"
#include "foundation/syslog_system_log.h"
#include "foundation/wendle_lib.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kLevels = 8;
constexpr qint64 kCopyChunk = 1 << 20;

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
                                 text + QLatin1Char('\n');
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
            return;
        }
        data += written;
        left -= written;
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

bool LogFacility::trim(const QString& path, qint64 size, qint64 maxSize) {
    // The kept tail goes to a new file that replaces the old one only when
    // complete: a full disk leaves the old log as it was, not half-copied.
    QFile source(path);
    QSaveFile target(path);
    if (!source.open(QIODevice::ReadOnly) || !source.seek(size - maxSize) ||
        !target.open(QIODevice::WriteOnly)) {
        return false;
    }
    qint64 copied = 0;
    while (copied < maxSize) {
        const QByteArray chunk = source.read(qMin(kCopyChunk, maxSize - copied));
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return false;
        }
        copied += chunk.size();
    }
    source.close();
    return target.commit();
}

void LogFacility::openFile(const QString& path, qint64 maxSize, quint8 maxFileLevel) {
    const QFileInfo info(path);
    if (!info.exists()) {
        QSaveFile empty(path);
        if (empty.open(QIODevice::WriteOnly)) {
            empty.commit();
        }
    } else if (maxSize > 0 && info.size() > maxSize) {
        if (!trim(path, info.size(), maxSize)) {
            logMessage(0, QString::fromLatin1(kDiskFull));
        }
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    {
        QMutexLocker lock(&mutex_);
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
        maxFileLevel_ = maxFileLevel;
    }
    if (fd < 0) {
        logMessage(3, QStringLiteral("could not open file %1 for log file usage").arg(path));
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/crash_reports.h"

#include "foundation/defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace CrashReports {

namespace {

constexpr int kMaxFrames = 128;
constexpr qint64 kMaxOfferedBytes = 64 * 1024;
constexpr qsizetype kKeptOfferedNames = 50;
constexpr std::size_t kAltStackSize = 64 * 1024;
constexpr std::array kSignals = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE};

// Everything the handler needs, prepared while the process was well.
int g_folder = -1;
char g_name[128] = {};
char g_header[1024] = {};

// A small bounded writer: no allocation, no locale, no stdio.
struct Line {
    char text[256] = {};
    std::size_t size = 0;

    void add(const char* part) {
        while (*part != '\0' && size + 1 < sizeof text) {
            text[size++] = *part++;
        }
    }
    void addNumber(unsigned long long value, unsigned base = 10) {
        char digits[32];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value != 0 && count < int(sizeof digits));
        while (count > 0 && size + 1 < sizeof text) {
            text[size++] = digits[--count];
        }
    }
};

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) {
            return;
        }
        data += written;
        size -= std::size_t(written);
    }
}

const char* signalName(int number) {
    switch (number) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGABRT:
            return "SIGABRT";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        default:
            return "signal";
    }
}

void onFatalSignal(int number, siginfo_t* info, void*) {
    const int savedErrno = errno;
    const pid_t pid = ::getpid();
    const time_t now = ::time(nullptr);
    Line file;
    file.add(g_name);
    file.add("_");
    file.addNumber(static_cast<unsigned long long>(now));
    file.add("-");
    file.addNumber(static_cast<unsigned long long>(pid));
    file.add(".crash");
    const int fd =
        ::openat(g_folder, file.text, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        writeAll(fd, g_header, std::strlen(g_header));
        Line facts;
        facts.add("PID: ");
        facts.addNumber(static_cast<unsigned long long>(pid));
        facts.add("\nTime: ");
        facts.addNumber(static_cast<unsigned long long>(now));
        facts.add("\nSignal: ");
        facts.addNumber(static_cast<unsigned long long>(number));
        facts.add(" (");
        facts.add(signalName(number));
        facts.add(")\nCode: ");
        facts.addNumber(static_cast<unsigned long long>(info != nullptr ? info->si_code : 0));
        facts.add("\nAddress: 0x");
        facts.addNumber(
            reinterpret_cast<unsigned long long>(info != nullptr ? info->si_addr : nullptr), 16);
        facts.add("\n\nBacktrace:\n");
        writeAll(fd, facts.text, facts.size);
        void* frames[kMaxFrames];
        const int count = ::backtrace(frames, kMaxFrames);
        ::backtrace_symbols_fd(frames, count, fd);
        ::fsync(fd);
        ::close(fd);
    }
    // The default action follows, so the process ends as the signal says
    // (and a core dump is written where the system keeps them).
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(number, &fallback, nullptr);
    errno = savedErrno;
    ::raise(number);
}

void copyInto(char* target, std::size_t capacity, const QByteArray& text) {
    const std::size_t size = std::min<std::size_t>(capacity - 1, std::size_t(text.size()));
    std::memcpy(target, text.constData(), size);
    target[size] = '\0';
}

}  // namespace

bool install(const QString& folder, const QString& appName, const QString& versionString) {
    if (folder.isEmpty() || appName.isEmpty() || !QDir().mkpath(folder)) {
        return false;
    }
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (g_folder >= 0) {
        ::close(g_folder);
    }
    g_folder = fd;
    // Only characters a file name may hold; the name begins with the
    // application's, which is how the reports are found again.
    QByteArray name = appName.toUtf8();
    name.replace('/', '_');
    copyInto(g_name, sizeof g_name, name);
    copyInto(g_header, sizeof g_header,
             QStringLiteral("Process: %1\nVersion: %2\nExecutable: %3\n")
                 .arg(appName, versionString,
                      QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
                 .toUtf8());

    // The unwinder is loaded now, not inside the handler.
    void* frame = nullptr;
    ::backtrace(&frame, 1);
    // A stack overflow leaves no stack for the handler: it gets its own.
    static std::array<char, kAltStackSize> alternate;
    stack_t stack{};
    stack.ss_sp = alternate.data();
    stack.ss_size = alternate.size();
    ::sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = &onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    ::sigemptyset(&action.sa_mask);
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
    return true;
}

QStringList unoffered(const QStringList& reports, const QString& folder,
                      const QStringList& offered) {
    QStringList result;
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    for (const QString& path : reports) {
        if (path.startsWith(prefix) && !offered.contains(QFileInfo(path).fileName())) {
            result << path;
        }
    }
    return result;
}

void offerNewest(const QStringList& reports, const QString& folder,
                 const std::function<void(const QString& path, const QString& text)>& offer) {
    const QString key = QLatin1String(kOfferedKey);
    QStringList offered;
    for (const QVariant& name : defaultArray(key).value_or(QVariantList())) {
        offered << name.toString();
    }
    QStringList fresh = unoffered(reports, folder, offered);
    if (fresh.isEmpty()) {
        return;
    }
    // The names hold the time in seconds: the last in order is the newest.
    fresh.sort();
    // Marked before the dialog: a crash while it is shown must not bring it back forever.
    for (const QString& path : fresh) {
        offered << QFileInfo(path).fileName();
    }
    QVariantList stored;
    for (const QString& name :
         offered.mid(qMax<qsizetype>(0, offered.size() - kKeptOfferedNames))) {
        stored << name;
    }
    setDefaultArray(key, stored);
    // Only a regular file: a FIFO by that name would wait for a writer.
    QFile file(fresh.constLast());
    if (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
        offer(fresh.constLast(), QString::fromUtf8(file.read(kMaxOfferedBytes)));
    }
}

}  // namespace CrashReports

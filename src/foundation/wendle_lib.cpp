// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/wendle_lib.h"

#include "foundation/info_dictionary.h"
#include "foundation/logging.h"
#include "foundation/numeric_text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <limits>
#include <vector>

namespace {

constexpr int kShortDigest = 10;
// A crash report larger than this is not read whole.
constexpr qint64 kMaxCrashLogBytes = 16 << 20;

QString sha1OfFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("NoFile");
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file)) {
        return QStringLiteral("NoFile");
    }
    return QString::fromLatin1(hash.result().toHex());
}

QUrl fileUrl(const QString& path) {
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

// Case- and accent-insensitive form for name comparisons.
QString folded(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing &&
            c.category() != QChar::Mark_SpacingCombining) {
            out += c;
        }
    }
    return out.toCaseFolded();
}

// The password entry's home folder of the real user; empty when there is none.
QString passwdHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return QString::fromLocal8Bit(found->pw_dir);
}

// The user's home: $HOME, else (a service started without one) the password
// entry's. Never "/": settings and history do not belong in the root folder.
QString userHome() {
    for (QString home : {qEnvironmentVariable("HOME"), passwdHome()}) {
        home = QDir::cleanPath(home);
        if (QDir::isAbsolutePath(home) && home != QLatin1String("/")) {
            return home;
        }
    }
    return {};
}

// An XDG base folder: the variable when it holds an absolute path, else the
// fallback below the user's home; empty without either.
QString xdgFolder(const char* variable, QLatin1StringView belowHome) {
    const QString set = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(set)) {
        return QDir::cleanPath(set);
    }
    const QString home = userHome();
    return home.isEmpty() ? QString() : home + belowHome;
}

}  // namespace

WendleLib::WendleLib(Installation installation) : installation_(std::move(installation)) {
    const QString path = resDir() + QStringLiteral("/Info.json");
    info_ = info_dictionary::load(path, &infoProblem_);
}

WendleLib& WendleLib::shared() {
    static WendleLib lib(runningInstallation());
    // Reported after construction: logging asks this instance for the name.
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true) && !lib.infoProblem_.isEmpty()) {
        log_message(
            3,
            QStringLiteral("Error: could not read the information file: %1").arg(lib.infoProblem_));
    }
    return lib;
}

WendleLib::Installation WendleLib::runningInstallation() {
    Installation installation;
    installation.executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!installation.executable.isEmpty()) {
        QDir dir = QFileInfo(installation.executable).dir();
        dir.cdUp();
        installation.root = dir.absolutePath();
    }
    return installation;
}

QString WendleLib::infoText(const char* key) const {
    const QVariant value = info_.value(QLatin1String(key));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QString WendleLib::appName() const {
    return infoText("CFBundleName");
}

QString WendleLib::appVersionString() const {
    return infoText("CFBundleShortVersionString");
}

qint32 WendleLib::appBuildNumber() const {
    const QVariant value = info_.value(QStringLiteral("CFBundleVersion"));
    if (value.typeId() == QMetaType::QString) {
        return numeric_text::leadingInt32(value.toString());
    }
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong) {
        const double d = value.toDouble();
        if (d >= double(std::numeric_limits<qint32>::max())) {
            return std::numeric_limits<qint32>::max();
        }
        if (d <= double(std::numeric_limits<qint32>::min())) {
            return std::numeric_limits<qint32>::min();
        }
        return qint32(d);
    }
    return 0;
}

QString WendleLib::appBundleIdentifier() const {
    return infoText("CFBundleIdentifier");
}

QString WendleLib::appChecksumSHA() const {
    return sha1OfFile(installation_.executable);
}

QString WendleLib::appChecksumIncludingFrameworksSHA() const {
    QString result = appChecksumSHA().left(kShortDigest);
    // Sorted by name, so two installations of one build give the same text
    // whatever order their file systems list the folder in.
    const QDir dir(privateLibDir());
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString digest =
            entry.isFile() ? sha1OfFile(entry.absoluteFilePath()) : QStringLiteral("(null)");
        result += QLatin1Char(' ') + digest.left(kShortDigest);
    }
    return result;
}

bool WendleLib::hasUserFolders() {
    return !xdgFolder("XDG_DATA_HOME", QLatin1StringView("/.local/share")).isEmpty() &&
           !xdgFolder("XDG_CONFIG_HOME", QLatin1StringView("/.config")).isEmpty();
}

QString WendleLib::suppDir() const {
    const QString base = xdgFolder("XDG_DATA_HOME", QLatin1StringView("/.local/share"));
    const QString name = appName();
    if (base.isEmpty() || name.isEmpty()) {
        return {};
    }
    return base + QLatin1Char('/') + name;
}

QUrl WendleLib::suppURL() const {
    return fileUrl(suppDir());
}

QString WendleLib::prefsPath() const {
    const QString base = xdgFolder("XDG_CONFIG_HOME", QLatin1StringView("/.config"));
    const QString identifier = appBundleIdentifier();
    if (base.isEmpty() || identifier.isEmpty()) {
        return {};
    }
    return base + QLatin1Char('/') + identifier + QStringLiteral(".sqlite3");
}

QUrl WendleLib::prefsURL() const {
    return fileUrl(prefsPath());
}

QString WendleLib::resDir() const {
    if (installation_.root.isEmpty()) {
        return {};
    }
    return installation_.root + QStringLiteral("/" OSTRIVANE_DATA_SUBDIR);
}

QUrl WendleLib::resURL() const {
    return fileUrl(resDir());
}

QString WendleLib::docDir() const {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QUrl WendleLib::docURL() const {
    return fileUrl(docDir());
}

QString WendleLib::deskDir() const {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QUrl WendleLib::deskURL() const {
    return fileUrl(deskDir());
}

QUrl WendleLib::homeURLInsideSandbox() const {
    return fileUrl(QDir::homePath());
}

QUrl WendleLib::homeURLOutsideSandbox() const {
    return fileUrl(passwdHome());
}

QString WendleLib::privateLibDir() const {
    if (installation_.root.isEmpty()) {
        return {};
    }
    return installation_.root + QStringLiteral("/" OSTRIVANE_PRIVATE_LIB_SUBDIR);
}

QString WendleLib::userCrashDir() const {
    const QString state = xdgFolder("XDG_STATE_HOME", QLatin1StringView("/.local/state"));
    const QString name = appName();
    if (name.isEmpty() || state.isEmpty()) {
        return {};
    }
    return state + QLatin1Char('/') + name + QStringLiteral("/DiagnosticReports");
}

QStringList WendleLib::appCrashLogFilenames() const {
    const QString name = appName();
    if (name.isEmpty()) {
        return {};
    }
    const QString prefix = folded(name);
    QStringList folders{userCrashDir()};
    folders += installation_.systemCrashDirs;
    QStringList result;
    for (const QString& folder : folders) {
        if (folder.isEmpty()) {
            continue;
        }
        const QDir dir(folder);
        const QStringList names =
            dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& entry : names) {
            if (entry.endsWith(QLatin1String(".crash"), Qt::CaseSensitive) &&
                folded(entry).startsWith(prefix)) {
                result << dir.absoluteFilePath(entry);
            }
        }
    }
    return result;
}

QStringList WendleLib::appCrashLogs() const {
    QStringList result;
    for (const QString& path : appCrashLogFilenames()) {
        // A FIFO with a report's name must not stop the program waiting for
        // a writer: only regular files are read.
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        struct stat info {};
        QFile file;
        if (fd < 0) {
            continue;
        }
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
            !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            continue;
        }
        const QString text = QString::fromUtf8(file.read(kMaxCrashLogBytes));
        const qsizetype cut = text.indexOf(QLatin1String("/System/Library/"));
        result << (cut < 0 ? text : text.left(cut));
    }
    return result;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/login_item_manager.h"

#include "foundation/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// "Hidden=true" in the [Desktop Entry] group turns an entry off, also one of
// the system's with the same name.
bool isHiddenEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return true;
    }
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry &&
                   line.section(QLatin1Char('='), 0, 0).trimmed() == QLatin1String("Hidden")) {
            return line.section(QLatin1Char('='), 1).trimmed() == QLatin1String("true");
        }
    }
    return false;
}

bool writeEntry(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        log_message(3, QStringLiteral("Error: cannot write the autostart entry %1: %2")
                           .arg(path, file.errorString()));
        return false;
    }
    return true;
}

// The entry's command is split at blanks: a path with blanks or reserved
// characters is quoted, and its backslashes are escaped twice (once for the
// quoting, once for the string value), as the desktop-entry format asks.
QString quotedExec(QString path) {
    path.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QRegularExpression kReserved(QStringLiteral("[\\s\"'`$<>~|&;*?#()\\\\]"));
    if (!path.contains(kReserved)) {
        return path;
    }
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

LoginItemManager::LoginItemManager(QString desktopFileName, QString exec)
    : fileName_(std::move(desktopFileName) + QStringLiteral(".desktop")), exec_(std::move(exec)) {}

QString LoginItemManager::userEntryPath() const {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    return config + QStringLiteral("/autostart/") + fileName_;
}

QString LoginItemManager::systemEntryPath() const {
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty()) {
        dirs = QStringLiteral("/etc/xdg");
    }
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString path = dir + QStringLiteral("/autostart/") + fileName_;
        if (QDir::isAbsolutePath(dir) && QFileInfo(path).isFile()) {
            return path;
        }
    }
    return {};
}

bool LoginItemManager::launchesAtLogin() const {
    const QString user = userEntryPath();
    if (QFileInfo::exists(user)) {
        return !isHiddenEntry(user);
    }
    const QString system = systemEntryPath();
    return !system.isEmpty() && !isHiddenEntry(system);
}

void LoginItemManager::setLaunchesAtLogin(bool wanted) {
    if (wanted == launchesAtLogin()) {
        return;
    }
    const QString user = userEntryPath();
    if (wanted) {
        // Our own entry, also over a system one that the user hid earlier.
        writeEntry(user, QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Ostrivane\n"
                                        "Comment=Watches the health of your SSDs\n"
                                        "Exec=%1\n"
                                        "Icon=ostrivane\n"
                                        "Terminal=false\n"
                                        "NoDisplay=true\n")
                             .arg(quotedExec(exec_))
                             .toUtf8());
    } else if (!systemEntryPath().isEmpty()) {
        // systemd's autostart generator ignores X-GNOME-Autostart-enabled;
        // only Hidden=true overrides a system entry.
        writeEntry(user, QByteArrayLiteral("[Desktop Entry]\nType=Application\nName=Ostrivane\n"
                                           "Hidden=true\n"));
    } else if (!QFile::remove(user)) {
        log_message(3, QStringLiteral("Error: cannot remove the autostart entry %1").arg(user));
    }
}

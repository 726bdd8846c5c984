// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/startup_checks.h"

#include "ext/text.h"
#include "support/alerts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace StartupChecks {

namespace {

// The identity bytes and machine of an ELF header; false when it is none.
bool readElfHeader(const char* path, Elf64_Ehdr& header) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    std::memset(&header, 0, sizeof header);
    const ssize_t got = ::read(fd, &header, sizeof header);
    ::close(fd);
    // The 32-bit header is a prefix of the 64-bit one up to e_machine.
    return got >= ssize_t(offsetof(Elf64_Ehdr, e_version)) &&
           std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0;
}

}  // namespace

QString supportFolderProblem(const QString& path) {
    const QFileInfo info(path);
    if ((info.exists() && !info.isDir()) || (!info.exists() && info.isSymLink())) {
        return localized(QStringLiteral(
                             "This application can not be launched because its 'Application "
                             "Support' folder is not a folder but a file. Please remove the file "
                             "'%1' and re-launch this app."))
            .arg(path);
    }
    if (!info.exists() && !QDir().mkpath(path)) {
        // QDir gives no reason: the nearest existing parent's state says it.
        QString parent = QFileInfo(path).absolutePath();
        while (!QFileInfo::exists(parent) && parent != QLatin1String("/")) {
            parent = QFileInfo(parent).absolutePath();
        }
        const QFileInfo existing(parent);
        const QString reason = !existing.isDir()
                                   ? QStringLiteral("'%1' is not a folder").arg(parent)
                                   : QStringLiteral("'%1' is not writable").arg(parent);
        return localized(
                   QStringLiteral("This application can not be launched because the 'Application "
                                  "Support' can not be created at the path '%1'.\nError: %2"))
            .arg(path, reason);
    }
    return {};
}

bool isLoadableModule(const QString& path) {
    static const Elf64_Ehdr own = [] {
        Elf64_Ehdr header{};
        readElfHeader("/proc/self/exe", header);
        return header;
    }();
    Elf64_Ehdr header{};
    if (!QFileInfo(path).isFile() || !readElfHeader(QFile::encodeName(path).constData(), header)) {
        return false;
    }
    return header.e_ident[EI_CLASS] == own.e_ident[EI_CLASS] &&
           header.e_ident[EI_DATA] == own.e_ident[EI_DATA] && header.e_type == ET_DYN &&
           header.e_machine == own.e_machine;
}

QString damagedModule(const QString& folder, const QStringList& expectedModules) {
    for (const QString& name : expectedModules) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!isLoadableModule(path)) {
            return path;
        }
    }
    // Every entry takes part: nothing else belongs in that folder.
    const QDir dir(folder);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : entries) {
        if (!expectedModules.contains(name) && !isLoadableModule(dir.absoluteFilePath(name))) {
            return dir.absoluteFilePath(name);
        }
    }
    return {};
}

QString damagedMessage(const QString& offendingPath) {
    return localized(QStringLiteral(
                         "This application is damaged. A file of its installation is missing or "
                         "was replaced, so the installed package is incomplete or was changed "
                         "after it was installed. Please reinstall the Ostrivane package.\n\n"
                         "Offending Path: %1"))
        .arg(offendingPath);
}

QStringList installedModules() {
    return QString::fromLatin1(OSTRIVANE_PRIVATE_MODULES)
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

bool run(Alerts& alerts, const QString& supportFolder, const QString& privateLibFolder,
         const QStringList& expectedModules) {
    const QString ok = localized(QStringLiteral("OK"));
    if (!supportFolder.isEmpty()) {
        const QString problem = supportFolderProblem(supportFolder);
        if (!problem.isEmpty()) {
            alerts.alert_apptitled(problem, ok);
            return false;
        }
    }
    if (!privateLibFolder.isEmpty()) {
        const QString damaged = damagedModule(privateLibFolder, expectedModules);
        if (!damaged.isEmpty()) {
            alerts.alert_apptitled(damagedMessage(damaged), ok);
            return false;
        }
    }
    return true;
}

}  // namespace StartupChecks

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// A temporary home with its own XDG folders, so nothing touches the real one.
class TempHome {
  public:
    TempHome() {
        const QString root = dir_.path();
        for (const auto& [name, sub] : kFolders) {
            const QString path = sub.isEmpty() ? root : root + QLatin1Char('/') + sub;
            QDir().mkpath(path);
            qputenv(name, QFile::encodeName(path));
        }
    }
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }
    QString configHome() const { return file(QStringLiteral("config")); }
    QString dataHome() const { return file(QStringLiteral("data")); }
    QString stateHome() const { return file(QStringLiteral("state")); }

    // The same folders for a child process.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, sub] : kFolders) {
            env.insert(QString::fromLatin1(name), sub.isEmpty() ? path() : file(sub));
        }
        return env;
    }

  private:
    struct Folder {
        const char* name;
        QString sub;
    };
    inline static const Folder kFolders[] = {
        {"HOME", QString()},
        {"XDG_CONFIG_HOME", QStringLiteral("config")},
        {"XDG_DATA_HOME", QStringLiteral("data")},
        {"XDG_STATE_HOME", QStringLiteral("state")},
        {"XDG_CACHE_HOME", QStringLiteral("cache")},
    };
    QTemporaryDir dir_;
};

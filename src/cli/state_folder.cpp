// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/state_folder.h"

#include "ext/text.h"
#include "foundation/settings_snapshot.h"
#include "foundation/wendle_lib.h"

#include <QDir>
#include <QFile>

bool StateFolder::useRoot(const QString& root, bool create, QString& problem) {
    const QString absolute = QDir(root).absolutePath();
    static const char* const kFolders[][2] = {{"XDG_CONFIG_HOME", "config"},
                                              {"XDG_DATA_HOME", "data"},
                                              {"XDG_STATE_HOME", "state"},
                                              {"XDG_CACHE_HOME", "cache"}};
    for (const auto& [variable, sub] : kFolders) {
        const QString path = absolute + QLatin1Char('/') + QLatin1String(sub);
        if (create && !QDir().mkpath(path)) {
            problem = localized(QStringLiteral("cannot create the folder '%1'")).arg(path);
            return false;
        }
        qputenv(variable, QFile::encodeName(path));
    }
    return true;
}

bool StateFolder::useTemporaryRoot(QString& problem) {
    temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                 QStringLiteral("/ostrivane-state-XXXXXX"));
    if (!temporary_->isValid()) {
        problem = localized(QStringLiteral("cannot create a temporary folder: %1"))
                      .arg(temporary_->errorString());
        return false;
    }
    return useRoot(temporary_->path(), true, problem);
}

bool StateFolder::choose(const QString& kept, bool own, bool readOnly, QString& problem) {
    if (!kept.isEmpty()) {
        // A read-only run only reads there: nothing is made, not even folders.
        if (!useRoot(kept, !readOnly, problem)) {
            return false;
        }
    } else if (own && !useTemporaryRoot(problem)) {
        return false;
    }
    if (!readOnly) {
        return true;
    }
    readSettings_ = readSettingsSnapshot(WendleLib::shared().prefsPath());
    return temporary_ != nullptr || useTemporaryRoot(problem);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/modules.h"

#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QLibrary>

#include <map>
#include <memory>
#include <mutex>

QFunctionPointer moduleEntry(const QString& name, const char* entry) {
    static std::mutex mutex;
    // A module that failed stays absent (null): asking again would only log again.
    static std::map<QString, std::unique_ptr<QLibrary>> modules;
    const std::lock_guard lock(mutex);
    auto found = modules.find(name);
    if (found == modules.end()) {
        const QString folder = WendleLib::shared().privateLibDir();
        auto library = std::make_unique<QLibrary>(folder + QStringLiteral("/lib") + name +
                                                  QStringLiteral(".so"));
        if (folder.isEmpty() || !library->load()) {
            log_message(3,
                        QStringLiteral("Error: could not load the module %1: %2")
                            .arg(name, folder.isEmpty() ? QStringLiteral("no installation folder")
                                                        : library->errorString()));
            library.reset();
        }
        found = modules.emplace(name, std::move(library)).first;
    }
    if (!found->second) {
        return nullptr;
    }
    const QFunctionPointer function = found->second->resolve(entry);
    if (function == nullptr) {
        log_message(3, QStringLiteral("Error: the module %1 has no function %2")
                           .arg(name, QLatin1String(entry)));
    }
    return function;
}

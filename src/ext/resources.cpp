// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/text.h"

#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QFileInfo>

#include <array>

namespace {

// A plain file name: no folder part, so a name can never reach outside the
// resource folder.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..") && !name.contains(QChar(0));
}

}  // namespace

std::optional<QString> resourcePath(const QString& name) {
    const QString folder = WendleLib::shared().resDir();
    if (folder.isEmpty() || !isPlainName(name)) {
        return std::nullopt;
    }
    const QString path = folder + QLatin1Char('/') + name;
    if (!QFileInfo::exists(path)) {
        return std::nullopt;
    }
    return path;
}

std::optional<QUrl> resourceURL(const QString& name) {
    const std::optional<QString> path = resourcePath(name);
    if (!path) {
        return std::nullopt;
    }
    return QUrl::fromLocalFile(*path);
}

std::optional<QString> namedImage(const QString& name) {
    static constexpr std::array kExtensions = {"", ".png", ".svg", ".jpg", ".tiff", ".icns"};
    for (const char* extension : kExtensions) {
        const std::optional<QString> path = resourcePath(name + QLatin1String(extension));
        if (path && QFileInfo(*path).isFile()) {
            return path;
        }
    }
    log_message(3, QStringLiteral("Error: there is no named image with name: %1").arg(name));
    return std::nullopt;
}

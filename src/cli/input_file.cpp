// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input_file.h"

#include "ext/text.h"

#include <QFile>

#include <cstdio>

namespace {
// Far above any real report; keeps a mistaken input (a disk image, say) from
// exhausting memory.
constexpr qint64 kMaxInputBytes = qint64(64) * 1024 * 1024;
}  // namespace

std::optional<QByteArray> readInputFile(const QString& path, QString& error) {
    QFile file;
    bool opened = false;
    if (path == QLatin1String("-")) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        error = localized(QStringLiteral("cannot read %1: %2")).arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray data;
    while (true) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty()) {
            break;
        }
        if (data.size() + chunk.size() > kMaxInputBytes) {
            error = localized(QStringLiteral("cannot read %1: larger than %2 MiB"))
                        .arg(path)
                        .arg(kMaxInputBytes / (qint64(1024) * 1024));
            return std::nullopt;
        }
        data += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        error = localized(QStringLiteral("cannot read %1: %2")).arg(path, file.errorString());
        return std::nullopt;
    }
    return data;
}

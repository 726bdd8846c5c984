// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/info_dictionary.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace info_dictionary {
namespace {

// The real file is under a kilobyte; anything near this is not ours.
constexpr qint64 kMaxBytes = 1 << 20;

void setProblem(QString* problem, const QString& text) {
    if (problem != nullptr) {
        *problem = text;
    }
}

}  // namespace

QVariantMap parse(const QByteArray& bytes, QString* problem) {
    if (bytes.size() > kMaxBytes) {
        setProblem(problem, QStringLiteral("file too large"));
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        setProblem(problem, QStringLiteral("not valid JSON (%1 at offset %2)")
                                .arg(error.errorString())
                                .arg(error.offset));
        return {};
    }
    if (!doc.isObject()) {
        setProblem(problem, QStringLiteral("not a JSON object"));
        return {};
    }
    return doc.object().toVariantMap();
}

QVariantMap load(const QString& path, QString* problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setProblem(problem, QStringLiteral("cannot read %1 (%2)").arg(path, file.errorString()));
        return {};
    }
    const QByteArray bytes = file.read(kMaxBytes + 1);
    QString why;
    QVariantMap map = parse(bytes, &why);
    if (!why.isEmpty()) {
        setProblem(problem, QStringLiteral("%1: %2").arg(path, why));
    }
    return map;
}

}  // namespace info_dictionary

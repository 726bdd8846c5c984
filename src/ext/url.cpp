// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/url.h"

#include "ext/text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

std::optional<QString> localPath(const QUrl& url) {
    if (!url.isValid() || !url.isLocalFile()) {
        return std::nullopt;
    }
    return url.toLocalFile();
}

}  // namespace

bool fileExists(const QUrl& url) {
    const auto path = localPath(url);
    return path && fileExists(*path);
}

bool fileIsDirectory(const QUrl& url) {
    const auto path = localPath(url);
    return path && QFileInfo(*path).isDir();
}

bool fileIsAlias(const QUrl& url) {
    const auto path = localPath(url);
    return path && fileIsAlias(*path);
}

bool fileIsSymlink(const QUrl& url) {
    const auto path = localPath(url);
    return path && fileIsSymlink(*path);
}

std::optional<QList<QUrl>> directoryContents(const QUrl& url) {
    const auto path = localPath(url);
    if (!path) {
        return std::nullopt;
    }
    const auto names = directoryContents(*path);
    if (!names) {
        return std::nullopt;
    }
    QList<QUrl> out;
    out.reserve(names->size());
    const QDir folder(*path);
    for (const QString& name : *names) {
        out.append(QUrl::fromLocalFile(folder.filePath(name)));
    }
    return out;
}

QString fileChecksumSHA(const QUrl& url) {
    const auto path = localPath(url);
    QFile file(path.value_or(QString()));
    if (!path || !QFileInfo(*path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("NoFile");
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file)) {
        return QStringLiteral("NoFile");
    }
    return QString::fromLatin1(hash.result().toHex());
}

QUrl add(const QUrl& url, const QString& component) {
    QUrl out = url;
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    out.setPath(path + component);
    return out;
}

bool open(const QUrl& url) {
    if (!url.isValid()) {
        return false;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   {QString::fromUtf8(url.toEncoded())});
}

std::optional<QUrl> uniqueFile(const QUrl& url) {
    const auto path = localPath(url);
    if (!path) {
        return std::nullopt;
    }
    return QUrl::fromLocalFile(uniqueFile(*path));
}

std::optional<QUrl> httpsURL(const QString& server, const QString& path) {
    // Only the authority may come from the setting: a "/", "?", "#" or "@"
    // would move the request elsewhere on the server or carry a user.
    static const QRegularExpression kNotAuthority(QStringLiteral("[/?#@\\\\\\s]"));
    if (server.isEmpty() || server.contains(kNotAuthority) || server.endsWith(QLatin1Char(':'))) {
        return std::nullopt;
    }
    QUrl url(QStringLiteral("https://") + server, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.port() == 0) {
        return std::nullopt;
    }
    QString fullPath = path;
    if (!fullPath.isEmpty() && !fullPath.startsWith(QLatin1Char('/'))) {
        fullPath.prepend(QLatin1Char('/'));
    }
    url.setPath(fullPath, QUrl::DecodedMode);
    if (!url.isValid()) {
        return std::nullopt;
    }
    return url;
}

std::optional<QUrl> URLWithHost(const QString& server, const QString& path, const QString& query) {
    std::optional<QUrl> url = httpsURL(server, path);
    if (url && !query.isEmpty()) {
        // The characters a query may hold stay, except "+": a form decoder
        // reads a plain "+" as a blank, so it is sent encoded.
        const QByteArray encodedQuery = QUrl::toPercentEncoding(query, "!$&'()*,;=:@/?");
        url->setQuery(QString::fromLatin1(encodedQuery), QUrl::StrictMode);
        if (!url->isValid()) {
            return std::nullopt;
        }
    }
    return url;
}

std::optional<QByteArray> download(const QString& urlText) {
    const auto url = URL(urlText);
    if (!url) {
        return std::nullopt;
    }
    return download(*url);
}

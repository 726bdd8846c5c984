// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/modules.h"
#include "ext/network_module.h"
#include "ext/scheduling.h"
#include "ext/url.h"
#include "foundation/logging.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

using Outcome = NetworkModule::Reply;

Outcome failed(QString problem) {
    return {std::nullopt, std::move(problem)};
}

Outcome readLocalFile(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        return failed(QStringLiteral("cannot read the file"));
    }
    QByteArray bytes = file.read(kMaxDownloadBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return failed(file.errorString());
    }
    if (bytes.size() > kMaxDownloadBytes) {
        return failed(QStringLiteral("larger than %1 bytes").arg(kMaxDownloadBytes));
    }
    return {std::move(bytes), {}};
}

}  // namespace

std::optional<QByteArray> sendRequest(const HttpRequest& request, int* status) {
    const QUrl& url = request.url;
    const QString shown = url.toDisplayString(QUrl::RemoveQuery | QUrl::RemoveUserInfo);
    Outcome outcome;
    if (!url.isValid()) {
        outcome = failed(QStringLiteral("invalid URL"));
    } else if (url.isLocalFile()) {
        outcome = readLocalFile(url.toLocalFile());
    } else if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        outcome = failed(QStringLiteral("unsupported scheme"));
    } else if (QCoreApplication::instance() == nullptr) {
        outcome = failed(QStringLiteral("no application object for the network"));
    } else if (NetworkModule* network = networkModule(); network == nullptr) {
        outcome = failed(QStringLiteral("no network module"));
    } else {
        run_in_background_and_wait([&] {
            outcome = network->fetch(request);
            // The network objects left deletions for this thread's event
            // loop, which has ended; carry them out before the thread goes
            // back to the pool.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
    }
    if (status != nullptr) {
        *status = outcome.status;
    }
    if (!outcome.body) {
        log_message(7,
                    QStringLiteral("Info: request to %1 failed: %2").arg(shown, outcome.problem));
    }
    return outcome.body;
}

NetworkModule* networkModule() {
    static NetworkModule* const module =
        moduleInstance<NetworkModule>(kNetworkModuleName, kNetworkModuleEntry);
    return module;
}

HttpRequest request(const QUrl& url) {
    HttpRequest out;
    out.url = url;
    return out;
}

std::optional<QByteArray> download(const QUrl& url, int timeoutSeconds) {
    HttpRequest get = request(url);
    get.timeoutSeconds = timeoutSeconds;
    return sendRequest(get);
}

std::optional<QByteArray> contents(const QUrl& url) {
    return download(url);
}

void performPOST(const QUrl& url,
                 std::function<void(const std::optional<QByteArray>&)> completion) {
    HttpRequest post = request(url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment));
    post.method = "POST";
    post.body = url.query(QUrl::FullyEncoded).toUtf8();
    post.headers.append(
        qMakePair(QByteArray("Content-Type"), QByteArray("application/x-www-form-urlencoded")));
    run_in_background([post = std::move(post), completion = std::move(completion)] {
        const std::optional<QByteArray> body = sendRequest(post);
        if (completion) {
            completion(body);
        }
    });
}

#include "ext/scheduling.h"
#include "ext/url.h"
#include "foundation/logging.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

struct Outcome {
    std::optional<QByteArray> body;
    QString problem;
    int status = 0;
};

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

// Runs on the thread that called it, which must not be the main thread: it
// spins an event loop of its own until the reply has finished.
Outcome fetch(const HttpRequest& request) {
    QNetworkAccessManager manager;
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest networkRequest(request.url);
    networkRequest.setTransferTimeout(std::max(1, request.timeoutSeconds) * 1000);
    for (const auto& [name, value] : request.headers) {
        networkRequest.setRawHeader(name, value);
    }

    QNetworkReply* reply = nullptr;
    if (request.method == "GET") {
        reply = manager.get(networkRequest);
    } else if (request.method == "POST") {
        reply = manager.post(networkRequest, request.body);
    } else {
        reply = manager.sendCustomRequest(networkRequest, request.method, request.body);
    }

    QByteArray body;
    QString problem;
    const auto refuse = [&](const QString& why) {
        if (problem.isEmpty()) {
            problem = why;
            reply->abort();
        }
    };
    const QString tooLarge =
        QStringLiteral("the body is larger than %1 bytes").arg(kMaxDownloadBytes);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxDownloadBytes) {
            refuse(tooLarge);
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        body += reply->read(kMaxDownloadBytes + 1 - body.size());
        if (body.size() > kMaxDownloadBytes) {
            refuse(tooLarge);
        }
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    if (problem.isEmpty()) {
        body += reply->read(kMaxDownloadBytes + 1 - body.size());
        if (body.size() > kMaxDownloadBytes) {
            problem = tooLarge;
        }
    }

    Outcome outcome;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool decoded = !reply->rawHeader("Content-Encoding").isEmpty();
    if (!problem.isEmpty()) {
        outcome = failed(problem);
    } else if (reply->error() != QNetworkReply::NoError) {
        outcome = failed(reply->errorString());
    } else if (status < 200 || status > 299) {
        outcome = failed(QStringLiteral("HTTP status %1").arg(status));
    } else if (!decoded && length.isValid() && length.toLongLong() != body.size()) {
        // Guards against a connection that closed early without an error.
        outcome = failed(QStringLiteral("the body ended after %1 of %2 bytes")
                             .arg(body.size())
                             .arg(length.toLongLong()));
    } else {
        outcome.body = std::move(body);
    }
    outcome.status = status;
    delete reply;
    return outcome;
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
    } else {
        run_in_background_and_wait([&] {
            outcome = fetch(request);
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

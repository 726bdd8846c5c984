// SPDX-License-Identifier: GPL-3.0-or-later
// The network module: HTTP and host-name lookups on Qt Network, SMTP on
// libcurl, kept out of the program's own binary so that Qt Network, libcurl
// and the libraries they bring are mapped only in a process that uses the
// network.
#include "ext/network_module.h"
#include "network/smtp_client.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace {

class QtNetworkModule final : public NetworkModule {
  public:
    Reply fetch(const HttpRequest& request) override;
    bool resolves(const QString& host) override;
    QString sendMail(const SmtpRequest& request) override { return sendSmtpMail(request); }
};

NetworkModule::Reply failed(QString problem) {
    return {std::nullopt, std::move(problem)};
}

NetworkModule::Reply QtNetworkModule::fetch(const HttpRequest& request) {
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
    // A reply that failed (a time-out, a refused connection) is closed, and
    // reading it would only warn on stderr.
    if (problem.isEmpty() && reply->isOpen()) {
        body += reply->read(kMaxDownloadBytes + 1 - body.size());
        if (body.size() > kMaxDownloadBytes) {
            problem = tooLarge;
        }
    }

    Reply outcome;
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

bool QtNetworkModule::resolves(const QString& host) {
    if (host.isEmpty()) {
        return false;
    }
    const QHostInfo info = QHostInfo::fromName(host);
    return info.error() == QHostInfo::NoError && !info.addresses().isEmpty();
}

}  // namespace

extern "C" Q_DECL_EXPORT NetworkModule* ostrivane_network_module() {
    static QtNetworkModule module;
    return &module;
}

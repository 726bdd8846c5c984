// SPDX-License-Identifier: GPL-3.0-or-later
#include "http_test_server.h"

#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// The request is complete once its headers and Content-Length bytes arrived.
bool isComplete(const QByteArray& request) {
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0) {
        return false;
    }
    qsizetype length = 0;
    for (const QByteArray& line : request.left(end).split('\n')) {
        if (line.toLower().startsWith("content-length:")) {
            length = line.mid(15).trimmed().toLongLong();
        }
    }
    return request.size() >= end + 4 + length;
}

}  // namespace

QByteArray httpResponse(int status, const QByteArray& body, const QByteArray& extraHeaders) {
    return "HTTP/1.1 " + QByteArray::number(status) +
           " X\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

TestHttpServer::TestHttpServer(Responder responder, QSslCertificate certificate, QSslKey key)
    : responder_(std::move(responder)), certificate_(std::move(certificate)), key_(std::move(key)) {
    start();
    listening_.acquire();
}

TestHttpServer::~TestHttpServer() {
    quit();
    wait();
}

QByteArray TestHttpServer::lastRequest() const {
    const QMutexLocker lock(&mutex_);
    return lastRequest_;
}

bool TestHttpServer::waitForRequest(int ms) {
    return requests_.tryAcquire(1, ms);
}

void TestHttpServer::run() {
    std::unique_ptr<QTcpServer> server;
    if (certificate_.isNull()) {
        server = std::make_unique<QTcpServer>();
    } else {
        auto tls = std::make_unique<QSslServer>();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(certificate_);
        configuration.setPrivateKey(key_);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);  // no client certificates
        tls->setSslConfiguration(configuration);
        server = std::move(tls);
    }
    server->listen(QHostAddress::LocalHost, 0);
    port_ = server->serverPort();
    QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, server.get(), [&] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!isComplete(*buffer)) {
                    return;
                }
                {
                    const QMutexLocker lock(&mutex_);
                    lastRequest_ = *buffer;
                }
                requests_.release();
                const QByteArray answer = responder_(*buffer);
                if (!answer.isEmpty()) {
                    socket->write(answer);
                    socket->disconnectFromHost();
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    listening_.release();
    exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslKey>
#include <QThread>

#include <functional>

// A one-purpose HTTP/1.1 server on 127.0.0.1 for tests, on a thread of its
// own: the thread that sends a blocking request waits without running events.
// Each complete request is handed to the responder, whose bytes are written
// back before the connection closes; an empty answer leaves the connection
// open without a word.
class TestHttpServer : public QThread {
  public:
    using Responder = std::function<QByteArray(const QByteArray& request)>;

    // With a certificate and key the server speaks TLS.
    explicit TestHttpServer(Responder responder, QSslCertificate certificate = QSslCertificate(),
                            QSslKey key = QSslKey());
    ~TestHttpServer() override;

    quint16 port() const { return port_; }
    QByteArray lastRequest() const;
    // Waits until a request arrived; false after the time-out.
    bool waitForRequest(int ms);

  protected:
    void run() override;

  private:
    Responder responder_;
    QSslCertificate certificate_;
    QSslKey key_;
    quint16 port_ = 0;
    QSemaphore listening_;
    QSemaphore requests_;
    mutable QMutex mutex_;
    QByteArray lastRequest_;
};

QByteArray httpResponse(int status, const QByteArray& body,
                        const QByteArray& extraHeaders = QByteArray());

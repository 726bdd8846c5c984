// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "delivery/relay_services.h"
#include "http_test_server.h"
#include "test_certificate_authority.h"

#include <QMutex>

// A mail relay on 127.0.0.1 over TLS, answering each request from a script and
// keeping the requests it saw. The last answer repeats: the network layer
// retries a request once when a connection ends without a valid reply.
class TestMailRelay {
  public:
    TestMailRelay(TestCertificateAuthority& authority, QList<QByteArray> answers);

    // Where the sender finds this relay.
    RelayConfig config() const;
    QList<QByteArray> requests() const;

  private:
    mutable QMutex mutex_;
    QList<QByteArray> answers_;
    QList<QByteArray> requests_;
    TestHttpServer server_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_mail_relay.h"

#include <QMutexLocker>

TestMailRelay::TestMailRelay(TestCertificateAuthority& authority, QList<QByteArray> answers)
    : answers_(std::move(answers)),
      server_(
          [this](const QByteArray& request) {
              QMutexLocker lock(&mutex_);
              requests_.append(request);
              if (answers_.isEmpty()) {
                  return httpResponse(200, "SUCC");
              }
              return answers_.size() > 1 ? answers_.takeFirst() : answers_.first();
          },
          authority.serverCertificate(), authority.serverKey()) {}

RelayConfig TestMailRelay::config() const {
    return {QStringLiteral("127.0.0.1:%1").arg(server_.port()), QUrl(),
            QStringLiteral("t@example.com"), 7};
}

QList<QByteArray> TestMailRelay::requests() const {
    QMutexLocker lock(&mutex_);
    return requests_;
}

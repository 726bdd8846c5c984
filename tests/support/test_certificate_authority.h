// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>

// A throw-away certificate authority and a server certificate for 127.0.0.1
// signed by it, made with openssl. trust() adds the authority to the
// process's default TLS configuration (verification stays on); the original
// configuration comes back when this object goes.
class TestCertificateAuthority {
  public:
    TestCertificateAuthority();
    ~TestCertificateAuthority();
    TestCertificateAuthority(const TestCertificateAuthority&) = delete;
    TestCertificateAuthority& operator=(const TestCertificateAuthority&) = delete;

    // False when openssl is missing or failed.
    bool ready() const { return !ca_.isNull() && !key_.isNull(); }
    QSslCertificate serverCertificate() const { return certificate_; }
    QSslKey serverKey() const { return key_; }
    void trust();

  private:
    QTemporaryDir dir_;
    QSslCertificate ca_;
    QSslCertificate certificate_;
    QSslKey key_;
    QSslConfiguration original_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_certificate_authority.h"

#include "ext/list.h"

#include <QFile>

TestCertificateAuthority::TestCertificateAuthority()
    : original_(QSslConfiguration::defaultConfiguration()) {
    if (!QFile::exists(QStringLiteral("/usr/bin/openssl")) || !dir_.isValid()) {
        return;
    }
    const QString d = dir_.path();
    int status = -1;
    runAsTaskWithTerminationStatus(
        {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
         QStringLiteral("cd ") + d +
             QStringLiteral(
                 "; openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                 "-keyout ca.key -out ca.crt -days 1 -subj /CN=TestCA && "
                 "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                 "-keyout srv.key -out srv.csr -subj /CN=127.0.0.1 && "
                 "printf 'subjectAltName=IP:127.0.0.1\\n' > san.cnf && "
                 "openssl x509 -req -in srv.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                 "-out srv.crt -days 1 -extfile san.cnf")},
        &status, false);
    if (status != 0) {
        return;
    }
    ca_ = QSslCertificate::fromPath(d + QStringLiteral("/ca.crt")).value(0);
    certificate_ = QSslCertificate::fromPath(d + QStringLiteral("/srv.crt")).value(0);
    QFile keyFile(d + QStringLiteral("/srv.key"));
    if (keyFile.open(QIODevice::ReadOnly)) {
        key_ = QSslKey(keyFile.readAll(), QSsl::Ec);
    }
}

TestCertificateAuthority::~TestCertificateAuthority() {
    QSslConfiguration::setDefaultConfiguration(original_);
}

void TestCertificateAuthority::trust() {
    QSslConfiguration configuration = original_;
    configuration.addCaCertificate(ca_);
    QSslConfiguration::setDefaultConfiguration(configuration);
}

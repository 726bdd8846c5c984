// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/network_relay.h"

#include "ext/network_module.h"
#include "ext/url.h"
#include "foundation/wendle_lib.h"

#include <cmath>

bool SystemNameResolver::resolves(const QString& host) {
    NetworkModule* network = networkModule();
    return !host.isEmpty() && network != nullptr && network->resolves(host);
}

std::optional<QByteArray> NetworkRelayTransport::download(const QUrl& url) {
    if (!url.isValid() || url.isEmpty()) {
        return std::nullopt;
    }
    return ::download(url);
}

RelayReply NetworkRelayTransport::postForm(const QUrl& url, const QByteArray& form,
                                           double timeoutSeconds) {
    HttpRequest post = request(url);
    post.method = "POST";
    post.body = form;
    post.headers.append(
        qMakePair(QByteArray("Content-Type"), QByteArray("application/x-www-form-urlencoded")));
    post.timeoutSeconds = std::max(1, int(std::ceil(timeoutSeconds)));
    int status = 0;
    const std::optional<QByteArray> body = sendRequest(post, &status);
    return RelayReply{body.has_value(), status, body.value_or(QByteArray())};
}

RelayConfig relayConfigFromInstallation() {
    const WendleLib& lib = WendleLib::shared();
    const QVariantMap info = lib.infoDictionary();
    RelayConfig config;
    config.relayHost = info.value(QStringLiteral("WendleRelayHost")).toString();
    config.blocklistURL = QUrl(info.value(QStringLiteral("WendleBlocklistURL")).toString());
    config.deliveryTestRecipient =
        info.value(QStringLiteral("WendleDeliveryTestRecipient")).toString();
    config.buildNumber = lib.appBuildNumber();
    return config;
}

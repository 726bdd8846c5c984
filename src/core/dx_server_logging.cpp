// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dx_server_logging.h"

#include "ext/url.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"
#include "foundation/settings_store.h"

#include <QCryptographicHash>
#include <QUuid>

namespace {

const QString kUdidKey = QStringLiteral("QPLUDID");
const QString kTokenPrefix = QStringLiteral("QPL");

bool keptUnencoded(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Number_DecimalDigit:
        case QChar::Number_Letter:
        case QChar::Number_Other:
            return true;
        default:
            return false;
    }
}

}  // namespace

DXServerLogging::DXServerLogging(QString reportHost, QString appName, Services services)
    : reportHost_(std::move(reportHost)),
      appName_(std::move(appName)),
      services_(std::move(services)) {}

DXServerLogging& DXServerLogging::shared() {
    static DXServerLogging instance(
        QString(), QString(),
        {[] { return false; }, [](std::function<void()> job) { job(); }, [](const QUrl&) {}});
    return instance;
}

void DXServerLogging::configureShared(QString reportHost, QString appName, Services services) {
    DXServerLogging& instance = shared();
    instance.reportHost_ = std::move(reportHost);
    instance.appName_ = std::move(appName);
    instance.services_ = std::move(services);
}

void DXServerLogging::initialize() {
    if (defaultString(kUdidKey).value_or(QString()).isEmpty()) {
        setDefaultString(kUdidKey, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    }
}

void DXServerLogging::clearOnceTokens() {
    for (const QString& key : SettingsStore::shared().keys()) {
        if (key.startsWith(kTokenPrefix)) {
            removeDefault(key);
        }
    }
}

bool DXServerLogging::logged(const QString& onceToken) {
    return defaultInt(kTokenPrefix + onceToken) > 0;
}

void DXServerLogging::log(const QString& value, const QString& file, const QString& once) {
    services_.runInBackground([this, value, file, once] {
        if (!services_.isOnline()) {
            return;
        }
        const QString key =
            kTokenPrefix +
            (once.isNull()
                 ? QString::fromLatin1(
                       QCryptographicHash::hash(value.toUtf8(), QCryptographicHash::Sha1).toHex())
                 : once);
        if (defaultInt(key) == 0) {
            send(value, file);
            // Not waiting for the post's outcome: a failed post is not repeated.
            setDefaultInt(key, 1);
        }
    });
}

void DXServerLogging::log(const QString& value, const QString& file) {
    services_.runInBackground([this, value, file] {
        if (services_.isOnline()) {
            send(value, file);
        }
    });
}

QString DXServerLogging::encodeValue(const QString& value) {
    QString encoded;
    encoded.reserve(value.size());
    for (const char32_t c : value.toUcs4()) {
        if (keptUnencoded(c)) {
            encoded += QString::fromUcs4(&c, 1);
            continue;
        }
        const QByteArray bytes = QString::fromUcs4(&c, 1).toUtf8();
        for (char byte : bytes) {
            encoded += QLatin1Char('%');
            encoded +=
                QString::number(quint8(byte), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        }
    }
    return encoded;
}

qint32 DXServerLogging::token(const QString& encodedValue, const QString& kind) {
    const auto n = [](const QString& text, char c) { return qint32(text.count(QLatin1Char(c))); };
    const qint32 a = n(encodedValue, 'a');
    const qint32 e = n(encodedValue, 'e');
    const qint32 i = n(encodedValue, 'i');
    const qint32 o = n(encodedValue, 'o');
    const qint32 p = n(encodedValue, '%');
    const qint32 ku = n(kind, 'u');
    const qint32 ke = n(kind, 'e');
    const qint32 ki = n(kind, 'i');
    const qint32 kf = n(kind, 'f');
    const qint32 kn = n(kind, 'n');
    return a + 4 * i - o + ku - kf + 3 * (e + ke) - kn + 2 * (p + ki);
}

QString DXServerLogging::query(const QString& value, const QString& kind, const QString& udid) {
    const QString encoded = encodeValue(value);
    return QStringLiteral("value=%1&kind=%2&token=%3&udid=%4")
        .arg(encoded, kind, QString::number(token(encoded, kind)), udid);
}

void DXServerLogging::send(const QString& value, const QString& kind) {
    const QString q = query(value, kind, defaultString(kUdidKey).value_or(QString()));
    if (reportHost_.isEmpty()) {
        log_message(7,
                    QStringLiteral("Info: no report host configured, report dropped: %1").arg(q));
        return;
    }
    const std::optional<QUrl> url = URLWithHost(
        reportHost_, QStringLiteral("/cgi-bin/%1/report.cgi").arg(appName_.toLower()), q);
    if (!url) {
        log_message(3, QStringLiteral("Error:    report host '%1' is invalid, report dropped")
                           .arg(reportHost_));
        return;
    }
    services_.post(*url);
}

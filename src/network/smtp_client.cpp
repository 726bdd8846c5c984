// SPDX-License-Identifier: GPL-3.0-or-later
#include "network/smtp_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

struct Upload {
    const QByteArray& data;
    qsizetype sent = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* userdata) {
    auto* upload = static_cast<Upload*>(userdata);
    const qsizetype room = qsizetype(std::min<size_t>(size * count, 1 << 20));
    const qsizetype n = std::min(room, upload->data.size() - upload->sent);
    std::memcpy(buffer, upload->data.constData() + upload->sent, size_t(n));
    upload->sent += n;
    return size_t(n);
}

// Keeps the server's last refusal for the failure message. Only what the
// server sends is looked at: the client's lines carry the credentials.
int watchServer(CURL*, curl_infotype type, char* data, size_t size, void* userdata) {
    if (type == CURLINFO_HEADER_IN) {
        // The last refusal (4xx, 5xx) says why; the closing "221 Bye" does not.
        const QByteArray line = QByteArray(data, qsizetype(std::min<size_t>(size, 512))).trimmed();
        if (line.startsWith('4') || line.startsWith('5')) {
            *static_cast<QByteArray*>(userdata) = line;
        }
    }
    return 0;
}

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

QString sendSmtpMail(const SmtpRequest& request) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    const QByteArray url = request.url.toUtf8();
    if (!url.startsWith("smtp://") && !url.startsWith("smtps://")) {
        return QStringLiteral("the mail server '%1' is not an smtp:// or smtps:// address")
            .arg(request.url);
    }
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        return QStringLiteral("libcurl could not start");
    }
    CURL* c = curl.get();
    std::unique_ptr<curl_slist, ListDeleter> recipients;
    for (const QString& address : request.recipients) {
        const QByteArray bracketed = '<' + address.toUtf8() + '>';
        curl_slist* grown = curl_slist_append(recipients.get(), bracketed.constData());
        if (grown == nullptr) {
            return QStringLiteral("out of memory");
        }
        recipients.release();
        recipients.reset(grown);
    }
    const QByteArray from = '<' + request.from.toUtf8() + '>';
    const QByteArray user = request.user.toUtf8();
    QByteArray password = request.password.toUtf8();
    const QByteArray caFile = request.caFile.toUtf8();
    Upload upload{request.message};
    QByteArray lastAnswer;
    char error[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // STARTTLS is required, never optional: a server that does not offer it
    // gets nothing, credentials least of all.
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    }
    if (!user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(request.message.size()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, long(std::max(1, request.timeoutSeconds)));
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, watchServer);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &lastAnswer);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);

    const CURLcode result = curl_easy_perform(c);
    password.fill('\0');
    if (result == CURLE_OK) {
        return {};
    }
    QString reason = QString::fromUtf8(error[0] != '\0' ? error : curl_easy_strerror(result));
    if (!lastAnswer.isEmpty()) {
        reason += QStringLiteral(" (server: %1)").arg(QString::fromUtf8(lastAnswer));
    }
    return reason;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on URLs: file tests on file URLs, and HTTP.
//
// HTTP requests run on Qt Network, in the network module (network_module.h)
// loaded on the first request. A blocking request gets its own network
// access manager on a background thread with that thread's own event loop;
// the calling thread only waits, so no timer or action runs inside it
// meanwhile. Network objects exist only while a request runs. HTTPS always
// verifies the server's certificate against the process's default SSL
// configuration (QSslConfiguration::defaultConfiguration), and redirects to a
// less safe scheme (https to http) are refused. Bodies above kMaxDownloadBytes
// are refused rather than held in memory.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

// 64 MiB: nothing this program fetches (feeds, lists, pages) comes near it.
inline constexpr qint64 kMaxDownloadBytes = 64LL * 1024 * 1024;
// The longest pause in a transfer before it is abandoned.
inline constexpr int kDefaultTransferTimeoutSeconds = 60;

// Path tests; a URL that is not a file URL tests false.
bool fileExists(const QUrl& url);
bool fileIsDirectory(const QUrl& url);
bool fileIsAlias(const QUrl& url);
bool fileIsSymlink(const QUrl& url);
// The folder's entries as file URLs; absent for no file URL or no folder.
std::optional<QList<QUrl>> directoryContents(const QUrl& url);
// SHA-1 of the file's contents, or "NoFile".
QString fileChecksumSHA(const QUrl& url);
// The URL with one more path component.
QUrl add(const QUrl& url, const QString& component);
// Hands the URL to the desktop (xdg-open): browser, mail program or the
// application that opens the file. False when that could not be started.
bool open(const QUrl& url);
// uniqueFile of a file URL's path, as a file URL; absent for other URLs.
std::optional<QUrl> uniqueFile(const QUrl& url);

// The whole body of an http, https or file URL, blocking the caller; absent
// on any failure: no connection, an HTTP status outside 200-299, a body cut
// short, a pause longer than the time-out, a body over kMaxDownloadBytes.
std::optional<QByteArray> download(const QUrl& url,
                                   int timeoutSeconds = kDefaultTransferTimeoutSeconds);
// The same as download.
std::optional<QByteArray> contents(const QUrl& url);

// A plain request, described so it can be sent by postRequest/sendRequest.
struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int timeoutSeconds = kDefaultTransferTimeoutSeconds;
};
HttpRequest request(const QUrl& url);

// Sends the request and blocks the caller until the reply's body (absent on
// failure, as for download). `status`, when given, receives the HTTP status
// (0 when there was no HTTP answer).
std::optional<QByteArray> sendRequest(const HttpRequest& request, int* status = nullptr);

// Posts the URL's query as a form to the URL without its query, without
// waiting: method "POST", body = the percent-encoded query, header
// "Content-Type: application/x-www-form-urlencoded". The completion (if any)
// gets the reply's body or absent, on a background thread.
void performPOST(const QUrl& url,
                 std::function<void(const std::optional<QByteArray>&)> completion = {});

// "https://server/path" for a configured server "host" or "host:port" (an
// IPv6 address in brackets); absent when the text is anything else, such as
// an empty or invalid host, a port outside 1-65535, or a path or user part.
// Every configured server (relay, reports) is read by this one rule.
std::optional<QUrl> httpsURL(const QString& server, const QString& path);
// "https://server/path?query" (server as for httpsURL), the query
// percent-encoded for a query except that every "+" is sent as "%2B", so a
// form decoder reads a plus and not a blank. Absent when the server is not
// valid.
std::optional<QUrl> URLWithHost(const QString& server, const QString& path, const QString& query);

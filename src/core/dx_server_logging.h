// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"

#include <QString>
#include <QUrl>

#include <functional>

// Short anonymous reports to the maker's report script: drive data of
// solid-state drives, changes in a drive's S.M.A.R.T. availability and a few
// application events. Fire and forget, composed and posted in the
// background; a report can be limited to once per installation by a
// once-token kept in the settings store.
class DXServerLogging final : public ServerReports {
  public:
    struct Services {
        // Whether the machine is online; offline reports are dropped.
        std::function<bool()> isOnline;
        // Runs a job on the background queue.
        std::function<void(std::function<void()>)> runInBackground;
        // Posts the address's query as a form, ignoring the reply.
        std::function<void(const QUrl&)> post;
    };

    // An empty report host: reports are composed, logged at debug level and dropped.
    DXServerLogging(QString reportHost, QString appName, Services services);

    // The process's report service. It drops every report until the program
    // configures it at start-up with the report host and its services.
    static DXServerLogging& shared();
    static void configureShared(QString reportHost, QString appName, Services services);

    // Creates the installation identifier "QPLUDID" when there is none.
    static void initialize();
    // Removes every once-token (and the installation identifier).
    static void clearOnceTokens();

    bool logged(const QString& onceToken) override;
    // An absent (null) once-token makes the value's SHA-1 the token.
    void log(const QString& value, const QString& file, const QString& once) override;
    void log(const QString& value, const QString& file) override;

    // Letters, marks and digits stay; every other character becomes the
    // percent escapes of its UTF-8 bytes.
    static QString encodeValue(const QString& value);
    static qint32 token(const QString& encodedValue, const QString& kind);
    static QString query(const QString& value, const QString& kind, const QString& udid);

  private:
    void send(const QString& value, const QString& kind);

    QString reportHost_;
    QString appName_;
    Services services_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// E-mail through the administrator's own means instead of the maker's relay:
// their SMTP server, the system's sendmail, or a program of theirs.
struct OwnMailSettings {
    enum class Transport { Relay, Smtp, Sendmail, Exec };
    Transport transport = Transport::Relay;
    QString transportName;  // as set, for messages
    QString sender;         // From; empty: ostrivane@ this host's name
    QString smtpServer;     // smtps://host[:port] or smtp://host[:port]
    QString smtpUser;
    QString passwordFile;  // mode 0600 at most; empty: the systemd credential
    QString caFile;
    QString sendmailPath;  // empty: sendmail on PATH, then /usr/sbin/sendmail
    QString program;       // for exec

    // The maker's relay: no transport set, or "relay".
    bool usesRelay() const;
};

// The settings NotificationEmailTransport, NotificationEmailSender,
// NotificationSMTPServer, NotificationSMTPUser, NotificationSMTPPasswordFile,
// NotificationSMTPCAFile, NotificationSendmailPath and NotificationEmailProgram.
// An unknown transport name is kept in transportName and fails every send.
OwnMailSettings ownMailSettingsFromDefaults();

// The name of the systemd credential holding the SMTP password.
inline constexpr char kSmtpPasswordCredential[] = "ostrivane-smtp-password";

// The secret in the file without its final line break. Refused, with the
// reason in `problem`, when the file cannot be read, is not a regular file,
// or grants any access to its group or to others.
std::optional<QString> readSecretFile(const QString& path, QString& problem);

// The password for the settings: the password file, or the systemd credential
// in $CREDENTIALS_DIRECTORY when no file is set; an empty text when neither
// is there (no authentication), nothing (with `problem`) when one is refused.
std::optional<QString> smtpPassword(const OwnMailSettings& settings, QString& problem);

// A plain-text message with From, To, Subject (encoded when not ASCII), Date,
// Message-ID and MIME headers, each line ending in `lineEnd`. Line breaks in
// the header values are removed; the body's line breaks become `lineEnd`.
QByteArray composeMessage(const QString& from, const QStringList& recipients,
                          const QString& subject, const QString& body, const QDateTime& date,
                          const QByteArray& lineEnd);

// Sends through the chosen own transport. Empty on success, otherwise the
// reason (the server's or the program's, when it gave one). Never contains
// the password.
QString sendOwnMail(const OwnMailSettings& settings, const QStringList& recipients,
                    const QString& subject, const QString& body, int timeoutSeconds);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The texts of support requests, problem reports and beta-test requests, and
// the mailto address that carries one to the user's e-mail program.

// What a message tells the maker about the program and the machine.
struct ReportFacts {
    QString appName;
    QString versionString;
    qint32 build = 0;
    QString checksum;
    // The hardware model; empty when unknown.
    QString hardware;
    QString software;
    // SHA-1 of the hardware address, or "N/A" when unknown.
    QString deviceId = QStringLiteral("N/A");
    bool admin = true;
    QString preferencesBase64;

    // The running program's facts, with the host's where they are known.
    static ReportFacts forRunningApp(const QString& hardware, const QString& macAddress,
                                     bool admin);
};

struct MailMessage {
    QString recipient;
    QString subject;
    QString body;
};

namespace ProblemReport {

// Mail programs and the desktop's opener take addresses up to about this
// many bytes; a longer body is cut (see mailtoAddress).
inline constexpr qsizetype kMailtoLimit = 32 * 1024;
// What ends a text that was cut short.
inline constexpr char16_t kOmissionNote[] = u"  …\n(Remaining message omitted)";

// The details as the dialog shows them: beyond 400 characters, the first 400
// and the omission note.
QString shownDetails(const QString& details);
QString dialogText(const QString& message, const QString& details);

MailMessage supportRequest(const ReportFacts& facts, const QString& recipient, const QString& text,
                           bool withPreferences);
MailMessage problemReport(const ReportFacts& facts, const QString& recipient,
                          const QString& message, const QString& details, bool fatal);
MailMessage betaRequest(const QString& appName, const QString& recipient);

// A header field's value (recipient, subject, body) as a mailto address
// carries it: everything but letters, digits, "-._~" and "!$'()*,;:@" is
// escaped, so no character of the text ends the field.
QByteArray fieldEncoded(const QString& text);
// "mailto:R?subject=S&body=B", each field encoded. Beyond `limit` bytes the body keeps
// as many whole characters (grapheme clusters) as fit with the omission note,
// so no escape and no character is ever split.
QByteArray mailtoAddress(const MailMessage& mail, qsizetype limit = kMailtoLimit);
// The message as plain text, for the clipboard when no mail program opens it.
QString plainText(const MailMessage& mail);

}  // namespace ProblemReport

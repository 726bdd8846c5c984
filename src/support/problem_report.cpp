// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/problem_report.h"

#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/wendle_lib.h"

#include <QFile>
#include <QSysInfo>
#include <QTextBoundaryFinder>
#include <QUrl>

namespace ProblemReport {

namespace {

constexpr qsizetype kShownDetails = 400;

QString subject(const ReportFacts& facts, const QString& kind) {
    return QStringLiteral("%1 v%2 (%3) %4 (Checksum: %5)")
        .arg(facts.appName, facts.versionString, QString::number(facts.build), kind,
             facts.checksum);
}

}  // namespace

QString shownDetails(const QString& details) {
    if (details.size() <= kShownDetails) {
        return details;
    }
    return details.left(kShownDetails) + QString::fromUtf16(kOmissionNote);
}

QString dialogText(const QString& message, const QString& details) {
    return QStringLiteral(
               "%1\n\n You can contact our support with detailed information so that we can fix "
               "this problem.\n\nInformation: %2")
        .arg(message, shownDetails(details));
}

MailMessage supportRequest(const ReportFacts& facts, const QString& recipient, const QString& text,
                           bool withPreferences) {
    const QString preferences =
        withPreferences ? QStringLiteral("Preferences (BASE64): %1").arg(facts.preferencesBase64)
                        : QString();
    // Placeholders are filled in one pass: the request text may hold "%1".
    const QString body =
        QStringLiteral("%1\n\n\n\nP.S: Hardware: %2 Software: %3 UDID: %4\n%5\n%6")
            .arg(text, facts.hardware, facts.software, facts.deviceId, preferences, QString());
    return {recipient, subject(facts, QStringLiteral("Support Request")), body};
}

MailMessage problemReport(const ReportFacts& facts, const QString& recipient,
                          const QString& message, const QString& details, bool fatal) {
    const QString body =
        QStringLiteral(
            "Hello\nA %1 error in %2 occurred (%3).\n\nBye\n\nP.S. Details: %4\n\n\nP.P.S: "
            "Hardware: %5 Software: %6 Admin: %7\n\nPreferences: %8\n")
            .arg(fatal ? QStringLiteral("fatal") : QString(), facts.appName, message, details,
                 facts.hardware, facts.software,
                 facts.admin ? QStringLiteral("1") : QStringLiteral("0"), facts.preferencesBase64);
    return {recipient, subject(facts, QStringLiteral("Problem Report")), body};
}

MailMessage betaRequest(const QString& appName, const QString& recipient) {
    return {recipient, appName + QStringLiteral(" Beta Versions"),
            QStringLiteral("Hello\nI would like to test upcoming beta versions of %1.\nBye\n")
                .arg(appName)};
}

QByteArray fieldEncoded(const QString& text) {
    // Only what a header value may hold as it stands: "&", "=", "?", "/",
    // "#", "+" and "%" would end the field, start another or be read as a
    // blank by some mail programs, so they travel escaped.
    return QUrl::toPercentEncoding(text, "!$'()*,;:@");
}

QByteArray mailtoAddress(const MailMessage& mail, qsizetype limit) {
    const QByteArray head = "mailto:" + fieldEncoded(mail.recipient) +
                            "?subject=" + fieldEncoded(mail.subject) + "&body=";
    const QByteArray body = fieldEncoded(mail.body);
    if (head.size() + body.size() <= limit) {
        return head + body;
    }
    // Encoding works character by character, so the encoded body is the
    // concatenation of its characters' encodings: add whole ones while they fit.
    const QByteArray note = fieldEncoded(QString::fromUtf16(kOmissionNote));
    const qsizetype room = limit - head.size() - note.size();
    QByteArray kept;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, mail.body);
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        const QByteArray piece = fieldEncoded(mail.body.mid(start, end - start));
        if (kept.size() + piece.size() > room) {
            break;
        }
        kept += piece;
        start = end;
    }
    return head + kept + note;
}

QString plainText(const MailMessage& mail) {
    return QStringLiteral("To: %1\nSubject: %2\n\n%3").arg(mail.recipient, mail.subject, mail.body);
}

}  // namespace ProblemReport

ReportFacts ReportFacts::forRunningApp(const QString& hardware, const QString& macAddress,
                                       bool admin) {
    const WendleLib& lib = WendleLib::shared();
    ReportFacts facts;
    facts.appName = lib.appName();
    facts.versionString = lib.appVersionString();
    facts.build = lib.appBuildNumber();
    facts.checksum = lib.appChecksumIncludingFrameworksSHA();
    facts.hardware = hardware;
    facts.software = QSysInfo::prettyProductName();
    facts.deviceId = macAddress.isEmpty() ? QStringLiteral("N/A") : SHA1(macAddress);
    facts.admin = admin;
    // The file is read as it stands once pending writes have reached it.
    synchronize();
    QFile prefs(lib.prefsPath());
    if (prefs.open(QIODevice::ReadOnly)) {
        facts.preferencesBase64 = QString::fromLatin1(prefs.readAll().toBase64());
    }
    return facts;
}

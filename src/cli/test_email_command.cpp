// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/test_email_command.h"

#include "app/settings_defaults.h"
#include "cli/exit_codes.h"
#include "delivery/dx_email_sender.h"
#include "ext/text.h"
#include "foundation/defaults.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

const char* const kHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli test-email [--to ADDRESSES]

Sends the test e-mail ("Ostrivane Email Test") to the addresses of the
setting NotificationUseEmailAddress, or to the given ones, through the
transport of the setting NotificationEmailTransport (the mail relay by
default; smtp, sendmail or exec), and prints the result: Success, CGI Failure,
MailCore Failure (the own transport failed; the reason follows on standard
error), No Valid Recipient, Blocked e-mail address, Blocked e-mail host or
Unreachable host. Without a relay host, the relay answers "CGI Failure: no
relay configured".

Options:
  --to ADDRESSES   recipients, separated by commas; may be repeated
  -h, --help       show this help

Exit status: 0 when the relay or the own transport accepted the message, 1
otherwise, 64 for a usage error.
)");

// The names DXEmailSender::resultName() gives, marked so that the result is
// shown in the user's language; the sender and its log keep them in English.
[[maybe_unused]] const char* const kResultNames[] = {
    QT_TRANSLATE_NOOP("Localizable", "Success"),
    QT_TRANSLATE_NOOP("Localizable", "Scripting Bridge Failure"),
    QT_TRANSLATE_NOOP("Localizable", "CGI Failure"),
    QT_TRANSLATE_NOOP("Localizable", "MailCore Failure"),
    QT_TRANSLATE_NOOP("Localizable", "No Valid Recipient"),
    QT_TRANSLATE_NOOP("Localizable", "No Valid Sender"),
    QT_TRANSLATE_NOOP("Localizable", "Blocked e-mail address"),
    QT_TRANSLATE_NOOP("Localizable", "Blocked e-mail host"),
    QT_TRANSLATE_NOOP("Localizable", "Unreachable host")};

QString resultText(int result) {
    return localized(DXEmailSender::resultName(result));
}

}  // namespace

int runTestEmail(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption to(QStringLiteral("to"), {}, QStringLiteral("ADDRESSES"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({to, help});
    if (!parser.parse(QStringList{QStringLiteral("test-email")} + args) ||
        !parser.positionalArguments().isEmpty()) {
        err << "ostrivane-cli test-email: "
            << (parser.errorText().isEmpty() ? localized(QStringLiteral("unexpected argument"))
                                             : parser.errorText())
            << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli test-email --help'.")) << '\n';
        return exit_codes::kUsage;
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }

    // The administrator's system configuration may choose the transport.
    installFallbackDefaults();
    // The relay takes recipients one per line; commas are this command's separator.
    std::optional<QString> recipients;
    if (parser.isSet(to)) {
        QStringList addresses;
        for (const QString& value : parser.values(to)) {
            for (const QString& address : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                addresses.append(address.trimmed());
            }
        }
        recipients = addresses.join(QLatin1Char('\n'));
    } else {
        recipients = defaultString(QStringLiteral("NotificationUseEmailAddress"));
    }

    DXEmailSender& sender = DXEmailSender::shared();
    const int result = sender.sendMailWithCGI(
        localized(QString::fromLatin1(DXEmailSender::kTestBody)),
        QString::fromLatin1(DXEmailSender::kTestSubject), recipients, 10, false, false);
    const QString problem = sender.lastProblem();
    if (result == DXEmailSender::CGIFailure && problem == QLatin1String("no relay configured")) {
        out << resultText(result) << ": " << localized(QStringLiteral("no relay configured"))
            << '\n';
        err << "ostrivane-cli test-email: "
            << localized(QStringLiteral("this build names no mail relay; choose another transport "
                                        "with NotificationEmailTransport (smtp, sendmail or "
                                        "exec)"))
            << '\n';
        return 1;
    }
    out << resultText(result) << '\n';
    if (result != DXEmailSender::Success && !problem.isEmpty()) {
        err << "ostrivane-cli test-email: " << problem << '\n';
    }
    return result == DXEmailSender::Success ? exit_codes::kOk : 1;
}

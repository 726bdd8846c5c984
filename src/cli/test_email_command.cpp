// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/test_email_command.h"

#include "cli/exit_codes.h"
#include "delivery/dx_email_sender.h"
#include "foundation/defaults.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

const char* const kHelp = R"(Usage: ostrivane-cli test-email [--to ADDRESSES]

Sends the test e-mail ("Ostrivane Email Test") through the mail relay to the
addresses of the setting NotificationUseEmailAddress, or to the given ones,
and prints the result: Success, CGI Failure, No Valid Recipient, Blocked e-mail
address, Blocked e-mail host or Unreachable host.

Options:
  --to ADDRESSES   recipients, separated by commas; may be repeated
  -h, --help       show this help

Exit status: 0 when the relay accepted the message, 1 otherwise, 64 for a
usage error.
)";

}  // namespace

int runTestEmail(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption to(QStringLiteral("to"), {}, QStringLiteral("ADDRESSES"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({to, help});
    if (!parser.parse(QStringList{QStringLiteral("test-email")} + args) ||
        !parser.positionalArguments().isEmpty()) {
        err << "ostrivane-cli test-email: "
            << (parser.errorText().isEmpty() ? QStringLiteral("unexpected argument")
                                             : parser.errorText())
            << "\nTry 'ostrivane-cli test-email --help'.\n";
        return exit_codes::kUsage;
    }
    if (parser.isSet(help)) {
        out << kHelp;
        return exit_codes::kOk;
    }

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

    const int result = DXEmailSender::shared().sendMailWithCGI(
        QStringLiteral("If you read this delivering to your address worked fine."),
        QStringLiteral("Ostrivane Email Test"), recipients, 10, false, false);
    out << DXEmailSender::resultName(result) << '\n';
    return result == DXEmailSender::Success ? exit_codes::kOk : 1;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/check_command.h"
#include "cli/defaults_command.h"
#include "cli/disks_command.h"
#include "cli/evaluate_command.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/history_command.h"
#include "cli/json_output.h"
#include "cli/monitor_command.h"
#include "cli/smart_command.h"
#include "cli/test_email_command.h"
#include "ext/localization.h"
#include "ext/text.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

const char* const kUsage =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli COMMAND [OPTIONS]

Ostrivane watches the wear and health of solid-state drives.

Commands:
  check           check the solid-state drives once (exit status 0 OK, 1 warning,
                  2 error, 3 unknown; --plugin for Nagios or Icinga, --json for Zabbix)
  monitor         the headless monitor: check at every interval until stopped
  history         the recorded health of the drives
  disks           the mounted disks, boot disk first, with their descriptions
  evaluate FILE   the health of an attribute table given as text (smartctl output)
  smart DISK      the S.M.A.R.T. status and attribute table of a drive (sda, nvme0n1)
  defaults        read and change the stored settings (read, write, delete, list)
  test-email      send the test e-mail through the chosen e-mail transport
  snapshot-machine DIR
                  record this machine's disk layout into DIR for a report

Run 'ostrivane-cli COMMAND --help' for the options of a command.
Options:
  -h, --help      show this help
  --version       show the version
)");

int runCommand(QStringList args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << localized(QString::fromUtf8(kUsage));
        return exit_codes::kUsage;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("-h") || command == QLatin1String("--help") ||
        command == QLatin1String("help")) {
        out << localized(QString::fromUtf8(kUsage));
        return exit_codes::kOk;
    }
    if (command == QLatin1String("--version")) {
        out << "ostrivane-cli " << OSTRIVANE_VERSION << '\n';
        return exit_codes::kOk;
    }
    if (const int refused = prepareCommand(command, args, err); refused != exit_codes::kOk) {
        return refused;
    }
    using Command = int (*)(const QStringList&, QTextStream&, QTextStream&);
    static const std::pair<const char*, Command> kCommands[] = {
        {"check", runCheck},
        {"monitor", runMonitor},
        {"history", runHistory},
        {"disks", runDisks},
        {"snapshot-machine", runSnapshotMachine},
        {"evaluate", runEvaluate},
        {"smart", runSmart},
        {"defaults", runDefaults},
        {"test-email", runTestEmail},
    };
    for (const auto& [name, run] : kCommands) {
        if (command == QLatin1String(name)) {
            // Whoever asked for JSON reads failures as JSON too.
            if (args.contains(QLatin1String("--json"))) {
                return runWithJsonErrors(command, args, run, out, err);
            }
            return run(args, out, err);
        }
    }
    err << "ostrivane-cli: " << localized(QStringLiteral("unknown command '%1'")).arg(command)
        << '\n'
        << localized(QStringLiteral("Try 'ostrivane-cli --help'.")) << '\n';
    return exit_codes::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's own event dispatcher does all a command needs; GLib's would only
    // add its memory to the background monitor. Programs this one starts
    // do not inherit the choice.
    const bool dispatcherChosen = qEnvironmentVariableIsSet("QT_NO_GLIB");
    if (!dispatcherChosen) {
        qputenv("QT_NO_GLIB", "1");
    }
    QCoreApplication app(argc, argv);
    if (!dispatcherChosen) {
        qunsetenv("QT_NO_GLIB");
    }
    // The few short patterns a command matches run faster interpreted than
    // compiled to machine code first, and the compiler is a large piece of
    // code to bring in (noticeably so on slow or emulated machines).
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT")) {
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    }
    QCoreApplication::setApplicationName(QStringLiteral("ostrivane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OSTRIVANE_VERSION));
    // The texts in the user's language; English when there is no translation.
    install_translation();

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = runCommand(args, out, err);
    // A full disk or a closed pipe must not pass for a complete answer.
    errno = 0;
    out.flush();
    const bool written =
        out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (!written) {
        const int error = errno;
        err << "ostrivane-cli: " << localized(QStringLiteral("cannot write to standard output"))
            << (error != 0
                    ? QStringLiteral(": %1").arg(QString::fromLocal8Bit(std::strerror(error)))
                    : QString())
            << '\n';
        err.flush();
        return exit_codes::kIoError;
    }
    return status;
}

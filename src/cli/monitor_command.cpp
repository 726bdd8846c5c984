#include "cli/monitor_command.h"

#include "app/headless_app.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "foundation/defaults.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace {

const char* const kHelp = R"(Usage: ostrivane-cli monitor [OPTIONS]

The headless monitor: checks the solid-state drives at start and then every
"SSDCheckInterval" minutes (default 60; change it with 'ostrivane-cli
defaults write SSDCheckInterval N'), logs every drive to the log file
(~/.local/share/Ostrivane/Ostrivane.log), sends the notifications the settings
ask for and records the health history. Runs until SIGTERM or SIGINT.

Options:
  --machine DIR    watch a recorded machine (for demonstrations and tests)
  --socket PATH    read S.M.A.R.T. data only through the service at PATH
  -h, --help       show this help
)";

// A signal handler may only write to a pipe; the event loop reads it, so the
// quit never interrupts a running check.
int signalPipe[2] = {-1, -1};

void onSignal(int number) {
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool installSignalHandlers() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

int runMonitor(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption machine(QStringLiteral("machine"), {}, QStringLiteral("DIR"));
    const QCommandLineOption socket(QStringLiteral("socket"), {}, QStringLiteral("PATH"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({machine, socket, help});
    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli monitor: " << message << '\n'
            << "Try 'ostrivane-cli monitor --help'.\n";
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("monitor")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << kHelp;
        return exit_codes::kOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
    }
    std::optional<HeadlessApp::Options> parsed =
        headlessOptions(parser, machine, socket, QStringLiteral("monitor"), err);
    if (!parsed) {
        return exit_codes::kNoInput;
    }
    HeadlessApp::Options& options = *parsed;
    if (!installSignalHandlers()) {
        err << "ostrivane-cli monitor: cannot install the signal handlers\n";
        return exit_codes::kError;
    }

    startHeadless();
    options.historyPath = HealthHistory::defaultPath();
    WatchingLogger log;
    HeadlessApp app(options, log);
    if (defaultInt(QStringLiteral("AllowSSDSubmission")) == 1) {
        app.launchPing();
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&log] {
        char byte = 0;
        if (::read(signalPipe[0], &byte, 1) == 1) {
            log.log_message(5, QStringLiteral("Info: monitor stopped by signal %1").arg(int(byte)));
        }
        QCoreApplication::quit();
    });
    log.log_message(5, QStringLiteral("Info: monitor started"));
    app.controller().checkIntervalChanged(&app.controller());
    app.controller().changeIconset();
    return QCoreApplication::exec() == 0 ? exit_codes::kOk : exit_codes::kError;
}

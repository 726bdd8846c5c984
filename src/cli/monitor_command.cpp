// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/monitor_command.h"

#include "app/headless_app.h"
#include "app/interval_watch.h"
#include "app/settings_defaults.h"
#include "app/store_settings.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/state_folder.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/settings_store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace {

const char* const kHelp = QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli monitor [OPTIONS]

The headless monitor: checks the solid-state drives at start and then every
"SSDCheckInterval" minutes (default 60; change it with 'ostrivane-cli
defaults write SSDCheckInterval N'), logs every drive to the log file
(~/.local/share/Ostrivane/Ostrivane.log), sends the notifications the settings
ask for and records the health history. Runs until SIGTERM or SIGINT, which
end it after the check in progress and the notifications it raised (a second
signal ends it at once). SIGHUP re-reads the settings (also the system-wide
/etc/ostrivane/ostrivane.conf): a changed interval
restarts the timer; changes made with 'ostrivane-cli defaults' are also seen
without it, within seconds.

Options:
  --machine DIR    watch a recorded machine (for demonstrations and tests);
                   its settings, history and log go to a temporary folder
  --state DIR      keep settings, history and log below DIR instead (config/,
                   data/, state/, cache/)
  --socket PATH    read S.M.A.R.T. data only through the service at PATH
  -h, --help       show this help
)");

// A signal handler may only write to a pipe; the event loop reads it, so the
// quit never interrupts a running check.
int signalPipe[2] = {-1, -1};

void onSignal(int number) {
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool setHandler(int number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(number, &action, nullptr) == 0;
}

bool installSignalHandlers() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    return setHandler(SIGTERM, onSignal) && setHandler(SIGINT, onSignal) &&
           setHandler(SIGHUP, onSignal);
}

}  // namespace

int runMonitor(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption machine(QStringLiteral("machine"), {}, QStringLiteral("DIR"));
    const QCommandLineOption state(QStringLiteral("state"), {}, QStringLiteral("DIR"));
    const QCommandLineOption socket(QStringLiteral("socket"), {}, QStringLiteral("PATH"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({machine, socket, state, help});
    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli monitor: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli monitor --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("monitor")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(localized(QStringLiteral("unexpected argument '%1'"))
                              .arg(parser.positionalArguments().constFirst()));
    }
    std::optional<HeadlessApp::Options> parsed =
        headlessOptions(parser, machine, socket, QStringLiteral("monitor"), err);
    if (!parsed) {
        return exit_codes::kNoInput;
    }
    HeadlessApp::Options& options = *parsed;
    if (!installSignalHandlers()) {
        err << "ostrivane-cli monitor: "
            << localized(QStringLiteral("cannot install the signal handlers")) << '\n';
        return exit_codes::kError;
    }

    StateFolder stateFolder;
    QString problem;
    if (!stateFolder.choose(parser.value(state), parser.isSet(machine), false, problem)) {
        err << "ostrivane-cli monitor: " << problem << '\n';
        return exit_codes::kIoError;
    }
    startHeadless();
    options.historyPath = HealthHistory::defaultPath();
    options.reports = options.machine.isEmpty();
    WatchingLogger log;
    HeadlessApp app(options, log);
    if (defaultInt(QStringLiteral("AllowSSDSubmission")) == 1) {
        app.launchPing();
    }
    StoreSettings settings;
    IntervalWatch watch(
        app.controller(), settings, log, [] { return SettingsStore::shared().changeCount(); },
        SettingsStore::shared().path());
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&log, &watch] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1) {
            const int number = byte;
            if (number == SIGHUP) {
                reloadSystemConfiguration();
                watch.reread(QStringLiteral("signal %1").arg(number));
                continue;
            }
            log.log_message(5, QStringLiteral("Info: monitor stopped by signal %1").arg(number));
            // The notifications still to deliver may wait for the relay's
            // time-out; whoever does not want to wait sends the signal again.
            setHandler(SIGTERM, SIG_DFL);
            setHandler(SIGINT, SIG_DFL);
            QCoreApplication::quit();
            return;
        }
    });
    log.log_message(5, QStringLiteral("Info: monitor started"));
    app.controller().checkIntervalChanged(&app.controller());
    app.controller().changeIconset();
    watch.start();
    const int loop = QCoreApplication::exec();
    // A check still reading its drives ends first, as one would that ran on
    // the main thread: its notifications are due like any other.
    app.controller().waitForCheck();
    // A signal right after a cycle stops the loop before that cycle's
    // deliveries ran, while their uses are counted and the new health stored:
    // the decrease would never be told.
    if (const int waiting = app.controller().pendingDeliveries(); waiting > 0) {
        log.log_message(
            5, QStringLiteral("Info: delivering %1 notification(s) before stopping").arg(waiting));
        app.controller().finishDeliveries();
    }
    return loop == 0 ? exit_codes::kOk : exit_codes::kError;
}

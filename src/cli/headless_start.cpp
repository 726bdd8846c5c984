// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/headless_start.h"

#include "app/settings_defaults.h"
#include "cli/exit_codes.h"
#include "disks/drive_access.h"
#include "ext/text.h"
#include "foundation/logging.h"
#include "foundation/settings_store.h"
#include "foundation/wendle_lib.h"

#include <QDir>

#include <QMutex>
#include <algorithm>

std::optional<DriveAccessOptions> driveAccessOptions(const QCommandLineParser& parser,
                                                     const QCommandLineOption& machine,
                                                     const QCommandLineOption* socket,
                                                     const QString& command, QTextStream& err) {
    DriveAccessOptions options;
    if (parser.isSet(machine)) {
        options.machine = parser.value(machine);
        if (!QDir(options.machine).exists()) {
            err << "ostrivane-cli " << command << ": "
                << localized(QStringLiteral("no machine folder '%1'")).arg(options.machine) << '\n';
            err.flush();
            return std::nullopt;
        }
    }
    if (socket != nullptr && parser.isSet(*socket)) {
        options.socketPath = parser.value(*socket).toStdString();
    }
    return options;
}

namespace {

// True when `args` give the long option `name`, alone or as --name=VALUE.
bool hasOption(const QStringList& args, QLatin1StringView name) {
    return std::any_of(args.cbegin(), args.cend(), [name](const QString& arg) {
        return arg.startsWith(QLatin1StringView("--")) &&
               QStringView(arg).sliced(2).startsWith(name) &&
               (arg.size() == name.size() + 2 || arg.at(name.size() + 2) == QLatin1Char('='));
    });
}

}  // namespace

int prepareCommand(const QString& command, const QStringList& args, QTextStream& err) {
    SettingsStore::setDamageHandler([&err](const QString& line) {
        // The store may be opened from a background thread of the monitor.
        static QMutex mutex;
        QMutexLocker lock(&mutex);
        err << "ostrivane-cli: " << localized(QStringLiteral("warning: %1")).arg(line) << '\n';
        err.flush();
    });
    static const QStringList kKeepingState{QStringLiteral("check"), QStringLiteral("monitor"),
                                           QStringLiteral("history"), QStringLiteral("defaults"),
                                           QStringLiteral("test-email")};
    // A recorded machine's run keeps its state in a folder of its own, and a
    // read-only run keeps none: neither needs a home.
    const bool ownState = hasOption(args, QLatin1StringView("machine")) ||
                          hasOption(args, QLatin1StringView("state")) ||
                          hasOption(args, QLatin1StringView("no-state")) ||
                          hasOption(args, QLatin1StringView("plugin"));
    if (kKeepingState.contains(command) && !ownState && !WendleLib::hasUserFolders()) {
        err << "ostrivane-cli " << command << ": "
            << localized(QStringLiteral(
                   "no home folder to keep settings and history in: HOME is not set and the "
                   "user has no home in the password database; set HOME (or XDG_CONFIG_HOME and "
                   "XDG_DATA_HOME)"))
            << '\n';
        err.flush();
        return exit_codes::kConfig;
    }
    return exit_codes::kOk;
}

std::optional<HeadlessApp::Options> headlessOptions(const QCommandLineParser& parser,
                                                    const QCommandLineOption& machine,
                                                    const QCommandLineOption& socket,
                                                    const QString& command, QTextStream& err) {
    const std::optional<DriveAccessOptions> access =
        driveAccessOptions(parser, machine, &socket, command, err);
    if (!access) {
        return std::nullopt;
    }
    HeadlessApp::Options options;
    options.machine = access->machine;
    options.socketPath = access->socketPath;
    return options;
}

void startHeadless() {
    const WendleLib& lib = WendleLib::shared();
    // On a fresh installation the folder does not exist yet, and the first
    // check's lines must not be lost. The log file comes before the settings
    // store is opened, so a damaged store is told in the file too.
    const QString folder = lib.suppDir();
    if (!folder.isEmpty()) {  // else no home or no information file: already reported
        QDir().mkpath(folder);
        constexpr qint64 kLogFileLimit = 26'214'400;
        log_open_file(folder + QStringLiteral("/Ostrivane.log"), kLogFileLimit, 5);
    }
    // After the log file, so a bad line of the system configuration is in it.
    installFallbackDefaults();
}

void WatchingLogger::log_message(int level, const QString& text) {
    if (text == smartAccessAdvice()) {
        sawAccessAdvice_ = true;
    }
    if (forward_) {
        ::log_message(level, text);
    }
}

#include "cli/headless_start.h"

#include "app/settings_defaults.h"
#include "disks/drive_access.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QDir>

std::optional<DriveAccessOptions> driveAccessOptions(const QCommandLineParser& parser,
                                                     const QCommandLineOption& machine,
                                                     const QCommandLineOption* socket,
                                                     const QString& command, QTextStream& err) {
    DriveAccessOptions options;
    if (parser.isSet(machine)) {
        options.machine = parser.value(machine);
        if (!QDir(options.machine).exists()) {
            err << "ostrivane-cli " << command << ": no machine folder '" << options.machine
                << "'\n";
            err.flush();
            return std::nullopt;
        }
    }
    if (socket != nullptr && parser.isSet(*socket)) {
        options.socketPath = parser.value(*socket).toStdString();
    }
    return options;
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
    installFallbackDefaults();
    const WendleLib& lib = WendleLib::shared();
    // On a fresh installation the folder does not exist yet, and the first
    // check's lines must not be lost.
    const QString folder = lib.suppDir();
    if (folder.isEmpty()) {
        return;  // no home or no information file: already reported, and nowhere to log
    }
    QDir().mkpath(folder);
    constexpr qint64 kLogFileLimit = 26'214'400;
    log_open_file(folder + QStringLiteral("/Ostrivane.log"), kLogFileLimit, 5);
}

void WatchingLogger::log_message(int level, const QString& text) {
    if (text == smartAccessAdvice()) {
        sawAccessAdvice_ = true;
    }
    ::log_message(level, text);
}

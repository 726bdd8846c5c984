#include "cli/headless_start.h"

#include "app/settings_defaults.h"
#include "disks/smart_access_selection.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QDir>

std::optional<HeadlessApp::Options> headlessOptions(const QCommandLineParser& parser,
                                                    const QCommandLineOption& machine,
                                                    const QCommandLineOption& socket,
                                                    const QString& command, QTextStream& err) {
    HeadlessApp::Options options;
    if (parser.isSet(machine)) {
        options.machine = parser.value(machine);
        if (!QDir(options.machine).exists()) {
            err << "ostrivane-cli " << command << ": no machine folder '" << options.machine
                << "'\n";
            return std::nullopt;
        }
    }
    if (parser.isSet(socket)) {
        options.socketPath = parser.value(socket).toStdString();
    }
    return options;
}

void startHeadless() {
    const WendleLib& lib = WendleLib::shared();
    // On a fresh installation the folder does not exist yet, and the first
    // check's lines must not be lost.
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

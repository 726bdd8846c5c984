#include "cli/headless_start.h"

#include "app/settings_defaults.h"
#include "disks/smart_access_selection.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QDir>

void startHeadless() {
    installFallbackDefaults();
    const WendleLib& lib = WendleLib::shared();
    // On a fresh installation the folder does not exist yet, and the first
    // check's lines must not be lost.
    QDir().mkpath(lib.suppDir());
    constexpr qint64 kLogFileLimit = 26'214'400;
    log_open_file(lib.suppDir() + QStringLiteral("/Ostrivane.log"), kLogFileLimit, 5);
}

void WatchingLogger::log_message(int level, const QString& text) {
    if (text == smartAccessAdvice()) {
        sawAccessAdvice_ = true;
    }
    ::log_message(level, text);
}

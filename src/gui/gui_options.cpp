// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/gui_options.h"

#include "ext/text.h"

#include <QCommandLineParser>
#include <QDir>

const char* const GuiOptions::kHelp = QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane [OPTIONS]

The Ostrivane desktop application: watches the health of the solid-state
drives and shows it in the system tray and its window. Only one runs per
session; starting it again opens the running one's window.

Options:
  --show           open the window, and show Ostrivane in the taskbar when it
                   was hidden everywhere (as holding Alt while starting does)
  --machine DIR    watch a recorded machine (for demonstrations and tests)
  --socket PATH    read S.M.A.R.T. data only through the service at PATH
  --version        show the version
  -h, --help       show this help
)");

std::optional<GuiOptions> GuiOptions::parse(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption machine(QStringLiteral("machine"), {}, QStringLiteral("DIR"));
    const QCommandLineOption socket(QStringLiteral("socket"), {}, QStringLiteral("PATH"));
    const QCommandLineOption show(QStringLiteral("show"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({machine, socket, show, version, help});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = localized(QStringLiteral("unexpected argument '%1'"))
                    .arg(parser.positionalArguments().constFirst());
        return std::nullopt;
    }
    GuiOptions options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.show = parser.isSet(show);
    if (parser.isSet(machine)) {
        options.machine = parser.value(machine);
        if (!QDir(options.machine).exists()) {
            error = localized(QStringLiteral("no machine folder '%1'")).arg(options.machine);
            return std::nullopt;
        }
    }
    if (parser.isSet(socket)) {
        if (parser.value(socket).isEmpty()) {
            error = localized(QStringLiteral("--socket needs a path"));
            return std::nullopt;
        }
        options.socketPath = parser.value(socket).toStdString();
    }
    return options;
}

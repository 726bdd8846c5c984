// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/localization.h"
#include "ext/scheduling.h"
#include "foundation/wendle_lib.h"
#include "gui/access_advice_logger.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/gui_options.h"
#include "gui/single_instance.h"
#include "gui/tray_watcher.h"
#include "support/alerts.h"
#include "support/message_box_runner.h"
#include "support/support_mail.h"
#include "support/update_check.h"

#include <QApplication>
#include <QDBusConnection>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

constexpr int kNoPermission = 77;

Qt::KeyboardModifiers heldModifiers() {
    return QGuiApplication::queryKeyboardModifiers();
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments.append(QString::fromLocal8Bit(argv[index]));
    }
    QString error;
    const std::optional<GuiOptions> options = GuiOptions::parse(arguments, error);
    if (!options) {
        std::fprintf(stderr, "ostrivane: %s\nTry 'ostrivane --help'.\n", qPrintable(error));
        return GuiOptions::kUsageError;
    }
    if (options->help) {
        std::fputs(GuiOptions::kHelp, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("ostrivane %s\n", OSTRIVANE_VERSION);
        return 0;
    }
    if (::geteuid() == 0) {
        std::fputs(
            "ostrivane: the desktop application does not run as root; start it as yourself.\n"
            "It reads S.M.A.R.T. data through the ostrivane-smart service: "
            "'sudo systemctl enable --now ostrivane-smart.socket'.\n",
            stderr);
        return kNoPermission;
    }

    // A later launch only hands over: it ends before it loads any of the GUI.
    // The first instance checks the held keys itself when it reopens.
    const QString socketPath = SingleInstance::defaultSocketPath();
    if (SingleInstance::handOver(socketPath, options->show)) {
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The texts in the user's language; English when there is no translation.
    install_translation();

    SingleInstance instance(socketPath);
    const bool rescue = options->show || (heldModifiers() & (Qt::AltModifier | Qt::ShiftModifier));
    if (instance.start(rescue) == SingleInstance::Role::Handed) {
        return 0;
    }

    DesktopAlerts* alertsPointer = nullptr;
    AccessAdviceLogger log([&alertsPointer](const QString& advice) {
        // Shown after the check that found it, never in the middle of one.
        run_on_main_after(0, [&alertsPointer, advice] {
            if (alertsPointer != nullptr) {
                alertsPointer->alert_apptitled(advice, QStringLiteral("OK"), {}, {});
            }
        });
    });
    const WendleLib& lib = WendleLib::shared();
    MessageBoxRunner runner;
    Alerts dialogs(runner, lib.appName(), lib.appVersionString());
    SupportAlerts alerts(dialogs);
    alertsPointer = &alerts;
    DesktopUrlOpener opener;
    DesktopApp* desktopPointer = nullptr;
    SupportMail support({dialogs, opener,
                         [&desktopPointer] {
                             return desktopPointer != nullptr
                                        ? desktopPointer->supportFacts()
                                        : ReportFacts::forRunningApp({}, {}, true);
                         },
                         [](int status) { std::exit(status); }},
                        lib.infoDictionary());
    SupportFeedbackAlert feedback(support);
    const QString website = lib.infoDictionary().value(QStringLiteral("WendleWebsite")).toString();
    UpdateCheck updates(dialogs, opener,
                        lib.infoDictionary().value(QStringLiteral("SUFeedURL")).toString(),
                        lib.appVersionString(), lib.appBuildNumber(),
                        website.isEmpty() ? QString() : website + QStringLiteral("freshhold/"));

    DesktopApp::Options desktopOptions;
    desktopOptions.headless.machine = options->machine;
    desktopOptions.headless.socketPath = options->socketPath;
    desktopOptions.headless.feedback = &feedback;
    desktopOptions.support = &support;
    desktopOptions.updates = &updates;
    if (QDBusConnection::sessionBus().isConnected()) {
        desktopOptions.trayWatcher = TrayWatcher::forSessionBus(&application);
    }
    desktopOptions.modifiers = heldModifiers;
    desktopOptions.exec = WendleLib::runningInstallation().executable;
    DesktopApp desktop(desktopOptions, log, alerts);
    desktopPointer = &desktop;
    QObject::connect(&instance, &SingleInstance::reopenRequested, &desktop,
                     &DesktopApp::applicationShouldHandleReopen);
    QObject::connect(&desktop, &DesktopApp::quitRequested, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    desktop.launch();
    if (options->show) {
        desktop.applicationShouldHandleReopen(true);
    }
    const int status = QApplication::exec();
    wait_for_background();
    return status;
}

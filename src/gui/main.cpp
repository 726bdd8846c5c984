// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/localization.h"
#include "ext/scheduling.h"
#include "ext/text.h"
#include "foundation/wendle_lib.h"
#include "gui/access_advice_logger.h"
#include "gui/desktop_alerts.h"
#include "gui/desktop_app.h"
#include "gui/gui_options.h"
#include "gui/rating_presenter.h"
#include "gui/single_instance.h"
#include "gui/tray_watcher.h"
#include "support/alerts.h"
#include "support/app_moved_handler.h"
#include "support/crash_reports.h"
#include "support/message_box_runner.h"
#include "support/startup_checks.h"
#include "support/support_mail.h"
#include "support/uncaught_exceptions.h"
#include "support/update_check.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <thread>

#include <unistd.h>

namespace {

constexpr int kNoPermission = 77;

Qt::KeyboardModifiers heldModifiers() {
    return QGuiApplication::queryKeyboardModifiers();
}

#ifdef OSTRIVANE_TEST_HOOKS
// Test builds only: OSTRIVANE_TEST_DIALOG_ANSWER answers every dialog with
// that code (each still logged, and told on standard error), and
// OSTRIVANE_TEST_CRASH makes the running program fail in the named way.
class AnsweringRunner final : public AlertRunner {
  public:
    explicit AnsweringRunner(int code) : code_(code) {}
    AlertAnswer run(const AlertPanel& panel) override {
        std::fprintf(stderr, "dialog: %s | %s | %d\n", qPrintable(panel.title),
                     qPrintable(panel.message), code_);
        AlertAnswer answer;
        answer.code = code_;
        return answer;
    }

  private:
    int code_;
};

void scheduleTestCrash() {
    const QByteArray how = qgetenv("OSTRIVANE_TEST_CRASH");
    if (how.isEmpty()) {
        return;
    }
    QTimer::singleShot(0, [how] {
        if (how == "segv") {
            std::raise(SIGSEGV);
        } else if (how == "exception") {
            throw std::runtime_error("test exception on the main thread");
        } else if (how == "worker-exception") {
            std::thread([] { throw std::logic_error("test exception on a worker"); }).detach();
        } else if (how == "terminate") {
            std::terminate();
        }
    });
}
#endif

// Help, usage errors and the refusal to run as root end the program before
// the GUI loads; a plain core application is enough to say them in the user's
// language.
int sayAndEnd(int argc, char** argv, FILE* stream, const std::function<QString()>& text, int code) {
    QCoreApplication application(argc, argv);
    install_translation();
    std::fputs(text().toLocal8Bit().constData(), stream);
    return code;
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
        return sayAndEnd(
            argc, argv, stderr,
            [&arguments] {
                // Parsed again so that Qt's own message is translated as well.
                QString message;
                GuiOptions::parse(arguments, message);
                return QStringLiteral("ostrivane: %1\n").arg(message) +
                       localized(QStringLiteral("Try 'ostrivane --help'.\n"));
            },
            GuiOptions::kUsageError);
    }
    if (options->help) {
        return sayAndEnd(
            argc, argv, stdout, [] { return localized(QString::fromUtf8(GuiOptions::kHelp)); }, 0);
    }
    if (options->version) {
        std::printf("ostrivane %s\n", OSTRIVANE_VERSION);
        return 0;
    }
    bool refuseRoot = true;
#ifdef OSTRIVANE_TEST_HOOKS
    // Test machines and containers often run everything as root.
    refuseRoot = !qEnvironmentVariableIsSet("OSTRIVANE_TEST_ALLOW_ROOT");
#endif
    if (refuseRoot && ::geteuid() == 0) {
        return sayAndEnd(
            argc, argv, stderr,
            [] {
                return localized(
                    QStringLiteral("ostrivane: the desktop application does not run as root; start "
                                   "it as yourself.\n"
                                   "It reads S.M.A.R.T. data through the ostrivane-smart service: "
                                   "'sudo systemctl enable --now ostrivane-smart.socket'.\n"));
            },
            kNoPermission);
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
    MessageBoxRunner boxes;
    AlertRunner* runner = &boxes;
#ifdef OSTRIVANE_TEST_HOOKS
    std::unique_ptr<AnsweringRunner> answering;
    if (qEnvironmentVariableIsSet("OSTRIVANE_TEST_DIALOG_ANSWER")) {
        answering = std::make_unique<AnsweringRunner>(
            qEnvironmentVariableIntValue("OSTRIVANE_TEST_DIALOG_ANSWER"));
        runner = answering.get();
    }
#endif
    Alerts dialogs(*runner, lib.appName(), lib.appVersionString());
    if (!StartupChecks::run(dialogs, lib.suppDir(), lib.privateLibDir(),
                            StartupChecks::installedModules())) {
        return 1;
    }
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
                         [](int status) {
                             // Static destructors of a failing process, with its
                             // windows up and other threads running, could crash
                             // on the way out: end at once.
                             std::fflush(nullptr);
                             std::_Exit(status);
                         }},
                        lib.infoDictionary());
    UncaughtExceptions::install([&support](const QString& title, const QString& details) {
        support.alert_feedback(title, details, true);
    });
    // Past main, the dialogs are gone: a failure then is only recorded.
    const auto withoutDialogs = qScopeGuard([] { UncaughtExceptions::install({}); });
    CrashReports::install(lib.userCrashDir(), lib.appName(), lib.appVersionString());
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
    DesktopRatingPresenter rating(dialogs, support, lib.infoDictionary());
    desktopOptions.headless.rating = &rating;
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
    // Moved while running: a new copy from the new place, started the way
    // this one was (a recorded machine stays the one watched).
    const WendleLib::Installation installation = WendleLib::runningInstallation();
    const QString executable = QDir(installation.root).relativeFilePath(installation.executable);
    QStringList relaunchArguments = arguments.mid(1);
    relaunchArguments.removeAll(QStringLiteral("--show"));
    DXAppMovedHandler moved({dialogs,
                             [&instance, executable, relaunchArguments](const QString& root) {
                                 // The new copy must not hand over to this one.
                                 instance.release();
                                 return QProcess::startDetached(
                                     root + QLatin1Char('/') + executable, relaunchArguments);
                             },
                             [] { QCoreApplication::quit(); }},
                            installation.root);
    moved.startMoveObservation();
    // A crash of the last run: offered once the program is up.
    QTimer::singleShot(0, &desktop, [&lib, &support] {
        CrashReports::offerNewest(
            lib.appCrashLogFilenames(), lib.userCrashDir(),
            [&lib, &support](const QString& path, const QString& text) {
                support.alert_feedback(
                    localized(QStringLiteral("%1 quit unexpectedly the last time it ran (%2)."))
                        .arg(lib.appName(), QFileInfo(path).fileName()),
                    text, false);
            });
    });
#ifdef OSTRIVANE_TEST_HOOKS
    scheduleTestCrash();
#endif
    const int status = QApplication::exec();
    wait_for_background();
    return status;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/check_command.h"

#include "app/headless_app.h"
#include "app/store_settings.h"
#include "cli/aligned_labels.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/json_output.h"
#include "cli/plugin_output.h"
#include "cli/prometheus_textfile.h"
#include "cli/smart_status_name.h"
#include "cli/state_folder.h"
#include "ext/scheduling.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/single_line_text.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <climits>

namespace {

const char* const kHelp = QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli check [OPTIONS]

Runs one check cycle of the monitor: finds the solid-state drives behind the
mounted, non-removable volumes, reads their S.M.A.R.T. data, evaluates their
health, logs each drive, sends the notifications the settings ask for
(desktop notification or log line, e-mail) and records the health history.
Prints each drive and the overall status.

Reading S.M.A.R.T. data needs root, or the ostrivane-smart service:
  sudo systemctl enable --now ostrivane-smart.socket

Options:
  --json             print the result as JSON
  --verbose          also print each drive's attribute listing
  --prometheus FILE  also write the result for node_exporter's textfile
                     collector (FILE should end in .prom; written atomically)
  --machine DIR      check a recorded machine (with its S.M.A.R.T. pages); its
                     settings, history and log go to a temporary folder, never
                     to yours
  --state DIR        keep settings, history and log below DIR instead (config/,
                     data/, state/, cache/), for example between --machine runs
  --no-state         read the settings but write nothing: no history, no
                     settings, no log or syslog line, no notification, no report
  --socket PATH      read S.M.A.R.T. data only through the service at PATH
  -h, --help         show this help

Monitoring-plugin mode (implies --no-state):
  --plugin           print one line "SSD OK - ... | perfdata", as a Nagios,
                     Icinga, Naemon or Checkmk plugin; exit 0, 1, 2 or 3
  -w, --warning N    warning threshold in percent for this run only
  -c, --critical N   error threshold in percent for this run only
  -t, --timeout S    give up after S seconds with status 3 (default 10)
  -v                 also print one line per drive

Exit status (as a Nagios or Icinga check; Zabbix reads "exitStatus" of --json):
  0   every drive is fine
  1   a drive is at or below the warning threshold
  2   a drive is at or below the error threshold, or failing
  3   no solid-state drive, or none whose health could be determined; with
      --plugin also a usage error or a time-out
  64  usage error
  66  the machine folder does not exist
)");

// The exit status follows the drives, not the status texts: a failing drive
// is an error whatever the thresholds say, and a health above 100 is fine.
int exitStatusOf(const std::vector<std::unique_ptr<SSD>>& drives, IntSettings& settings) {
    qint32 worst = kHealthUnknown;
    bool failing = false;
    for (const auto& ssd : drives) {
        worst = std::min(worst, ssd->healthPercentage());
        failing = failing || ssd->smartStatus() == SMARTStatusFailing;
    }
    if (failing) {
        return exit_codes::kError;
    }
    if (worst == kHealthUnknown) {
        return exit_codes::kUnknown;
    }
    if (worst <= settings.defaultInt(QStringLiteral("ThresholdError"))) {
        return exit_codes::kError;
    }
    if (worst <= settings.defaultInt(QStringLiteral("ThresholdWarning"))) {
        return exit_codes::kWarning;
    }
    return exit_codes::kOk;
}

qint32 worstHealth(const std::vector<std::unique_ptr<SSD>>& drives) {
    qint32 worst = kHealthUnknown;
    for (const auto& ssd : drives) {
        worst = std::min(worst, ssd->healthPercentage());
    }
    return worst;
}

// The controller leaves its status texts alone when the worst health lies
// between 101 and 254; a one-shot check still owes its reader a summary.
// The terminal reads the shown wording, programs reading JSON the stored one.
std::pair<QString, QString> summaryOf(HeadlessApp& app, Wording wording) {
    AppDelegate& controller = app.controller();
    if (controller.lastOverall() == AppDelegate::Overall::Unchanged) {
        return {worded(QStringLiteral("Status: OK (health above 100 %)"), wording),
                worded(QStringLiteral("The worst health, %1 %, lies above 100 %: the drives "
                                      "report more life left than rated."),
                       wording)
                    .arg(worstHealth(controller.ssdArray()))};
    }
    return {controller.statusSummaryText(wording), controller.statusDetailText(wording)};
}

QString healthText(const SSD& ssd) {
    return ssd.healthPercentage() == kHealthUnknown
               ? localized(QStringLiteral("unknown"))
               : QStringLiteral("%1%").arg(ssd.healthPercentage());
}

void printText(HeadlessApp& app, bool verbose, QTextStream& out) {
    // The field labels in the user's language, padded so the values line up.
    enum Field {
        Model,
        Serial,
        Health,
        Smart,
        Status,
        Reason,
        Drive,
        Note,
        Temperature,
        Standby,
        FieldCount
    };
    QString labels[FieldCount] = {
        localized(QStringLiteral("Model:")),       localized(QStringLiteral("Serial:")),
        localized(QStringLiteral("Health:")),      localized(QStringLiteral("S.M.A.R.T.:")),
        localized(QStringLiteral("Status:")),      localized(QStringLiteral("Reason:")),
        localized(QStringLiteral("Drive:")),       localized(QStringLiteral("Note:")),
        localized(QStringLiteral("Temperature:")), localized(QStringLiteral("Standby:"))};
    alignLabels(labels, 13, QStringLiteral("  "));
    for (const auto& ssd : app.controller().ssdArray()) {
        out << singleLineText(ssd->description()) << '\n'
            << labels[Model] << singleLineText(ssd->modelName()) << '\n'
            << labels[Serial] << singleLineText(app.serialOf(*ssd)) << '\n'
            << labels[Health] << healthText(*ssd) << '\n'
            << labels[Smart] << smartStatusName(ssd->smartStatus()) << '\n'
            << labels[Status] << ssd->status(Wording::Shown) << '\n';
        if (!ssd->healthInfo().isNull()) {
            out << labels[Reason] << ssd->healthInfo(Wording::Shown) << '\n';
        }
        if (const QString wear = ssd->ownWearLine(Wording::Shown); !wear.isEmpty()) {
            out << labels[Drive] << wear << '\n';
        }
        if (const QString note = ssd->ownWearNote(Wording::Shown); !note.isEmpty()) {
            out << labels[Note] << note << '\n';
        }
        if (ssd->ownWear().temperature) {
            out << labels[Temperature] << *ssd->ownWear().temperature << " °C\n";
        }
        if (ssd->standbySince()) {
            out << labels[Standby] << ssd->standbyText(Wording::Shown) << ' '
                << localized(QStringLiteral("(not read)")) << '\n';
        }
        if (verbose && !ssd->fullAttributeInformation().isEmpty()) {
            out << "  " << localized(QStringLiteral("Attributes:")) << '\n';
            for (const QString& line :
                 ssd->fullAttributeInformation(Wording::Shown).split(QLatin1Char('\n'))) {
                out << "    " << line << '\n';
            }
        }
        out << '\n';
    }
    const auto [summary, detail] = summaryOf(app, Wording::Shown);
    out << summary << '\n' << detail << '\n';
}

QJsonObject toJson(HeadlessApp& app, bool verbose, int exitStatus, const QDateTime& checked) {
    QJsonArray drives;
    for (const auto& ssd : app.controller().ssdArray()) {
        DriveFacts facts = driveFacts(*ssd, app.host().descriptionForDevice(ssd->disknum()));
        facts.serial = app.serialOf(*ssd);
        facts.withAttributes = verbose;
        drives.append(driveJson(facts));
    }
    const auto [summary, detail] = summaryOf(app, Wording::Stored);
    return jsonAnswer(QStringLiteral("check"), QJsonObject{
                                                   {QStringLiteral("time"), isoTime(checked)},
                                                   {QStringLiteral("exitStatus"), exitStatus},
                                                   {QStringLiteral("summary"), summary},
                                                   {QStringLiteral("detail"), detail},
                                                   {QStringLiteral("drives"), drives},
                                               });
}

}  // namespace

namespace {

// -w, -c and -t take whole numbers; -t a positive one.
std::optional<qint64> numberOption(const QCommandLineParser& parser,
                                   const QCommandLineOption& option, qint64 minimum,
                                   QString& problem) {
    if (!parser.isSet(option)) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 value = parser.value(option).toLongLong(&ok);
    if (!ok || value < minimum) {
        problem =
            (minimum > 0 ? localized(QStringLiteral("-%1 takes a whole number above 0, not '%2'"))
                         : localized(QStringLiteral("-%1 takes a whole number, not '%2'")))
                .arg(option.names().constFirst(), parser.value(option));
    }
    return value;
}

constexpr int kDefaultPluginTimeout = 10;
constexpr qint64 kMaxPluginTimeout = 86400;

}  // namespace

int runCheck(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption prometheus(QStringLiteral("prometheus"), {}, QStringLiteral("FILE"));
    const QCommandLineOption machine(QStringLiteral("machine"), {}, QStringLiteral("DIR"));
    const QCommandLineOption socket(QStringLiteral("socket"), {}, QStringLiteral("PATH"));
    const QCommandLineOption state(QStringLiteral("state"), {}, QStringLiteral("DIR"));
    const QCommandLineOption noState(QStringLiteral("no-state"));
    const QCommandLineOption plugin(QStringLiteral("plugin"));
    const QCommandLineOption warning(QStringList{QStringLiteral("w"), QStringLiteral("warning")},
                                     {}, QStringLiteral("N"));
    const QCommandLineOption critical(QStringList{QStringLiteral("c"), QStringLiteral("critical")},
                                      {}, QStringLiteral("N"));
    const QCommandLineOption timeout(QStringList{QStringLiteral("t"), QStringLiteral("timeout")},
                                     {}, QStringLiteral("SECONDS"));
    const QCommandLineOption pluginVerbose(QStringLiteral("v"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({json, verbose, prometheus, machine, socket, state, noState, plugin, warning,
                       critical, timeout, pluginVerbose, help});
    // A monitoring system reads stdout and knows only 0-3: in plugin mode a
    // usage error is an UNKNOWN line there.
    const bool asPlugin = args.contains(QStringLiteral("--plugin"));
    const auto usageError = [&](const QString& message) {
        if (asPlugin) {
            out << pluginUnknown(message);
            out.flush();
            return exit_codes::kUnknown;
        }
        err << "ostrivane-cli check: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli check --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("check")} + args)) {
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
    QString problem;
    const std::optional<qint64> warningValue = numberOption(parser, warning, LLONG_MIN, problem);
    const std::optional<qint64> criticalValue = numberOption(parser, critical, LLONG_MIN, problem);
    const std::optional<qint64> timeoutValue = numberOption(parser, timeout, 1, problem);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    if (!parser.isSet(plugin) && (parser.isSet(warning) || parser.isSet(critical) ||
                                  parser.isSet(timeout) || parser.isSet(pluginVerbose))) {
        return usageError(localized(QStringLiteral("-w, -c, -t and -v belong to --plugin")));
    }
    if (parser.isSet(plugin) && parser.isSet(json)) {
        return usageError(localized(QStringLiteral("--plugin and --json exclude each other")));
    }
    std::optional<PluginTimeout> deadline;
    if (parser.isSet(plugin)) {
        deadline.emplace(
            int(std::min(timeoutValue.value_or(kDefaultPluginTimeout), kMaxPluginTimeout)));
    }
    std::optional<HeadlessApp::Options> parsed =
        headlessOptions(parser, machine, socket, QStringLiteral("check"), err);
    if (!parsed) {
        if (asPlugin) {
            out << pluginUnknown(
                localized(QStringLiteral("no machine folder '%1'")).arg(parser.value(machine)));
            return exit_codes::kUnknown;
        }
        return exit_codes::kNoInput;
    }
    HeadlessApp::Options& options = *parsed;
    const bool readOnly = parser.isSet(noState) || parser.isSet(plugin);

    StateFolder stateFolder;
    if (!stateFolder.choose(parser.value(state), parser.isSet(machine), readOnly, problem)) {
        err << "ostrivane-cli check: " << problem << '\n';
        return asPlugin ? exit_codes::kUnknown : exit_codes::kIoError;
    }
    if (deadline) {
        // A run cut short must not leave its temporary folder behind.
        deadline->setCleanup([root = stateFolder.temporaryRoot()] {
            if (!root.isEmpty()) {
                QDir(root).removeRecursively();
            }
        });
    }
    startHeadless();
    // The stored settings lie above the defaults, as in the store itself; the
    // run's own store (thrown away) takes this run's thresholds above both.
    registerDefaults(stateFolder.readSettings());
    if (warningValue) {
        setDefaultInt(QStringLiteral("ThresholdWarning"), *warningValue);
    }
    if (criticalValue) {
        setDefaultInt(QStringLiteral("ThresholdError"), *criticalValue);
    }
    if (!readOnly) {
        options.historyPath = HealthHistory::defaultPath();
    }
    options.notify = !readOnly;
    options.reports = !readOnly && options.machine.isEmpty();
    WatchingLogger log(!readOnly);
    HeadlessApp app(options, log);
    const QDateTime checked = QDateTime::currentDateTimeUtc();
    app.controller().performCheck(nullptr);
    app.controller().waitForCheck();
    // Deliveries are queued 0.1 s after the cycle, in order; the quit queued
    // behind them runs once they are all started. Without any, nothing waits.
    if (app.controller().pendingDeliveries() > 0) {
        run_on_main_after(0.1f, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
        // E-mails may still be on their way to the relay.
        app.controller().finishDeliveries();
    }

    StoreSettings settings;
    const int status = exitStatusOf(app.controller().ssdArray(), settings);
    if (parser.isSet(plugin)) {
        std::vector<PluginDrive> drives;
        for (const auto& ssd : app.controller().ssdArray()) {
            drives.push_back({ssd->name(), ssd->deviceNode(), ssd->healthPercentage(),
                              ssd->smartStatus(), ssd->status()});
        }
        const PluginThresholds thresholds{settings.defaultInt(QStringLiteral("ThresholdWarning")),
                                          settings.defaultInt(QStringLiteral("ThresholdError"))};
        out << pluginOutput(status, drives, thresholds, parser.isSet(pluginVerbose),
                            log.sawAccessAdvice());
    } else if (parser.isSet(json)) {
        out << jsonText(toJson(app, parser.isSet(verbose), status, checked));
    } else {
        printText(app, parser.isSet(verbose), out);
    }
    out.flush();
    if (log.sawAccessAdvice() && !parser.isSet(plugin)) {
        err << "ostrivane-cli check: "
            << localized(QStringLiteral("the drives' S.M.A.R.T. data could not be read.\n"
                                        "Run as root, or enable the service once:\n"))
            << "  sudo systemctl enable --now ostrivane-smart.socket\n";
        err.flush();
    }
    if (parser.isSet(prometheus)) {
        std::vector<PrometheusDrive> drives;
        for (const auto& ssd : app.controller().ssdArray()) {
            const std::optional<QVariantMap> description =
                app.host().descriptionForDevice(ssd->disknum());
            drives.push_back(
                {ssd.get(), app.serialOf(*ssd),
                 description ? description->value(QStringLiteral("DADeviceRevision")).toString()
                             : QString(),
                 description ? description->value(QStringLiteral("DADeviceProtocol")).toString()
                             : QString()});
        }
        const PrometheusCheck check{status, checked,
                                    settings.defaultInt(QStringLiteral("ThresholdWarning")),
                                    settings.defaultInt(QStringLiteral("ThresholdError"))};
        QString problem;
        if (const int failure = writePrometheusFile(parser.value(prometheus),
                                                    prometheusText(drives, check), problem);
            failure != exit_codes::kOk) {
            err << "ostrivane-cli check: "
                << localized(QStringLiteral("cannot write '%1': %2"))
                       .arg(parser.value(prometheus), problem)
                << '\n';
            return failure;
        }
    }
    return status;
}

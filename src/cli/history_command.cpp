// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/history_command.h"

#include "app/health_history.h"
#include "app/health_trend.h"
#include "app/process_logger.h"
#include "app/settings_defaults.h"
#include "cli/exit_codes.h"
#include "cli/headless_start.h"
#include "cli/json_output.h"
#include "ext/text.h"
#include "foundation/defaults.h"
#include "foundation/single_line_text.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

const char* const kHelp = QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli history [OPTIONS]

Prints the health of the solid-state drives recorded at every check (by
'check' and 'monitor'), oldest first: time, drive name, model, serial number,
device, health (unknown: no rule applied) and S.M.A.R.T. status (0 unknown,
1 failing, 2 verified, 3 not capable). Then, for each drive (told apart by
its serial number), the date its health reaches the warning threshold if it
goes on falling as it did over the last 90 days: a least-squares line, shown
only when at least 14 days and 5 different values back it.

Options:
  --json         print the records as JSON
  --drive NAME   only the drive of this name
  -h, --help     show this help
)");

}  // namespace

namespace {

QString statusName(HealthProjection::Status status) {
    switch (status) {
        case HealthProjection::Status::Projected:
            return QStringLiteral("projected");
        case HealthProjection::Status::Reached:
            return QStringLiteral("reached");
        case HealthProjection::Status::NotEnoughHistory:
            break;
    }
    return QStringLiteral("notEnoughHistory");
}

QJsonObject trendJson(const HealthSeries& series, const HealthProjection& projection, int warning) {
    const HealthSeries::Point latest = series.points.constLast();
    const bool projected = projection.status == HealthProjection::Status::Projected;
    const bool fitted = projection.fitted;
    return QJsonObject{
        {QStringLiteral("serial"),
         series.serial.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(series.serial)},
        {QStringLiteral("name"), series.name},
        {QStringLiteral("model"), series.model},
        {QStringLiteral("latestTime"),
         isoTime(QDateTime::fromSecsSinceEpoch(latest.time, Qt::UTC))},
        {QStringLiteral("latestHealth"), latest.health},
        {QStringLiteral("warningThreshold"), warning},
        {QStringLiteral("projection"), statusName(projection.status)},
        {QStringLiteral("warningDate"),
         projected ? isoTime(projection.warningDate) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("healthPerDay"),
         fitted ? QJsonValue(projection.healthPerDay) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("pointsUsed"), projection.pointsUsed},
    };
}

}  // namespace

int runHistory(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption drive(QStringLiteral("drive"), {}, QStringLiteral("NAME"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({json, drive, help});
    if (!parser.parse(QStringList{QStringLiteral("history")} + args) ||
        !parser.positionalArguments().isEmpty()) {
        err << "ostrivane-cli history: "
            << (parser.positionalArguments().isEmpty()
                    ? parser.errorText()
                    : localized(QStringLiteral("unexpected argument")))
            << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli history --help'.")) << '\n';
        return exit_codes::kUsage;
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    const QString path = HealthHistory::defaultPath();
    QList<HealthRecord> records;
    // No file yet means no check has run: an empty history, not an error.
    if (QFileInfo::exists(path)) {
        ProcessLogger log;
        HealthHistory history(log);
        std::optional<QList<HealthRecord>> read;
        if (history.open(path)) {
            read = history.records(parser.value(drive));
        }
        if (!read) {
            err << "ostrivane-cli history: "
                << localized(QStringLiteral("cannot read '%1'")).arg(path) << '\n';
            return exit_codes::kNoInput;
        }
        records = *read;
    }
    installFallbackDefaults();
    const int warning = int(defaultInt(QStringLiteral("ThresholdWarning")));
    const QList<HealthSeries> series = healthSeries(records);
    if (parser.isSet(json)) {
        QJsonArray trends;
        for (const HealthSeries& drive : series) {
            trends.append(trendJson(drive, projectWarning(drive, warning), warning));
        }
        QJsonArray list;
        for (const HealthRecord& r : records) {
            DriveFacts facts;
            const auto known = [](const QString& text) {
                return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
            };
            facts.name = known(r.name);
            facts.model = known(r.model);
            facts.serial = known(r.serial);
            facts.device = known(r.device);
            facts.health = r.health;
            facts.smartStatus = std::uint8_t(r.smartStatus);
            if (!r.ownWear.empty()) {
                facts.ownWear = r.ownWear;
            }
            list.append(QJsonObject{{QStringLiteral("time"), isoTime(r.time)},
                                    {QStringLiteral("drive"), driveJson(facts)}});
        }
        out << jsonText(jsonAnswer(
            QStringLiteral("history"),
            QJsonObject{{QStringLiteral("history"), list}, {QStringLiteral("trends"), trends}}));
        return exit_codes::kOk;
    }
    if (records.isEmpty()) {
        out << localized(QStringLiteral("No health history recorded yet.")) << '\n';
        return exit_codes::kOk;
    }
    for (const HealthRecord& r : records) {
        out << r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
            << singleLineText(r.name) << "  " << singleLineText(r.model) << "  "
            << singleLineText(r.serial) << "  " << singleLineText(r.device) << "  "
            << (r.health == 255 ? localized(QStringLiteral("health unknown"))
                                : localized(QStringLiteral("health %1%")).arg(r.health))
            << "  S.M.A.R.T. " << r.smartStatus;
        if (const QString wear = wearLine(r.ownWear, Wording::Shown); !wear.isEmpty()) {
            out << "  " << wear;
        }
        out << '\n';
    }
    for (const HealthSeries& drive : series) {
        const HealthProjection projection = projectWarning(drive, warning);
        out << singleLineText(drive.name)
            << (drive.serial.isEmpty() ? QString()
                                       : QStringLiteral(" (%1)").arg(singleLineText(drive.serial)))
            << ": ";
        switch (projection.status) {
            case HealthProjection::Status::Projected:
                out << localized(QStringLiteral("warning threshold (%1%) reached around %2"))
                           .arg(warning)
                           .arg(projection.warningDate.toLocalTime().toString(
                               QStringLiteral("yyyy-MM-dd")))
                    << '\n';
                break;
            case HealthProjection::Status::Reached:
                out << localized(QStringLiteral("at or below the warning threshold (%1%)"))
                           .arg(warning)
                    << '\n';
                break;
            case HealthProjection::Status::NotEnoughHistory:
                out << localized(QStringLiteral("not enough history for a projection")) << '\n';
                break;
        }
    }
    return exit_codes::kOk;
}

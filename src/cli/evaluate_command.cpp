// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/evaluate_command.h"

#include "app/settings_defaults.h"
#include "app/store_settings.h"
#include "cli/aligned_labels.h"
#include "cli/exit_codes.h"
#include "cli/input_file.h"
#include "cli/json_output.h"
#include "cli/stderr_logger.h"
#include "core/device_statistics_text.h"
#include "core/memory_settings.h"
#include "core/smartctl_report.h"
#include "core/ssd.h"
#include "core/static_disk_layer.h"
#include "ext/text.h"
#include "foundation/single_line_text.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>

namespace {

const char* const kHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli evaluate [OPTIONS] FILE

Evaluates the health of a drive from its S.M.A.R.T. attributes given as text,
without reading any drive. FILE (or - for standard input) holds the output of
`smartctl -a`, `smartctl -x` or `smartctl -A`, or of `smartctl --json` (`-j -a`,
`-j -x`), or a bare attribute table (one attribute per line: id, name, flag,
value, worst, threshold, type, updated, when-failed, raw value; or the brief
layout of `-x`: id, name, flags such as PO--CK, value, worst, threshold, fail,
raw value), in UTF-8 or in UTF-16 with a byte-order mark. The NVMe health
section ("Critical Warning:", "Available Spare:", "Percentage Used:" ..., or
nvme_smart_health_information_log in JSON) is read as the drive reader reads
the NVMe health log. Without a model line (`smartctl -A`), give the model with
--model: the rules depend on it.

Options:
  --model TEXT      the drive's model name (default: the "Device Model:" or
                    "Model Number:" line, or model_name in JSON); the model decides
                    which rules apply
  --revision TEXT   the firmware revision (default: "Firmware Version:", or
                    firmware_version in JSON)
  --protocol TEXT   the device protocol, e.g. SATA or NVMe (default: guessed
                    from the input)
  --name TEXT       the drive's name in messages (default: the model)
  --status N        the S.M.A.R.T. status: 0 unknown, 1 failing, 2 verified,
                    3 not capable (default: 2, or 1 when the input says FAILED
                    or an NVMe critical warning is set)
  --all-disks       evaluate the drive even when the input says it is a hard
                    disk, as the setting CheckAllDisks does
  --json            print every field of the drive record as JSON
  --persist         keep the drive's last health and S.M.A.R.T. status in the
                    settings store, as the monitor does (without it, nothing
                    is stored and the built-in thresholds apply)
  -h, --help        show this help

A drive counts as solid-state unless the input's "Rotation Rate:" line gives
a speed in rpm. Unexpected drive values are reported on standard error; the
evaluation goes on.

Exit status:
  0   health above the warning threshold (50)
  1   health at or below the warning threshold (50)
  2   health at or below the error threshold (30), or a failing drive
  3   no rule applied to the attributes, or the drive is not S.M.A.R.T. capable
  64  usage error
  65  the input holds no attribute table and no NVMe health section
  66  the input cannot be read
)");

// The monitor's integer fallbacks, for a run that must not open the settings store.
QHash<QString, qint64> evaluationDefaults() {
    QHash<QString, qint64> defaults;
    const QVariantMap table = controllerFallbackDefaults();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it.value().typeId() == QMetaType::Int || it.value().typeId() == QMetaType::LongLong) {
            defaults.insert(it.key(), it.value().toLongLong());
        }
    }
    return defaults;
}

// Settings with some keys answered for this run only; writes go through.
class OverriddenSettings final : public IntSettings {
  public:
    OverriddenSettings(IntSettings& base, QHash<QString, qint64> overrides)
        : base_(base), overrides_(std::move(overrides)) {}
    qint64 defaultInt(const QString& key) override {
        const auto it = overrides_.constFind(key);
        return it != overrides_.cend() ? *it : base_.defaultInt(key);
    }
    void setDefaultInt(const QString& key, qint64 value) override {
        base_.setDefaultInt(key, value);
    }

  private:
    IntSettings& base_;
    QHash<QString, qint64> overrides_;
};

// The evaluation's remaining services, for a run that sends and shows nothing.
class NoHost final : public HostFacts {
  public:
    QString machineType() override { return {}; }
};

class NoReports final : public ServerReports {
  public:
    bool logged(const QString&) override { return false; }
    void log(const QString&, const QString&, const QString&) override {}
    void log(const QString&, const QString&) override {}
};

class StderrFeedback final : public FeedbackAlert {
  public:
    explicit StderrFeedback(QTextStream& err) : err_(err) {}
    void alert_feedback(const QString& message, const QString& details, bool) override {
        err_ << "ostrivane-cli: " << message << '\n' << details.trimmed() << '\n';
        err_.flush();
    }

  private:
    QTextStream& err_;
};

QString statusName(std::uint8_t status) {
    switch (status) {
        case SMARTStatusFailing:
            return localized(QStringLiteral("FAILING"));
        case SMARTStatusVerified:
            return localized(QStringLiteral("OK"));
        case SMARTStatusNotCapable:
            return localized(QStringLiteral("not capable"));
        default:
            return localized(QStringLiteral("unknown"));
    }
}

bool isLowAccuracy(const SSD& ssd) {
    return ssd.lowAccuracy();
}

QJsonObject toJson(const SSD& ssd, const QVariantMap& description, int exitStatus) {
    DriveFacts facts = driveFacts(ssd, description);
    facts.isSSD = ssd.isSSD();
    facts.withAttributes = true;
    return jsonAnswer(QStringLiteral("evaluate"),
                      QJsonObject{{QStringLiteral("exitStatus"), exitStatus},
                                  {QStringLiteral("drive"), driveJson(facts)}});
}

void printText(const SSD& ssd, QTextStream& out) {
    // The labels in the user's language, padded so the values line up.
    enum Field { Model, SolidState, Smart, Health, Status, Reason, Accuracy, Drive, Note, Count };
    QString labels[Count] = {
        localized(QStringLiteral("Model:")),      localized(QStringLiteral("Solid-state:")),
        localized(QStringLiteral("S.M.A.R.T.:")), localized(QStringLiteral("Health:")),
        localized(QStringLiteral("Status:")),     localized(QStringLiteral("Reason:")),
        localized(QStringLiteral("Accuracy:")),   localized(QStringLiteral("Drive:")),
        localized(QStringLiteral("Note:"))};
    alignLabels(labels, 13);
    const auto row = [&out, &labels](Field field, const QString& value) {
        out << labels[field] << value << '\n';
    };
    row(Model, ssd.modelName().isEmpty() ? localized(QStringLiteral("(unknown)"))
                                         : singleLineText(ssd.modelName()));
    row(SolidState,
        ssd.isSSD() ? localized(QStringLiteral("yes")) : localized(QStringLiteral("no")));
    row(Smart, statusName(ssd.smartStatus()));
    row(Health, ssd.healthPercentage() == kHealthUnknown
                    ? localized(QStringLiteral("unknown"))
                    : QStringLiteral("%1%").arg(ssd.healthPercentage()));
    row(Status, ssd.status(Wording::Shown));
    if (!ssd.healthInfo().isNull()) {
        row(Reason, ssd.healthInfo(Wording::Shown));
    }
    if (isLowAccuracy(ssd)) {
        row(Accuracy,
            localized(QStringLiteral("low (only the reallocated sectors were evaluated)")));
    }
    if (const QString wear = ssd.ownWearLine(Wording::Shown); !wear.isEmpty()) {
        row(Drive, wear);
    }
    if (const QString note = ssd.ownWearNote(Wording::Shown); !note.isEmpty()) {
        row(Note, note);
    }
    if (!ssd.fullAttributeInformation().isEmpty()) {
        out << localized(QStringLiteral("Attributes:")) << '\n';
        for (const QString& line :
             ssd.fullAttributeInformation(Wording::Shown).split(QLatin1Char('\n'))) {
            out << "  " << line << '\n';
        }
    }
}

// Reports saved on Windows or by some editors are UTF-16 with a byte-order
// mark; everything else is taken as UTF-8.
QString decodedText(const QByteArray& data) {
    const std::optional<QStringConverter::Encoding> encoding =
        QStringConverter::encodingForData(data);
    if (!encoding) {
        return QString::fromUtf8(data);
    }
    QStringDecoder decoder(*encoding);
    return decoder.decode(data);
}

int exitStatus(const SSD& ssd, IntSettings& settings) {
    const qint64 health = ssd.healthPercentage();
    if (health <= settings.defaultInt(QStringLiteral("ThresholdError"))) {
        return exit_codes::kError;
    }
    if (health <= settings.defaultInt(QStringLiteral("ThresholdWarning"))) {
        return exit_codes::kWarning;
    }
    if (health == kHealthUnknown || ssd.smartStatus() == SMARTStatusNotCapable) {
        return exit_codes::kUnknown;
    }
    return exit_codes::kOk;
}

}  // namespace

int runEvaluate(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption model(QStringLiteral("model"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption revision(QStringLiteral("revision"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption protocol(QStringLiteral("protocol"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption name(QStringLiteral("name"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption status(QStringLiteral("status"), {}, QStringLiteral("N"));
    const QCommandLineOption allDisks(QStringLiteral("all-disks"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption persist(QStringLiteral("persist"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({model, revision, protocol, name, status, allDisks, json, persist, help});

    const auto usageError = [&err](const QString& message) {
        err << "ostrivane-cli evaluate: " << message << '\n'
            << localized(QStringLiteral("Try 'ostrivane-cli evaluate --help'.")) << '\n';
        err.flush();
        return exit_codes::kUsage;
    };
    if (!parser.parse(QStringList{QStringLiteral("evaluate")} + args)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    if (parser.positionalArguments().size() != 1) {
        return usageError(
            parser.positionalArguments().isEmpty()
                ? localized(QStringLiteral("missing input FILE (use - for standard input)"))
                : localized(QStringLiteral("expected one input FILE")));
    }
    std::optional<std::uint8_t> statusOverride;
    if (parser.isSet(status)) {
        bool ok = false;
        const int value = parser.value(status).toInt(&ok);
        if (!ok || value < 0 || value > 3) {
            return usageError(localized(QStringLiteral("--status must be 0, 1, 2 or 3, not '%1'"))
                                  .arg(parser.value(status)));
        }
        statusOverride = std::uint8_t(value);
    }

    const QString path = parser.positionalArguments().constFirst();
    QString readError;
    const std::optional<QByteArray> input = readInputFile(path, readError);
    if (!input) {
        err << "ostrivane-cli evaluate: " << readError << '\n';
        err.flush();
        return exit_codes::kNoInput;
    }

    const SmartctlReport report = parseSmartctlReport(decodedText(*input));
    if (!report.hasAtaTable && !report.hasNvmeHealth) {
        err << "ostrivane-cli evaluate: "
            << (path == QLatin1String("-")
                    ? localized(QStringLiteral("the input holds no S.M.A.R.T. attribute table and "
                                               "no NVMe health section"))
                    : localized(QStringLiteral("%1 holds no S.M.A.R.T. attribute table and no NVMe "
                                               "health section"))
                          .arg(path))
            << '\n'
            << localized(QStringLiteral("Give it the output of 'smartctl -a', '-x', '-A' or "
                                        "'--json', or a bare attribute table."))
            << '\n';
        err.flush();
        return exit_codes::kDataError;
    }
    if (!parser.isSet(model) && report.model.isEmpty()) {
        err << "ostrivane-cli evaluate: "
            << localized(QStringLiteral("warning: the input names no model (no \"Device Model:\" "
                                        "or \"Model Number:\" line); the model-specific rules "
                                        "cannot apply without --model"))
            << '\n';
        err.flush();
    }
    const QString modelName = parser.isSet(model) ? parser.value(model) : report.model;
    QVariantMap description{
        {QStringLiteral("DAMediaName"), modelName},
        {QStringLiteral("DADeviceRevision"),
         parser.isSet(revision) ? parser.value(revision) : report.revision},
        {QStringLiteral("DADeviceProtocol"),
         parser.isSet(protocol) ? parser.value(protocol) : report.protocol},
    };
    if (report.solidState.value_or(true)) {
        description.insert(QStringLiteral("isSSD"), true);
    }
    if (report.hasNvmeHealth) {
        description.insert(QStringLiteral("isNVME"), true);
    }

    MemorySettings memorySettings(evaluationDefaults());
    StoreSettings storeSettings;
    if (parser.isSet(persist)) {
        installFallbackDefaults();
    }
    QHash<QString, qint64> overrides;
    if (parser.isSet(allDisks)) {
        // For this run only: the stored setting is left as it is.
        overrides.insert(QStringLiteral("CheckAllDisks"), 1);
    }
    OverriddenSettings settings(
        parser.isSet(persist) ? static_cast<IntSettings&>(storeSettings) : memorySettings,
        overrides);
    StaticDiskLayer disks(statusOverride.value_or(report.smartStatus()), description,
                          report.attributes);
    // `smartctl -x` carries the drive's own figures in its Device Statistics.
    disks.setDeviceStatistics(parseDeviceStatisticsText(decodedText(*input)));
    NoHost host;
    NoReports reports;
    StderrFeedback feedback(err);
    StderrLogger logger(err, 5);
    const EvaluationServices services{disks, host, reports, feedback, logger, settings};

    SSD ssd(services);
    QString driveName = parser.value(name);
    if (driveName.isEmpty()) {
        driveName = modelName.isEmpty() ? QFileInfo(path).fileName() : modelName;
    }
    ssd.setName(driveName);
    ssd.setDeviceNode(path == QLatin1String("-") ? QStringLiteral("standard input") : path);
    ssd.performCheck();

    const int result = exitStatus(ssd, settings);
    if (parser.isSet(json)) {
        out << jsonText(toJson(ssd, description, result));
    } else {
        printText(ssd, out);
    }
    out.flush();
    return result;
}

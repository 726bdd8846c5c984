// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ssd.h"

#include "core/attribute_text.h"
#include "core/model_rules.h"
#include "ext/literal.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace {

QString text(const std::optional<QVariantMap>& description, const char* key) {
    return description ? objectText(description->value(QLatin1StringView(key)))
                       : QStringLiteral("(null)");
}

QString descriptionText(const std::optional<QVariantMap>& description) {
    return description ? ::descriptionText(QVariant(*description)) : QStringLiteral("(null)");
}

}  // namespace

// What one evaluation knows about the drive besides the record's own fields.
struct SSD::Context {
    std::optional<QVariantMap> description;
    QString revision;
    bool knownHardDisk = false;
    bool micronFamily = false;
    model_rules::WearIds ids{};
    bool ignore226 = false;
    // 233 was made from the NVMe percentage used, not reported by the drive.
    bool mapped233 = false;
};

AttributeTable SSD::getAttributesFromSMTString(QStringView text) {
    return parseAttributeText(text);
}

void SSD::performCheck() {
    IntSettings& settings = services_.settings;
    reason_ = Reason::None;
    rows_.clear();

    smartStatus_ = services_.disks.getDiskSMARTStatus(disknum_);
    Context context;
    context.description = services_.disks.descriptionForDevice(disknum_);
    modelName_ = context.description
                     ? context.description->value(QStringLiteral("DAMediaName")).toString()
                     : QString();
    if (modelName_.isNull()) {
        modelName_ = QLatin1StringView("");
    }
    context.revision =
        context.description
            ? context.description->value(QStringLiteral("DADeviceRevision")).toString()
            : QString();
    allAttributes_ = services_.disks.getDiskSMARTAttributes(disknum_);
    ownWear_ =
        driveWear(allAttributes_, services_.disks.getDiskDeviceStatistics(disknum_), modelName_);

    context.knownHardDisk = model_rules::knownHardDiskMatches(modelName_) != 0;
    context.micronFamily = model_rules::isMicronFamily(modelName_);

    // NVMe drives have no wear attributes of their own: percentage used and
    // available spare stand in for 233 and 5.
    if (allAttributes_) {
        AttributeTable& table = *allAttributes_;
        if (auto it = table.find(904); it != table.end()) {
            const qint64 used = AttributeRecord::read64(it->second.currentValue);
            AttributeRecord wear;
            wear.currentValue =
                AttributeNumber::fromSigned(used < 0 ? 100 : std::max<qint64>(0, 100 - used));
            wear.isOnline = AttributeNumber::fromSigned(1);
            table[233] = wear;
            context.mapped233 = true;
        }
        if (auto it = table.find(902); it != table.end()) {
            const qint64 spare = AttributeRecord::read64(it->second.currentValue);
            AttributeRecord reallocation;
            reallocation.currentValue =
                AttributeNumber::fromSigned(std::clamp<qint64>(spare, 0, 100));
            reallocation.isOnline = AttributeNumber::fromSigned(1);
            table[5] = reallocation;
        }
    }

    context.ids = model_rules::wearIds(modelName_);
    context.ignore226 = model_rules::ignoresAttribute226(modelName_);

    const QString mediaName = text(context.description, "DAMediaName");
    if (settings.defaultInt(QStringLiteral("didSendModel")) <= 0 &&
        model_rules::isReportedOnce(modelName_)) {
        reportUnexpectedValues(
            QStringLiteral(
                "Ostrivane encountered some unexpected SSD values, please send us the report."),
            context);
        settings.setDefaultInt(QStringLiteral("didSendModel"), 1);
    }

    const qint64 descriptionSaysSSD =
        context.description ? context.description->value(QStringLiteral("isSSD")).toLongLong() : 0;
    isSSD_ = descriptionSaysSSD > 0 || settings.defaultInt(QStringLiteral("CheckAllDisks")) > 0;

    bool lowAccuracy = true;
    if (isSSD_) {
        const QString token = QStringLiteral("didSubmitSSD%1%2").arg(name_, mediaName);
        // An unread (sleeping) disk has nothing to submit yet.
        if (settings.defaultInt(QStringLiteral("AllowSSDSubmission")) == 1 && !unread() &&
            !services_.reports.logged(token)) {
            QString report = QStringLiteral("%1 || %2 || %3 || %4")
                                 .arg(mediaName, text(context.description, "DADeviceRevision"),
                                      text(context.description, "DADeviceProtocol"),
                                      literalString(allAttributes_));
            report.replace(QLatin1Char('\n'), QLatin1Char(' '));
            services_.reports.log(report, QStringLiteral("diskdata"), token);
        }
        evaluateAttributes(context, lowAccuracy);
    } else {
        fullAttributeInformation_ = QLatin1StringView("");
        healthPercentage_ = kHealthUnknown;
    }

    if (smartStatus_ == SMARTStatusFailing) {
        healthPercentage_ = 0;
        reason_ = Reason::Failing;
    }
    lowAccuracy_ = lowAccuracy && reason_ == Reason::Attribute;

    const QString healthKey = QStringLiteral("%1_lastCheckHealth").arg(name_);
    if (unread()) {
        // Nothing was asked of a sleeping disk: its stored health and status
        // stay as the last read left them.
        lastHealthPercentage_ = qint32(settings.defaultInt(healthKey));
        healthPercentage_ = lastHealthPercentage_ > 0 ? lastHealthPercentage_ : kHealthUnknown;
        reason_ = Reason::Standby;
        lowAccuracy_ = false;
        healthInfo_ = healthInfo(Wording::Stored);
        return;
    }

    if (settings.defaultInt(QStringLiteral("AllowSSDSubmission")) != 0) {
        const QString key = QStringLiteral("LastSmartStatus%1%2").arg(name_, mediaName);
        const qint64 stored = settings.defaultInt(key);
        if (stored != 0) {
            const qint64 previous = stored - 1;
            const bool previousValid =
                previous == SMARTStatusFailing || previous == SMARTStatusVerified;
            const bool currentValid =
                smartStatus_ == SMARTStatusFailing || smartStatus_ == SMARTStatusVerified;
            if (previousValid != currentValid) {
                QString report =
                    QStringLiteral("changed_%1_%2_%3_%4")
                        .arg(QString::number(previous), QString::number(smartStatus_),
                             services_.host.machineType(), descriptionText(context.description));
                report.replace(QLatin1Char('\n'), QLatin1Char(' '));
                services_.reports.log(report, QStringLiteral("brokensmart"));
            }
        }
        settings.setDefaultInt(key, qint64(smartStatus_) + 1);
    }

    healthInfo_ = healthInfo(Wording::Stored);
    lastHealthPercentage_ = qint32(settings.defaultInt(healthKey));
    settings.setDefaultInt(healthKey, healthPercentage_);
}

void SSD::evaluateAttributes(const Context& context, bool& lowAccuracy) {
    const model_rules::WearIds& ids = context.ids;
    // The relevant ids in ascending order; a disabled row names no attribute.
    std::array<int, 7> relevant = {ids.reallocation, 202, ids.wear, 230, 226, 233, 231};
    const auto isRelevant = [&relevant](int id) {
        return id != model_rules::kDisabledId &&
               std::find(relevant.begin(), relevant.end(), id) != relevant.end();
    };

    qint32 minimum = kHealthUnknown;
    if (allAttributes_) {
        for (const auto& [id, record] : *allAttributes_) {
            if (!isRelevant(id) || AttributeRecord::read32(record.isOnline) == 0) {
                continue;
            }
            if (id != 5) {
                lowAccuracy = false;
            }
            if (id == 226 && context.ignore226) {
                continue;
            }
            const qint32 value = AttributeRecord::read32(record.currentValue);
            const qint32 threshold = AttributeRecord::read32(record.threshold);
            const bool verified = smartStatus_ == SMARTStatusVerified;
            // An ATA drive may report an empty 233; a mapped one at 0 means the
            // NVMe drive has used up its rated life, and must count.
            if (value == 0 && threshold == 0 && id == 233 && verified && !context.mapped233) {
                services_.log.log_message(
                    5,
                    QStringLiteral("Info: Ostrivane ignoring disk attribute 233 of disk %1 because "
                                   "S.M.A.R.T. is OK but value and threshold zero")
                        .arg(disknum_));
                continue;
            }
            if (value <= threshold && verified) {
                services_.log.log_message(
                    5, QStringLiteral(
                           "Info: Ostrivane sees attribute %1 of disk %2 falling to %3 which "
                           "is below threshold %4, but the S.M.A.R.T. status is still OK - "
                           "thats WEIRD. ")
                           .arg(id)
                           .arg(disknum_)
                           .arg(value)
                           .arg(threshold));
            }
            const QString name = model_rules::displayName(id, ids, context.micronFamily);
            rows_.push_back({name, id, value, threshold});

            const model_rules::AssumedMaximum maximum = model_rules::assumedMaximum(
                id, value, threshold, modelName_, context.revision, context.knownHardDisk);
            if (maximum.unexpected) {
                reportUnexpectedValues(QStringLiteral("Ostrivane encountered some unexpected SSD "
                                                      "values, please send us the report"),
                                       context);
            }
            if (value > maximum.value) {
                reportUnexpectedValues(
                    QStringLiteral("Ostrivane encountered some VERY unexpected SSD "
                                   "values, please send us the report"),
                    context);
            }

            // Written as the ratio of ratios on purpose: when M equals T it
            // yields infinity or not-a-number instead of a division trap.
            const double m = maximum.value;
            double percentage =
                (double(value) - double(threshold)) * (m / (m - double(threshold))) / (m / 100.0);
            if (percentage < 0) {
                percentage = 0;
            }
            if (double(minimum) >= percentage) {
                minimum = qint32(std::trunc(percentage));
                reason_ = Reason::Attribute;
                reasonRow_ = rows_.size() - 1;
            }
        }
    }
    fullAttributeInformation_ = fullAttributeInformation(Wording::Stored);
    healthPercentage_ = minimum;
}

void SSD::reportUnexpectedValues(const QString& message, const Context& context) {
    services_.feedback.alert_feedback(
        message,
        QStringLiteral("\n%1\n\n%2")
            .arg(literalString(allAttributes_), descriptionText(context.description)),
        false);
}

QString SSD::fullAttributeInformation(Wording wording) const {
    QString listing;
    for (const AttributeRow& row : rows_) {
        listing += worded(QStringLiteral("%1 (%2):\t%3 [threshold: %4] %5"), wording)
                       .arg(row.name)
                       .arg(row.id)
                       .arg(row.value)
                       .arg(row.threshold)
                       .arg(row.threshold >= row.value
                                ? worded(QStringLiteral("(WARNING: attribute exceeds threshold!)"),
                                         wording)
                                : QString());
        listing += QLatin1Char('\n');
    }
    return listing.trimmed();
}

QString SSD::healthInfo(Wording wording) const {
    switch (reason_) {
        case Reason::None:
            return {};
        case Reason::Failing:
            return worded(QStringLiteral("S.M.A.R.T. status FAILING!"), wording);
        case Reason::Standby:
            return standbyText(wording);
        case Reason::Attribute:
            break;
    }
    const AttributeRow& row = rows_[reasonRow_];
    QString text = worded(QStringLiteral("%1: %2 [threshold: %3]"), wording)
                       .arg(row.name)
                       .arg(row.value)
                       .arg(row.threshold);
    if (lowAccuracy_) {
        text += worded(kLowAccuracyMark.toString(), wording);
    }
    return text;
}

QString SSD::standbyText(Wording wording) const {
    return standbySince_
               ? worded(QStringLiteral("in standby since %1"), wording)
                     .arg(standbySince_->toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
               : QString();
}

QString SSD::ownWearSummary(Wording wording) const {
    QStringList lines;
    for (const QString& line : {ownWearLine(wording), ownWearNote(wording), standbyText(wording)}) {
        if (!line.isEmpty()) {
            lines.append(line);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString SSD::status(Wording wording) const {
    if (unread() && healthPercentage_ == kHealthUnknown) {
        return standbyText(wording);
    }
    if (smartStatus_ == SMARTStatusNotCapable) {
        return worded(QStringLiteral("This SSD is not S.M.A.R.T. compatible"), wording);
    }
    if (healthPercentage_ == kHealthUnknown) {
        return worded(QStringLiteral("This SSD is not compatible with Ostrivane"), wording);
    }
    const QString reason = wording == Wording::Stored ? healthInfo_ : healthInfo(wording);
    return QStringLiteral("%1% (%2)").arg(healthPercentage_).arg(objectText(QVariant(reason)));
}

QUrl SSD::iconURL() const {
    IntSettings& settings = services_.settings;
    if (healthPercentage_ < settings.defaultInt(QStringLiteral("ThresholdError"))) {
        return QUrl(QStringLiteral("error.png"));
    }
    if (healthPercentage_ < settings.defaultInt(QStringLiteral("ThresholdWarning"))) {
        return QUrl(QStringLiteral("warning.png"));
    }
    if (smartStatus_ == SMARTStatusNotCapable || healthPercentage_ == kHealthUnknown) {
        return QUrl(QStringLiteral("info.png"));
    }
    return QUrl(QStringLiteral("ok.png"));
}

QString SSD::description() const {
    const QString node =
        deviceNode_.isEmpty() ? QStringLiteral("/dev/disk%1").arg(disknum_) : deviceNode_;
    return QStringLiteral("%1  (%2)").arg(objectText(QVariant(name_)), node);
}

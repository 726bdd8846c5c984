// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/prometheus_textfile.h"

#include "cli/exit_codes.h"
#include "ext/text.h"

#include <QFile>
#include <QLocale>

#include <optional>
#include <utility>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString labelValue(QString text) {
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QString identity(const PrometheusDrive& drive) {
    return QStringLiteral("device=\"%1\",serial=\"%2\"")
        .arg(labelValue(drive.ssd->deviceNode()), labelValue(drive.serial));
}

// Whole numbers in full (1024000000, not 1.024e+09), fractions in the
// shortest text that reads back as the same double (0.93, not 0.93000000000000005).
QString number(double value) {
    constexpr double kExact = 9007199254740992.0;  // 2^53
    if (value == std::trunc(value) && std::fabs(value) <= kExact) {
        return QString::number(qint64(value));
    }
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

struct Sample {
    QString labels;
    double value;
};

class Family {
  public:
    Family(const char* name, const char* type, const char* help)
        : name_(QLatin1String(name)), type_(QLatin1String(type)), help_(QLatin1String(help)) {}
    void add(const QString& labels, double value) { samples_.push_back({labels, value}); }
    // A family without samples is left out: no HELP for a metric nobody has.
    void writeTo(QString& text) const {
        if (samples_.empty()) {
            return;
        }
        text += QStringLiteral("# HELP %1 %2\n# TYPE %1 %3\n").arg(name_, help_, type_);
        for (const Sample& sample : samples_) {
            text += name_;
            if (!sample.labels.isEmpty()) {
                text += QLatin1Char('{') + sample.labels + QLatin1Char('}');
            }
            text += QLatin1Char(' ') + number(sample.value) + QLatin1Char('\n');
        }
    }

  private:
    QString name_;
    QString type_;
    QString help_;
    std::vector<Sample> samples_;
};

std::optional<quint64> nvmeField(const AttributeTable& table, int id) {
    const auto it = table.find(id);
    if (it == table.end() || !it->second.currentValue) {
        return std::nullopt;
    }
    return it->second.currentValue->toUInt64();
}

// The NVMe health log's fields are 900..914; the reader adds ATA-like
// attributes derived from them beside, so those ids alone say NVMe.
bool isNvme(const AttributeTable& table) {
    return table.find(900) != table.end() && table.find(904) != table.end();
}

}  // namespace

QString prometheusText(const std::vector<PrometheusDrive>& drives, const PrometheusCheck& check) {
    Family info("ostrivane_drive_info", "gauge",
                "Identity of a checked drive: model, firmware, name and protocol; always 1.");
    Family health("ostrivane_drive_health_ratio", "gauge",
                  "Health of the drive as a fraction of its rated life, 0 to 1 (above 1: more "
                  "than rated; absent: no rule applied).");
    Family smart("ostrivane_drive_smart_status", "gauge",
                 "S.M.A.R.T. status of the drive: 1 for the state it is in, 0 for the others.");
    Family used("ostrivane_drive_percentage_used_ratio", "gauge",
                "The drive's own wear figure (NVMe Percentage Used, ATA Percentage Used "
                "Endurance Indicator): the fraction of the rated endurance used (may pass 1).");
    Family spare("ostrivane_drive_available_spare_ratio", "gauge",
                 "NVMe Available Spare: the fraction of the spare capacity left.");
    Family spareThreshold("ostrivane_drive_available_spare_threshold_ratio", "gauge",
                          "NVMe Available Spare Threshold.");
    Family powerOn("ostrivane_drive_power_on_seconds_total", "counter",
                   "Power-on hours the drive reports (NVMe health log, ATA Device Statistics), "
                   "in seconds.");
    Family temperature("ostrivane_drive_temperature_celsius", "gauge",
                       "Temperature of the drive (NVMe composite temperature, ATA Device "
                       "Statistics or attribute 194).");
    Family written("ostrivane_drive_data_written_bytes_total", "counter",
                   "Data the host wrote, in bytes (NVMe Data Units Written of 512,000 bytes, "
                   "ATA logical sectors written).");
    Family differs("ostrivane_drive_own_wear_differs", "gauge",
                   "1 when the health and the drive's own life left lie 20 points or more "
                   "apart, else 0.");
    Family standby("ostrivane_drive_standby", "gauge",
                   "1 when the disk was asleep and this check kept its last record unread.");
    Family mediaErrors("ostrivane_drive_media_errors_total", "counter",
                       "NVMe Media and Data Integrity Errors.");

    static const std::pair<std::uint8_t, const char*> kStates[] = {
        {SMARTStatusVerified, "verified"},
        {SMARTStatusFailing, "failing"},
        {SMARTStatusNotCapable, "not_capable"},
        {SMARTStatusUnknown, "unknown"}};
    for (const PrometheusDrive& drive : drives) {
        const QString id = identity(drive);
        info.add(QStringLiteral("%1,model=\"%2\",firmware=\"%3\",name=\"%4\",protocol=\"%5\"")
                     .arg(id, labelValue(drive.ssd->modelName()), labelValue(drive.firmware),
                          labelValue(drive.ssd->name()), labelValue(drive.protocol)),
                 1);
        if (drive.ssd->healthPercentage() != kHealthUnknown) {
            health.add(id, drive.ssd->healthPercentage() / 100.0);
        }
        for (const auto& [state, name] : kStates) {
            smart.add(QStringLiteral("%1,state=\"%2\"").arg(id, QLatin1String(name)),
                      drive.ssd->smartStatus() == state ? 1 : 0);
        }
        standby.add(id, drive.ssd->standbySince() ? 1 : 0);
        if (drive.ssd->ownWear().percentageUsed) {
            differs.add(id, drive.ssd->ownWearNote().isEmpty() ? 0 : 1);
        }
        if (!drive.ssd->allAttributes()) {
            continue;
        }
        const AttributeTable& table = *drive.ssd->allAttributes();
        if (isNvme(table)) {
            if (const auto value = nvmeField(table, 904)) {
                used.add(id, double(*value) / 100.0);
            }
            if (const auto value = nvmeField(table, 902)) {
                spare.add(id, double(*value) / 100.0);
            }
            if (const auto value = nvmeField(table, 903)) {
                spareThreshold.add(id, double(*value) / 100.0);
            }
            if (const auto value = nvmeField(table, 911)) {
                powerOn.add(id, double(*value) * 3600.0);
            }
            // Stored as kelvin - 273 in 16 bits; -273 means the drive reports none.
            if (const auto value = nvmeField(table, 901); value && qint16(*value) != -273) {
                temperature.add(id, qint16(*value));
            }
            if (const auto value = nvmeField(table, 906)) {
                written.add(id, double(*value) * 512000.0);
            }
            if (const auto value = nvmeField(table, 913)) {
                mediaErrors.add(id, double(*value));
            }
        } else {
            // ATA: the figures the drive keeps in its Device Statistics, and
            // only attributes whose unit is known (see driveWear).
            const DriveWear& wear = drive.ssd->ownWear();
            if (wear.percentageUsed) {
                used.add(id, *wear.percentageUsed / 100.0);
            }
            if (wear.powerOnHours) {
                powerOn.add(id, double(*wear.powerOnHours) * 3600.0);
            }
            if (wear.temperature) {
                temperature.add(id, *wear.temperature);
            }
            if (wear.bytesWritten) {
                written.add(id, double(*wear.bytesWritten));
            }
        }
    }

    QString text;
    for (const Family* family : {&info, &health, &smart, &used, &spare, &spareThreshold, &powerOn,
                                 &temperature, &written, &mediaErrors, &differs, &standby}) {
        family->writeTo(text);
    }
    Family thresholds("ostrivane_health_threshold_ratio", "gauge",
                      "The health at or below which a drive is a warning or an error.");
    thresholds.add(QStringLiteral("severity=\"warning\""), double(check.warningPercent) / 100.0);
    thresholds.add(QStringLiteral("severity=\"error\""), double(check.errorPercent) / 100.0);
    thresholds.writeTo(text);
    Family success("ostrivane_check_success", "gauge",
                   "1 when the check determined the health of its drives (exit status 0, 1 or "
                   "2), 0 when it could not (3).");
    success.add({}, check.exitStatus >= 0 && check.exitStatus <= 2 ? 1 : 0);
    success.writeTo(text);
    Family status("ostrivane_check_exit_status", "gauge",
                  "Exit status of the check: 0 fine, 1 warning, 2 error or failing, 3 unknown.");
    status.add({}, check.exitStatus);
    status.writeTo(text);
    Family time("ostrivane_check_timestamp_seconds", "gauge",
                "Time of the check, in seconds since the epoch.");
    time.add({}, double(check.checked.toSecsSinceEpoch()));
    time.writeTo(text);
    return text;
}

int writePrometheusFile(const QString& path, const QString& text, QString& problem) {
    const QByteArray name = QFile::encodeName(path);
    QByteArray target = name;
    struct stat info {};
    if (::lstat(name.constData(), &info) == 0) {
        // A link is followed, so the new file lands where it points and the link stays.
        if (S_ISLNK(info.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(name.constData(), resolved) == nullptr || ::stat(resolved, &info) != 0) {
                problem = localized(QStringLiteral("a link to nothing that may be replaced"));
                return exit_codes::kCantCreate;
            }
            target = QByteArray(resolved);
        }
        // Never a device node, a FIFO or a folder: renaming over /dev/null as root
        // would break the machine, and a FIFO's reader would wait for nothing.
        if (!S_ISREG(info.st_mode)) {
            problem = localized(QStringLiteral("not a regular file; only one may be replaced"));
            return exit_codes::kCantCreate;
        }
    } else if (errno != ENOENT) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
        return exit_codes::kCantCreate;
    }

    // The new text goes to a hidden name beside the target (the textfile
    // collector reads only *.prom files) and replaces it only when complete
    // and on the disk, so a full disk leaves the previous file as it was.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax<qsizetype>(slash, 1));
    QByteArray temporary = (slash < 0 ? QByteArray() : target.left(slash + 1)) + '.' +
                           target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
        return exit_codes::kCantCreate;
    }
    const auto fail = [&](int error) {
        problem = QString::fromLocal8Bit(std::strerror(error));
        ::close(fd);
        ::unlink(temporary.constData());
        return exit_codes::kIoError;
    };
    // node_exporter usually runs as another user, whatever our umask.
    if (::fchmod(fd, 0644) != 0) {
        return fail(errno);
    }
    const QByteArray bytes = text.toUtf8();
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return fail(written < 0 ? errno : ENOSPC);
        }
        data += written;
        left -= written;
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        problem = QString::fromLocal8Bit(std::strerror(error));
        ::unlink(temporary.constData());
        return exit_codes::kIoError;
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(temporary.constData());
        return exit_codes::kIoError;
    }
    // Makes the rename itself survive a power cut; the file is in place either way.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return exit_codes::kOk;
}

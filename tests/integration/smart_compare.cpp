// SPDX-License-Identifier: GPL-3.0-or-later
// Compares `ostrivane-cli smart --json` with `smartctl -a -j` of the same disk:
// status (PASSED <-> 2, FAILED <-> 1), and every ATA attribute's value, worst,
// threshold, raw value and flags, or every NVMe health field. The first line
// of the output is the verdict; exit status 1 on any difference.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

namespace {

QJsonObject load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

qint64 integer(const QJsonValue& value) {
    if (value.isBool()) {
        return value.toBool() ? 1 : 0;
    }
    return value.isString() ? value.toString().toLongLong() : qint64(value.toDouble());
}

}  // namespace

int main(int argc, char** argv) {
    QTextStream out(stdout);
    if (argc != 3) {
        out << "usage: smart_compare OURS.json SMARTCTL.json\n";
        return 2;
    }
    const QJsonObject ours =
        load(QString::fromLocal8Bit(argv[1]))[QStringLiteral("drive")].toObject();
    const QJsonObject theirs = load(QString::fromLocal8Bit(argv[2]));
    QStringList differences;
    if (ours.isEmpty() || theirs.isEmpty()) {
        out << "MISMATCH: unreadable JSON\n";
        return 1;
    }

    const bool passed = theirs[QStringLiteral("smart_status")][QStringLiteral("passed")].toBool();
    const QString state = ours[QStringLiteral("smartStatus")].toString();
    const int status = state == QLatin1String("verified")     ? 2
                       : state == QLatin1String("failing")    ? 1
                       : state == QLatin1String("notCapable") ? 3
                                                              : 0;
    if (status != (passed ? 2 : 1)) {
        differences
            << QStringLiteral("status %1 vs %2").arg(status).arg(passed ? "PASSED" : "FAILED");
    }

    QMap<int, QJsonObject> mine;
    for (const QJsonValue& v : ours[QStringLiteral("attributes")].toArray()) {
        mine.insert(v[QStringLiteral("id")].toInt(), v.toObject());
    }
    int compared = 0;
    const auto check = [&](int id, const char* key, qint64 expected) {
        const qint64 got = integer(mine.value(id).value(QLatin1String(key)));
        if (!mine.contains(id) || got != expected) {
            differences << QStringLiteral("%1.%2 %3 vs %4").arg(id).arg(key).arg(got).arg(expected);
        }
    };
    const QJsonObject nvme = theirs[QStringLiteral("nvme_smart_health_information_log")].toObject();
    if (!nvme.isEmpty()) {
        int id = 900;
        for (const char* field :
             {"critical_warning", "temperature", "available_spare", "available_spare_threshold",
              "percentage_used", "data_units_read", "data_units_written", "host_reads",
              "host_writes", "controller_busy_time", "power_cycles", "power_on_hours",
              "unsafe_shutdowns", "media_errors", "num_err_log_entries"}) {
            check(id, "currentValue", integer(nvme.value(QLatin1String(field))));
            if (mine.value(id).value(QStringLiteral("name")).toString() != QLatin1String(field)) {
                differences << QStringLiteral("%1 is not named %2").arg(id).arg(field);
            }
            ++id;
            ++compared;
        }
        check(902, "threshold", integer(nvme.value(QStringLiteral("available_spare_threshold"))));
    } else {
        const QJsonArray table =
            theirs[QStringLiteral("ata_smart_attributes")][QStringLiteral("table")].toArray();
        if (table.isEmpty()) {
            differences << QStringLiteral("smartctl shows no attributes");
        }
        for (const QJsonValue& a : table) {
            const int id = a[QStringLiteral("id")].toInt();
            check(id, "currentValue", a[QStringLiteral("value")].toInteger());
            check(id, "worstValue", a[QStringLiteral("worst")].toInteger());
            check(id, "threshold", a[QStringLiteral("thresh")].toInteger());
            check(id, "rawValue", integer(a[QStringLiteral("raw")][QStringLiteral("value")]));
            const QJsonObject flags = a[QStringLiteral("flags")].toObject();
            check(id, "isPrefail", flags[QStringLiteral("prefailure")].toBool() ? 1 : 0);
            check(id, "isOnline", flags[QStringLiteral("updated_online")].toBool() ? 1 : 0);
            ++compared;
        }
        if (mine.size() != table.size()) {
            differences << QStringLiteral("%1 attributes vs %2").arg(mine.size()).arg(table.size());
        }
    }

    if (differences.isEmpty()) {
        out << QStringLiteral("OK: status %1, %2 %3 equal\n")
                   .arg(status)
                   .arg(compared)
                   .arg(nvme.isEmpty() ? "attributes" : "NVMe fields");
        return 0;
    }
    out << "MISMATCH: " << differences.size() << " differences\n";
    for (const QString& d : differences) {
        out << "  " << d << '\n';
    }
    return 1;
}

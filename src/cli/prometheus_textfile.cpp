#include "cli/prometheus_textfile.h"

#include <QSaveFile>

namespace {

QString labelValue(QString text) {
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QString labels(const PrometheusDrive& drive) {
    return QStringLiteral("{device=\"%1\",name=\"%2\",model=\"%3\",serial=\"%4\"}")
        .arg(labelValue(drive.ssd->deviceNode()), labelValue(drive.ssd->name()),
             labelValue(drive.ssd->modelName()), labelValue(drive.serial));
}

}  // namespace

QString prometheusText(const std::vector<PrometheusDrive>& drives, const QDateTime& checked) {
    QString text;
    text += QStringLiteral(
        "# HELP ostrivane_ssd_health_percent Health of the solid-state drive (NaN: no rule "
        "applied).\n# TYPE ostrivane_ssd_health_percent gauge\n");
    for (const PrometheusDrive& drive : drives) {
        const qint32 health = drive.ssd->healthPercentage();
        text += QStringLiteral("ostrivane_ssd_health_percent%1 %2\n")
                    .arg(labels(drive), health == kHealthUnknown ? QStringLiteral("NaN")
                                                                 : QString::number(health));
    }
    text += QStringLiteral(
        "# HELP ostrivane_ssd_smart_status S.M.A.R.T. status: 0 unknown, 1 failing, 2 verified, "
        "3 not capable.\n# TYPE ostrivane_ssd_smart_status gauge\n");
    for (const PrometheusDrive& drive : drives) {
        text += QStringLiteral("ostrivane_ssd_smart_status%1 %2\n")
                    .arg(labels(drive), QString::number(drive.ssd->smartStatus()));
    }
    text += QStringLiteral(
                "# HELP ostrivane_check_timestamp_seconds Time of the check.\n"
                "# TYPE ostrivane_check_timestamp_seconds gauge\n"
                "ostrivane_check_timestamp_seconds %1\n")
                .arg(checked.toSecsSinceEpoch());
    return text;
}

bool writePrometheusFile(const QString& path, const QString& text, QString& problem) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        problem = file.errorString();
        return false;
    }
    file.write(text.toUtf8());
    if (!file.commit()) {
        problem = file.errorString();
        return false;
    }
    return true;
}

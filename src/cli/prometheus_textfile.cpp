#include "cli/prometheus_textfile.h"

#include "cli/exit_codes.h"

#include <QFile>

#include <cerrno>
#include <climits>
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

int writePrometheusFile(const QString& path, const QString& text, QString& problem) {
    const QByteArray name = QFile::encodeName(path);
    QByteArray target = name;
    struct stat info {};
    if (::lstat(name.constData(), &info) == 0) {
        // A link is followed, so the new file lands where it points and the link stays.
        if (S_ISLNK(info.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(name.constData(), resolved) == nullptr || ::stat(resolved, &info) != 0) {
                problem = QStringLiteral("a link to nothing that may be replaced");
                return exit_codes::kCantCreate;
            }
            target = QByteArray(resolved);
        }
        // Never a device node, a FIFO or a folder: renaming over /dev/null as root
        // would break the machine, and a FIFO's reader would wait for nothing.
        if (!S_ISREG(info.st_mode)) {
            problem = QStringLiteral("not a regular file; only one may be replaced");
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/plugin_output.h"

#include "cli/exit_codes.h"
#include "core/smart_status.h"
#include "ext/text.h"

#include <QFileInfo>

#include <unistd.h>

#include <chrono>

namespace {

constexpr qint32 kUnknownHealth = 255;

// The text part must stay on one line and must not contain the '|' that
// starts the performance data.
QString plainText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('|')) {
            out += QLatin1Char('/');
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                   c == QChar::ParagraphSeparator) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

// A label is quoted; a quote inside is doubled and '=' (which ends the label
// for every parser) is replaced.
QString perfLabel(const PluginDrive& drive) {
    QString label = drive.device.isEmpty() ? drive.name : QFileInfo(drive.device).fileName();
    if (label.isEmpty()) {
        label = QStringLiteral("drive");
    }
    label = plainText(label);
    label.replace(QLatin1Char('='), QLatin1Char('_'));
    label.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + label + QLatin1Char('\'');
}

QString driveName(const PluginDrive& drive) {
    if (drive.name.isEmpty()) {
        return plainText(drive.device);
    }
    if (drive.device.isEmpty()) {
        return plainText(drive.name);
    }
    return plainText(drive.name + QStringLiteral(", ") + drive.device);
}

QString smartText(std::uint8_t status) {
    switch (status) {
        case SMARTStatusFailing:
            return localized(QStringLiteral("S.M.A.R.T. failing"));
        case SMARTStatusVerified:
            return localized(QStringLiteral("S.M.A.R.T. verified"));
        case SMARTStatusNotCapable:
            return localized(QStringLiteral("not S.M.A.R.T. capable"));
        default:
            return localized(QStringLiteral("S.M.A.R.T. unknown"));
    }
}

QString summary(const std::vector<PluginDrive>& drives, bool accessRefused) {
    if (drives.empty()) {
        return localized(QStringLiteral("no solid-state drive found"));
    }
    QString text = drives.size() == 1 ? localized(QStringLiteral("1 SSD"))
                                      : localized(QStringLiteral("%1 SSDs")).arg(drives.size());
    const PluginDrive* worst = nullptr;
    QStringList failing;
    for (const PluginDrive& drive : drives) {
        if (drive.health != kUnknownHealth && (worst == nullptr || drive.health < worst->health)) {
            worst = &drive;
        }
        if (drive.smartStatus == SMARTStatusFailing) {
            failing.append(driveName(drive));
        }
    }
    if (worst != nullptr) {
        text += localized(QStringLiteral(", worst %1 % (%2)"))
                    .arg(worst->health)
                    .arg(driveName(*worst));
    } else if (accessRefused) {
        text +=
            localized(QStringLiteral(", S.M.A.R.T. data unreadable (run as root or enable "
                                     "ostrivane-smart.socket)"));
    } else {
        text += localized(QStringLiteral(", health unknown"));
    }
    for (const QString& name : failing) {
        text += localized(QStringLiteral(", S.M.A.R.T. failing (%1)")).arg(name);
    }
    return text;
}

}  // namespace

// The state names belong to the plugin protocol and stay English; the
// summary after them is for the reader.
QString pluginStateName(int exitStatus) {
    switch (exitStatus) {
        case exit_codes::kOk:
            return QStringLiteral("OK");
        case exit_codes::kWarning:
            return QStringLiteral("WARNING");
        case exit_codes::kError:
            return QStringLiteral("CRITICAL");
        default:
            return QStringLiteral("UNKNOWN");
    }
}

QString pluginOutput(int exitStatus, const std::vector<PluginDrive>& drives,
                     const PluginThresholds& thresholds, bool verbose, bool accessRefused) {
    QString out = QStringLiteral("SSD %1 - %2")
                      .arg(pluginStateName(exitStatus), summary(drives, accessRefused));
    QStringList perfdata;
    for (const PluginDrive& drive : drives) {
        const QString value = drive.health == kUnknownHealth
                                  ? QStringLiteral("U")
                                  : QStringLiteral("%1%").arg(drive.health);
        perfdata.append(QStringLiteral("%1=%2;%3;%4;0;100")
                            .arg(perfLabel(drive), value)
                            .arg(thresholds.warning)
                            .arg(thresholds.error));
    }
    if (!perfdata.isEmpty()) {
        out += QStringLiteral(" | ") + perfdata.join(QLatin1Char(' '));
    }
    out += QLatin1Char('\n');
    if (verbose) {
        for (const PluginDrive& drive : drives) {
            out +=
                QStringLiteral("%1: %2, %3\n")
                    .arg(driveName(drive), plainText(drive.status), smartText(drive.smartStatus));
        }
    }
    return out;
}

QString pluginUnknown(const QString& message) {
    return QStringLiteral("SSD UNKNOWN - %1\n").arg(plainText(message));
}

PluginTimeout::PluginTimeout(int seconds) {
    const QByteArray line =
        pluginUnknown(localized(QStringLiteral("check timed out after %1 seconds")).arg(seconds))
            .toUtf8();
    watchdog_ = std::thread([this, seconds, line] {
        std::unique_lock lock(mutex_);
        if (finished_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
            return;
        }
        if (cleanup_) {
            cleanup_();
        }
        // The main thread may be stuck anywhere: only what is safe in any state.
        if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) < 0) {
            // Nothing left to tell it to.
        }
        ::_exit(exit_codes::kUnknown);
    });
}

void PluginTimeout::setCleanup(std::function<void()> cleanup) {
    std::lock_guard lock(mutex_);
    cleanup_ = std::move(cleanup);
}

PluginTimeout::~PluginTimeout() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    finished_.notify_all();
    watchdog_.join();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/list.h"

#include "ext/data.h"
#include "foundation/logging.h"

#include <QProcess>

QVariantMap dictionary(const QStringList& list) {
    QVariantMap out;
    for (const QString& element : list) {
        out.insert(element, 1);
    }
    return out;
}

QString joined(const QVariantList& list, const QString& separator) {
    QStringList texts;
    texts.reserve(list.size());
    for (const QVariant& element : list) {
        texts.append(objectText(element));
    }
    return texts.join(separator);
}

QString joined(const QStringList& list, const QString& separator) {
    return list.join(separator);
}

QString string(const QVariantList& list) {
    QString out;
    for (const QVariant& element : list) {
        if (element.typeId() == QMetaType::QString) {
            out += element.toString();
        }
    }
    return out;
}

QString string(const QStringList& list) {
    return list.join(QString());
}

QString path(const QStringList& components) {
    QString out;
    for (const QString& component : components) {
        if (component.isEmpty()) {
            continue;
        }
        if (!out.isEmpty() && !out.endsWith(QLatin1Char('/'))) {
            out += QLatin1Char('/');
        }
        out += component;
    }
    // Collapse repeated slashes and drop a trailing one, but keep a lone "/".
    QString clean;
    clean.reserve(out.size());
    for (QChar c : out) {
        if (c == QLatin1Char('/') && clean.endsWith(QLatin1Char('/'))) {
            continue;
        }
        clean += c;
    }
    if (clean.size() > 1 && clean.endsWith(QLatin1Char('/'))) {
        clean.chop(1);
    }
    return clean;
}

std::optional<QString> runAsTask(const QStringList& command) {
    return runAsTaskWithTerminationStatus(command, nullptr, false);
}

std::optional<QString> runAsTaskWithTerminationStatus(const QStringList& command, int* status,
                                                      bool usePolling) {
    // Linux refuses an exec whose arguments and environment exceed its limit
    // (a quarter of the stack limit, often 2 MB); warn well before that.
    constexpr qsizetype kArgumentWarningSize = 200000;
    qsizetype argumentSize = 0;
    for (const QString& argument : command) {
        argumentSize += argument.size();
    }
    if (argumentSize > kArgumentWarningSize) {
        log_message(3,
                    QStringLiteral(
                        "Error: task argument size approaching or above limit, spawn will fail"));
    }

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!command.isEmpty()) {
        process.start(command.first(), command.mid(1), QIODevice::ReadOnly);
    }
    if (command.isEmpty() || !process.waitForStarted(-1)) {
        const QString reason =
            command.isEmpty() ? QStringLiteral("no program given") : process.errorString();
        log_message(3, QStringLiteral("Error: got exception %1 while trying to perform task %2")
                           .arg(reason, command.join(QLatin1Char(' '))));
        return std::nullopt;
    }

    // Read as the output arrives: a child that fills the pipe would otherwise
    // block for ever while we wait for it to end.
    QByteArray output;
    while (process.state() == QProcess::Running) {
        const int waitMs = usePolling ? 50 : -1;
        if (process.waitForReadyRead(waitMs)) {
            output += process.readAll();
        } else if (!usePolling || process.state() != QProcess::Running) {
            break;
        }
    }
    while (!process.waitForFinished(usePolling ? 50 : -1)) {
        if (process.state() == QProcess::NotRunning) {
            break;
        }
    }
    output += process.readAll();

    if (status != nullptr) {
        *status = process.exitStatus() == QProcess::CrashExit ? -1 : process.exitCode();
    }
    return string(output).value_or(QString());
}

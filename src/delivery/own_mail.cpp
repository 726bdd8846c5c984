// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/own_mail.h"

#include "ext/network_module.h"
#include "foundation/defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUuid>

#include <sys/stat.h>

namespace {

QString setting(const char* key) {
    return defaultString(QString::fromLatin1(key)).value_or(QString()).trimmed();
}

QString headerValue(QString text) {
    text.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
    return text;
}

// RFC 2047 for a subject that is not plain ASCII.
QByteArray encodedWord(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 126 || c.unicode() < 32) {
            return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
        }
    }
    return text.toLatin1();
}

QString senderAddress(const OwnMailSettings& settings) {
    if (!settings.sender.isEmpty()) {
        return settings.sender;
    }
    QString host = QSysInfo::machineHostName();
    return QStringLiteral("ostrivane@") + (host.isEmpty() ? QStringLiteral("localhost") : host);
}

// Runs a program with the message on standard input; the reason when it
// fails, with the first lines it wrote to standard error.
QString runProgram(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& environment, const QByteArray& input,
                   int timeoutSeconds) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        return QStringLiteral("%1 did not start: %2").arg(program, process.errorString());
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(std::max(1, timeoutSeconds) * 1000)) {
        process.kill();
        process.waitForFinished(5000);
        return QStringLiteral("%1 did not finish within %2 seconds")
            .arg(program)
            .arg(timeoutSeconds);
    }
    const QString output = QString::fromUtf8(process.readAll().left(1000)).trimmed();
    if (process.exitStatus() != QProcess::NormalExit) {
        return QStringLiteral("%1 crashed").arg(program);
    }
    if (process.exitCode() != 0) {
        QString reason =
            QStringLiteral("%1 exited with status %2").arg(program).arg(process.exitCode());
        if (!output.isEmpty()) {
            reason += QStringLiteral(": ") + output.section(QLatin1Char('\n'), 0, 2);
        }
        return reason;
    }
    return {};
}

QString sendmailProgram(const OwnMailSettings& settings) {
    if (!settings.sendmailPath.isEmpty()) {
        return settings.sendmailPath;
    }
    QString found = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (found.isEmpty()) {
        found = QStandardPaths::findExecutable(
            QStringLiteral("sendmail"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")});
    }
    return found.isEmpty() ? QStringLiteral("/usr/sbin/sendmail") : found;
}

NetworkModule* loadedNetworkModule() {
    return networkModule();
}

}  // namespace

bool OwnMailSettings::usesRelay() const {
    return transport == Transport::Relay &&
           (transportName.isEmpty() || transportName == QLatin1String("relay"));
}

OwnMailSettings ownMailSettingsFromDefaults() {
    OwnMailSettings settings;
    settings.transportName = setting("NotificationEmailTransport").toLower();
    if (settings.transportName == QLatin1String("smtp")) {
        settings.transport = OwnMailSettings::Transport::Smtp;
    } else if (settings.transportName == QLatin1String("sendmail")) {
        settings.transport = OwnMailSettings::Transport::Sendmail;
    } else if (settings.transportName == QLatin1String("exec")) {
        settings.transport = OwnMailSettings::Transport::Exec;
    }
    settings.sender = setting("NotificationEmailSender");
    settings.smtpServer = setting("NotificationSMTPServer");
    settings.smtpUser = setting("NotificationSMTPUser");
    settings.passwordFile = setting("NotificationSMTPPasswordFile");
    settings.caFile = setting("NotificationSMTPCAFile");
    settings.sendmailPath = setting("NotificationSendmailPath");
    settings.program = setting("NotificationEmailProgram");
    return settings;
}

std::optional<QString> readSecretFile(const QString& path, QString& problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem =
            QStringLiteral("the password file %1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // The mode of the file that was opened, not of whatever the path names now.
    struct stat status {};
    if (::fstat(file.handle(), &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = QStringLiteral("the password file %1 is not a regular file").arg(path);
        return std::nullopt;
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        problem = QStringLiteral(
                      "the password file %1 may be read by others (mode %2): refused; "
                      "make it private with 'chmod 600 %1'")
                      .arg(path)
                      .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'));
        return std::nullopt;
    }
    QByteArray secret = file.read(4096);
    while (secret.endsWith('\n') || secret.endsWith('\r')) {
        secret.chop(1);
    }
    return QString::fromUtf8(secret);
}

std::optional<QString> smtpPassword(const OwnMailSettings& settings, QString& problem) {
    if (!settings.passwordFile.isEmpty()) {
        return readSecretFile(settings.passwordFile, problem);
    }
    const QString credentials = qEnvironmentVariable("CREDENTIALS_DIRECTORY");
    if (!credentials.isEmpty()) {
        const QString path =
            QDir(credentials).filePath(QString::fromLatin1(kSmtpPasswordCredential));
        if (QFileInfo::exists(path)) {
            return readSecretFile(path, problem);
        }
    }
    return QString();
}

QByteArray composeMessage(const QString& from, const QStringList& recipients,
                          const QString& subject, const QString& body, const QDateTime& date,
                          const QByteArray& lineEnd) {
    const QByteArray domain = from.section(QLatin1Char('@'), 1).toUtf8();
    QByteArray message;
    const auto header = [&](const char* name, const QByteArray& value) {
        message += name;
        message += ": ";
        message += value;
        message += lineEnd;
    };
    header("From", headerValue(from).toUtf8());
    header("To", headerValue(recipients.join(QStringLiteral(", "))).toUtf8());
    header("Subject", encodedWord(headerValue(subject)));
    header("Date", QLocale::c()
                           .toString(date.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"))
                           .toLatin1() +
                       " +0000");
    header("Message-ID", '<' + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' +
                             (domain.isEmpty() ? QByteArray("localhost") : domain) + '>');
    header("MIME-Version", "1.0");
    header("Content-Type", "text/plain; charset=utf-8");
    header("Content-Transfer-Encoding", "8bit");
    message += lineEnd;
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines[i].isEmpty()) {
            break;
        }
        message += lines[i].toUtf8();
        message += lineEnd;
    }
    return message;
}

QString sendOwnMail(const OwnMailSettings& settings, const QStringList& recipients,
                    const QString& subject, const QString& body, int timeoutSeconds) {
    const QString from = senderAddress(settings);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    switch (settings.transport) {
        case OwnMailSettings::Transport::Smtp: {
            if (settings.smtpServer.isEmpty()) {
                return QStringLiteral("no mail server is set (NotificationSMTPServer)");
            }
            QString problem;
            const std::optional<QString> password = smtpPassword(settings, problem);
            if (!password) {
                return problem;
            }
            NetworkModule* network = loadedNetworkModule();
            if (network == nullptr) {
                return QStringLiteral("the network module cannot be loaded");
            }
            SmtpRequest request;
            request.url = settings.smtpServer;
            request.user = settings.smtpUser;
            request.password = *password;
            request.caFile = settings.caFile;
            request.from = from;
            request.recipients = recipients;
            request.message = composeMessage(from, recipients, subject, body, now, "\r\n");
            request.timeoutSeconds = timeoutSeconds;
            return network->sendMail(request);
        }
        case OwnMailSettings::Transport::Sendmail:
            // -t: the recipients come from the To header; -oi: a line of a
            // single dot does not end the message.
            return runProgram(
                sendmailProgram(settings), {QStringLiteral("-t"), QStringLiteral("-oi")},
                QProcessEnvironment::systemEnvironment(),
                composeMessage(from, recipients, subject, body, now, "\n"), timeoutSeconds);
        case OwnMailSettings::Transport::Exec: {
            if (settings.program.isEmpty()) {
                return QStringLiteral("no program is set (NotificationEmailProgram)");
            }
            // As smartd's -M exec gives them: the subject and the addresses,
            // separated by blanks, in the environment, the text on standard input.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("OSTRIVANE_SUBJECT"), headerValue(subject));
            environment.insert(QStringLiteral("OSTRIVANE_ADDRESS"), recipients.join(u' '));
            environment.insert(QStringLiteral("OSTRIVANE_FROM"), from);
            QByteArray text = body.toUtf8();
            if (!text.endsWith('\n')) {
                text += '\n';
            }
            return runProgram(settings.program, {}, environment, text, timeoutSeconds);
        }
        case OwnMailSettings::Transport::Relay:
            break;
    }
    return QStringLiteral(
               "unknown e-mail transport '%1' (NotificationEmailTransport: relay, "
               "smtp, sendmail or exec)")
        .arg(settings.transportName);
}

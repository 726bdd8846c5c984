// SPDX-License-Identifier: GPL-3.0-or-later
#include "delivery/own_mail.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

const QDateTime kDate(QDate(2026, 12, 8), QTime(9, 5, 7), Qt::UTC);

QList<QByteArray> headerLines(const QByteArray& message, const QByteArray& lineEnd) {
    return message.left(message.indexOf(lineEnd + lineEnd)).split('\n');
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text,
                  mode_t mode) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    ::chmod(QFile::encodeName(path).constData(), mode);
    return path;
}

}  // namespace

TEST(OwnMailMessage, HeadersBodyAndLineEnds) {
    const QByteArray message = composeMessage(
        QStringLiteral("mon@example.org"),
        {QStringLiteral("a@example.com"), QStringLiteral("b@example.com")},
        QStringLiteral("Drive warning"), QStringLiteral("line 1\nline 2\r\n\n"), kDate, "\r\n");
    EXPECT_TRUE(
        message.startsWith("From: mon@example.org\r\n"
                           "To: a@example.com, b@example.com\r\n"
                           "Subject: Drive warning\r\n"
                           "Date: Tue, 08 Dec 2026 09:05:07 +0000\r\n"
                           "Message-ID: <"));
    EXPECT_TRUE(
        message.endsWith("@example.org>\r\n"
                         "MIME-Version: 1.0\r\n"
                         "Content-Type: text/plain; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: 8bit\r\n"
                         "\r\n"
                         "line 1\r\nline 2\r\n\r\n"));
    // No bare line feed is left for an SMTP server to refuse.
    EXPECT_EQ(message.count('\n'), message.count("\r\n"));
}

TEST(OwnMailMessage, HeaderValuesCannotAddHeaders) {
    const QByteArray message = composeMessage(
        QStringLiteral("mon@example.org"), {QStringLiteral("a@example.com")},
        QStringLiteral("Hi\r\nBcc: victim@example.net"), QStringLiteral("x"), kDate, "\n");
    for (const QByteArray& line : headerLines(message, "\n")) {
        EXPECT_FALSE(line.startsWith("Bcc:")) << line.constData();
    }
    EXPECT_TRUE(message.contains("Subject: Hi Bcc: victim@example.net\n"));
    // A subject that is not ASCII is an encoded word.
    const QByteArray encoded =
        composeMessage(QStringLiteral("mon@example.org"), {QStringLiteral("a@example.com")},
                       QStringLiteral("Santé 30 %"), QStringLiteral("x"), kDate, "\n");
    EXPECT_TRUE(encoded.contains("Subject: =?UTF-8?B?" +
                                 QStringLiteral("Santé 30 %").toUtf8().toBase64() + "?=\n"));
}

TEST(OwnMailSecret, OnlyAPrivateRegularFile) {
    QTemporaryDir dir;
    QString problem;
    EXPECT_EQ(readSecretFile(writeFile(dir, "p600", "s3cret\n", 0600), problem),
              std::optional<QString>(QStringLiteral("s3cret")));
    EXPECT_EQ(readSecretFile(writeFile(dir, "p400", "s3cret\r\n", 0400), problem),
              std::optional<QString>(QStringLiteral("s3cret")));
    // A password with inner blanks keeps them; only the final line break goes.
    EXPECT_EQ(readSecretFile(writeFile(dir, "blank", " a b \n", 0600), problem),
              std::optional<QString>(QStringLiteral(" a b ")));
    for (const mode_t mode : {0640, 0604, 0660, 0610}) {
        problem.clear();
        const QString path = writeFile(dir, QStringLiteral("m%1").arg(mode, 0, 8), "s3cret", mode);
        EXPECT_FALSE(readSecretFile(path, problem)) << mode;
        EXPECT_TRUE(problem.contains(QStringLiteral("chmod 600"))) << problem.toStdString();
        EXPECT_FALSE(problem.contains(QStringLiteral("s3cret")));
    }
    problem.clear();
    EXPECT_FALSE(readSecretFile(dir.path(), problem));
    EXPECT_FALSE(problem.isEmpty());
    problem.clear();
    EXPECT_FALSE(readSecretFile(dir.filePath(QStringLiteral("missing")), problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("cannot be read")));
}

TEST(OwnMailSecret, FileBeforeCredential) {
    QTemporaryDir dir;
    QTemporaryDir credentials;
    writeFile(credentials, kSmtpPasswordCredential, "from-credential", 0400);
    qputenv("CREDENTIALS_DIRECTORY", QFile::encodeName(credentials.path()));
    OwnMailSettings settings;
    QString problem;
    EXPECT_EQ(smtpPassword(settings, problem),
              std::optional<QString>(QStringLiteral("from-credential")));
    settings.passwordFile = writeFile(dir, "file", "from-file", 0600);
    EXPECT_EQ(smtpPassword(settings, problem), std::optional<QString>(QStringLiteral("from-file")));
    qunsetenv("CREDENTIALS_DIRECTORY");
    settings.passwordFile.clear();
    EXPECT_EQ(smtpPassword(settings, problem), std::optional<QString>(QString()));
}

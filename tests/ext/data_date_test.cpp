// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/data.h"
#include "ext/date.h"
#include "ext/formatting.h"
#include "ext/text.h"
#include "test_support.h"

#include <QTimeZone>

#include <gtest/gtest.h>

TEST(DataTest, DecodingGuessesTheEncoding) {
    EXPECT_EQ(string(QByteArray("h\xC3\xA9")), QStringLiteral("hé"));
    // Not UTF-8: read as Latin-1, which takes any bytes.
    EXPECT_EQ(string(QByteArray("h\xE9")), QStringLiteral("hé"));
    // UTF-16 with a byte-order mark, and without one in its plain form.
    EXPECT_EQ(string(QByteArray("\xFF\xFEh\0\xE9\0", 6)), QStringLiteral("hé"));
    EXPECT_EQ(string(QByteArray("\0h\0\xE9", 4)), QStringLiteral("hé"));
    EXPECT_EQ(string(QByteArray()), QString());
}

TEST(DataTest, StrictUtf8RejectsAndLogsBadBytes) {
    EXPECT_EQ(stringUTF8(QByteArray("\xEF\xBB\xBFok")), QStringLiteral("ok"));
    EXPECT_EQ(stringUTF8(QByteArray("h\xE9")), std::nullopt);
    EXPECT_TRUE(loggedText().contains(
        QStringLiteral("Error: could not create UTF8 string from data <68e9>")));
    EXPECT_EQ(stringUTF8(QByteArray("\xFF\xFEh\0", 4)), std::nullopt);  // UTF-16
    EXPECT_EQ(stringUTF8(QByteArray("\xED\xA0\x80")), std::nullopt);    // encoded surrogate
    EXPECT_EQ(stringUTF8(QByteArray("\xC0\xAF")), std::nullopt);        // overlong "/"
    // Only the first 100 bytes reach the log.
    EXPECT_EQ(stringUTF8(QByteArray(300, '\xFF')), std::nullopt);
    EXPECT_TRUE(loggedText().contains(QLatin1Char('<') +
                                      QStringList(25, QStringLiteral("ffffffff")).join(' ') + '>'));
    EXPECT_FALSE(loggedText().contains(QStringList(26, QStringLiteral("ffffffff")).join(' ')));
}

TEST(DataTest, EncodingAndDigests) {
    EXPECT_EQ(data(QStringLiteral("hé")), QByteArray("h\xC3\xA9"));
    EXPECT_EQ(data(QString(QChar(0xD800))), QByteArray("\xEF\xBF\xBD"));  // lone surrogate
    EXPECT_EQ(SHA1(QByteArray()), QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709"));
    EXPECT_EQ(bytesDescription(QByteArray("\x01\x02\x03\x04\x05", 5)),
              QStringLiteral("<01020304 05>"));
}

TEST(DateTest, PatternsUseUnicodeLettersInEnUs) {
    const QDateTime date(QDate(2023, 12, 6), QTime(14, 5, 9, 42), Qt::LocalTime);
    EXPECT_EQ(stringUsingFormat(date, QStringLiteral("MMM dd")), QStringLiteral("Dec 06"));
    EXPECT_EQ(stringUsingFormat(date, QStringLiteral("EEE, yyyy-MM-dd HH:mm:ss.SSS")),
              QStringLiteral("Wed, 2023-12-06 14:05:09.042"));
    EXPECT_EQ(stringUsingFormat(date, QStringLiteral("h:mm a 'o''clock' d")),
              QStringLiteral("2:05 PM o'clock 6"));
    EXPECT_FALSE(shortDateString(date).isEmpty());
    EXPECT_TRUE(shortDateAndTimeString(date).startsWith(shortDateString(date)));
    EXPECT_EQ(stringUsingDateStyle(date, DateStyle::None, DateStyle::None), QString());
}

TEST(FormattingTest, FillsMarkersInOrderAndNeverReadsArgumentsAsMarkers) {
    EXPECT_EQ(
        localized_format(QStringLiteral("%@ has %i%% (%.1f)"), QStringLiteral("disk0"), 42, 97.26),
        QStringLiteral("disk0 has 42% (97.3)"));
    EXPECT_EQ(
        localized_format(QStringLiteral("%2$@ %1$@"), QStringLiteral("a"), QStringLiteral("b")),
        QStringLiteral("b a"));
    EXPECT_EQ(localized_format(QStringLiteral("%@ and %@"), QStringLiteral("%@")),
              QStringLiteral("%@ and %@"));
    EXPECT_EQ(localized_format(QStringLiteral("100%% sure %lu"), 7ul),
              QStringLiteral("100% sure 7"));
}

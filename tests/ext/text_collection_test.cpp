// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/dictionary.h"
#include "ext/list.h"
#include "ext/object.h"
#include "ext/text.h"
#include "ext/url.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

}  // namespace

TEST(TextTest, LinesBreakAtEveryUnicodeLineBreakAndCrLfOnce) {
    const QString text = QStringLiteral("a\nb\r\nc\rd") + QChar(0x2028) + QStringLiteral("e") +
                         QChar(0x2029) + QStringLiteral("f") + QChar(0x85) + QStringLiteral("g\n");
    EXPECT_EQ(lines(text), (QStringList{"a", "b", "c", "d", "e", "f", "g", ""}));
    EXPECT_EQ(lines(QStringLiteral("\n\n")), (QStringList{"", "", ""}));
    EXPECT_EQ(strippedOfNewlines(text), QStringLiteral("abcdefg"));
}

TEST(TextTest, WordsKeepEmptyPartsAndSplitOnlyAtBlanks) {
    EXPECT_EQ(words(QStringLiteral("a  b\tc") + QChar(0x00A0) + QStringLiteral("d\ne")),
              (QStringList{"a", "", "b", "c", "d\ne"}));
    EXPECT_EQ(words(QString()), QStringList{QString()});
}

TEST(TextTest, SearchingAndSplitting) {
    EXPECT_EQ(count(QStringLiteral("aaaa"), QStringLiteral("aa")), 2);
    EXPECT_EQ(count(QStringLiteral("abc"), QString()), 0);
    EXPECT_FALSE(contains(QStringLiteral("abc"), QString()));
    EXPECT_TRUE(containsAll(QStringLiteral("abc"), {}));
    EXPECT_FALSE(containsAll(QStringLiteral("abc"), {QStringLiteral("a"), QStringLiteral("d")}));
    EXPECT_EQ(split(QStringLiteral("a,,b"), QStringLiteral(",")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(split(QStringLiteral("ab"), QString()), QStringList{QStringLiteral("ab")});
    EXPECT_EQ(splitBeforeNull(QStringLiteral("k=v=w"), QStringLiteral("=")), QStringLiteral("k"));
    EXPECT_EQ(splitAfterNull(QStringLiteral("k=v=w"), QStringLiteral("=")), QStringLiteral("v=w"));
    EXPECT_EQ(splitAfterNull(QStringLiteral("kv"), QStringLiteral("=")), std::nullopt);
    EXPECT_EQ(splitBeforeNull(QStringLiteral("kv"), QString()), std::nullopt);
    EXPECT_TRUE(isIntegerNumberOnly(QString()));
    EXPECT_FALSE(isIntegerNumberOnly(QStringLiteral("12a")));
    EXPECT_FALSE(isIntegerNumberOnly(QStringLiteral("١٢")));  // Arabic-Indic digits
}

TEST(TextTest, ClampingNeverSplitsACharacter) {
    EXPECT_EQ(clamp(QStringLiteral("abc"), 10), QStringLiteral("abc"));
    EXPECT_EQ(clamp(QStringLiteral("abc"), -1), QString());
    const QString emoji = QStringLiteral("a😀b");  // the emoji is two UTF-16 units
    EXPECT_EQ(clamp(emoji, 2), QStringLiteral("a"));
    EXPECT_EQ(clamp(emoji, 3), QStringLiteral("a😀"));
    // "é" is two UTF-8 bytes, "€" three, the emoji four.
    EXPECT_EQ(clampByteLength(QStringLiteral("aé€"), 3), QStringLiteral("aé"));
    EXPECT_EQ(clampByteLength(QStringLiteral("aé€"), 5), QStringLiteral("aé"));
    EXPECT_EQ(clampByteLength(QStringLiteral("aé€"), 6), QStringLiteral("aé€"));
    EXPECT_EQ(clampByteLength(emoji, 4), QStringLiteral("a"));
    EXPECT_EQ(clampByteLength(emoji, 5), QStringLiteral("a😀"));
    for (qsizetype n = 0; n < 12; ++n) {
        const QString out = clampByteLength(QStringLiteral("ü€😀x"), n);
        EXPECT_LE(out.toUtf8().size(), n);
        EXPECT_EQ(QString::fromUtf8(out.toUtf8()), out);
    }
}

TEST(TextTest, EmailValidation) {
    EXPECT_TRUE(isValidEmail(QStringLiteral("a.b+c@example.com")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("a@localhost")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("a@b@example.com")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("@example.com")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("a b@example.com")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("ä@example.com")));
    EXPECT_FALSE(isValidEmail(QStringLiteral("a@exa_mple.com")));
    const QString domain = QStringLiteral("@example.com");
    const QString at254 = QString(254 - domain.size(), QLatin1Char('a')) + domain;
    EXPECT_TRUE(isValidEmail(at254));
    EXPECT_FALSE(isValidEmail(QLatin1Char('a') + at254));

    EXPECT_TRUE(isValidEmails(QStringLiteral("a@b.c\r\nd@e.f")));
    EXPECT_FALSE(isValidEmails(QStringLiteral("a@b.c\n\nd@e.f")));
    EXPECT_FALSE(isValidEmails(QStringLiteral("a@b.c\n")));
    EXPECT_FALSE(isValidEmails(QString()));
}

TEST(TextTest, PercentEncoding) {
    EXPECT_EQ(escaped(QStringLiteral("a b&c=d/e?f\n%ü")),
              QStringLiteral("a%20b&c=d/e?f%0A%25%C3%BC"));
    // Letters of any script stay; the rest becomes UTF-8 escapes.
    EXPECT_EQ(encoded(QStringLiteral("aü 1.-😀")), QStringLiteral("aü%201%2E%2D%F0%9F%98%80"));
}

TEST(TextTest, UrlsAndPaths) {
    EXPECT_EQ(URL(QString()), std::nullopt);
    EXPECT_EQ(URL(QStringLiteral("http://exa mple.com/")), std::nullopt);
    EXPECT_EQ(URL(QStringLiteral("http://[::1/")), std::nullopt);
    EXPECT_EQ(URL(QStringLiteral("https://example.com/a?b=c"))->host(),
              QStringLiteral("example.com"));
    EXPECT_EQ(expanded(QStringLiteral("~/x")), QDir::homePath() + QStringLiteral("/x"));
    EXPECT_EQ(expanded(QStringLiteral("a/~")), QStringLiteral("a/~"));
    EXPECT_EQ(path({}), QString());
    EXPECT_EQ(path({QStringLiteral("/"), QStringLiteral("usr/"), QStringLiteral("bin")}),
              QStringLiteral("/usr/bin"));
    EXPECT_EQ(SHA1(QStringLiteral("abc")),
              QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
}

TEST(TextTest, FileOperations) {
    QTemporaryDir dir;
    const QString x = dir.filePath(QStringLiteral("x.txt"));
    EXPECT_EQ(uniqueFile(x), x);
    touch(x);
    touch(dir.filePath(QStringLiteral("x-0.txt")));
    EXPECT_EQ(uniqueFile(x), dir.filePath(QStringLiteral("x-1.txt")));
    // A dangling link takes its name too; a leading dot begins no extension.
    QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral(".rc")));
    EXPECT_EQ(uniqueFile(dir.filePath(QStringLiteral(".rc"))),
              dir.filePath(QStringLiteral(".rc-0")));
    EXPECT_FALSE(fileExists(dir.filePath(QStringLiteral(".rc"))));
    EXPECT_TRUE(fileIsSymlink(dir.filePath(QStringLiteral(".rc"))));

    EXPECT_EQ(directoryContents(dir.path()), (QStringList{".rc", "x-0.txt", "x.txt"}));
    EXPECT_EQ(directoryContents(x), std::nullopt);
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("none"))), std::nullopt);
    EXPECT_EQ(contents(x), QByteArray());
    EXPECT_EQ(uniqueFile(QUrl(QStringLiteral("https://example.com/x.txt"))), std::nullopt);
}

TEST(TextTest, ResourcesComeOnlyFromTheResourceFolderByPlainName) {
    EXPECT_TRUE(resourcePath(QStringLiteral("Info.json")).has_value());
    EXPECT_EQ(resourcePath(QStringLiteral("../ostrivane/Info.json")), std::nullopt);
    EXPECT_EQ(resourceURL(QStringLiteral("missing.png")), std::nullopt);
    EXPECT_EQ(namedImage(QStringLiteral("NoSuchImage")), std::nullopt);
    EXPECT_TRUE(loggedText().contains(
        QStringLiteral("Error: there is no named image with name: NoSuchImage")));
    // No translation installed: the key is the text.
    EXPECT_EQ(localized(QStringLiteral("Last check: %@")), QStringLiteral("Last check: %@"));
}

TEST(CollectionTest, ListAndDictionaryOperations) {
    const QList<int> numbers{3, 1, 2};
    const auto halves = mapped(numbers, [](int n) -> std::optional<int> {
        return n % 2 == 0 ? std::optional<int>() : n * 10;
    });
    EXPECT_EQ(halves, (QList<int>{30, 10}));
    EXPECT_EQ(reduce(QList<int>{}, [](int n) { return n; }), 0);
    EXPECT_EQ(sorted(numbers), (QList<int>{1, 2, 3}));
    EXPECT_EQ(subarrayFromIndex(numbers, 3), QList<int>{});
    EXPECT_EQ(subarrayFromIndex(numbers, 7), QList<int>{});
    EXPECT_EQ(arrayByDeletingObjectAtIndex(numbers, 5), numbers);
    EXPECT_EQ(arrayByDeletingObjectAtIndex(numbers, 0), (QList<int>{1, 2}));
    EXPECT_EQ(string(QVariantList{QStringLiteral("a"), 1, QStringLiteral("b")}),
              QStringLiteral("ab"));
    EXPECT_EQ(joined(QVariantList{QStringLiteral("a"), 1}, QStringLiteral(", ")),
              QStringLiteral("a, 1"));
    EXPECT_EQ(dictionary(QStringList{"a", "b"}), (QVariantMap{{"a", 1}, {"b", 1}}));
    EXPECT_TRUE(containsAll(QVariantMap{{"a", 1}}, {}));
    EXPECT_FALSE(containsAll(QVariantMap{{"a", 1}}, {QStringLiteral("a"), QStringLiteral("b")}));

    QObject object;
    setAssociatedValue(object, QStringLiteral("k"));
    setAssociatedValue(object, 5, QStringLiteral("objectName"));
    EXPECT_EQ(associatedValue(object), QStringLiteral("k"));
    EXPECT_EQ(associatedValueForKey(object, QStringLiteral("objectName")), 5);
    EXPECT_TRUE(object.objectName().isEmpty());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/system_configuration.h"

#include "foundation/translated_text.h"
#include "foundation/variant_types.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

#ifndef OSTRIVANE_SYSTEM_CONFIG_PATH
#define OSTRIVANE_SYSTEM_CONFIG_PATH "/etc/ostrivane/ostrivane.conf"
#endif

namespace {

// Far beyond any real configuration; a larger file is not one.
constexpr qint64 kMaxFileSize = 1 << 20;
constexpr qsizetype kMaxQuotedLine = 120;

QString quotedLine(const QString& line) {
    const QString shown = line.size() > kMaxQuotedLine ? line.left(kMaxQuotedLine) + u'…' : line;
    return QLatin1Char('\'') + shown + QLatin1Char('\'');
}

}  // namespace

QString systemConfigurationPath() {
    if (qEnvironmentVariableIsSet("OSTRIVANE_SYSTEM_CONFIG")) {
        return qEnvironmentVariable("OSTRIVANE_SYSTEM_CONFIG");
    }
    return QStringLiteral(OSTRIVANE_SYSTEM_CONFIG_PATH);
}

namespace {

// Words a marked English text: as it stands, or in the user's language.
using Word = QString (*)(const char* english);

QString stored(const char* english) {
    return QString::fromUtf8(english);
}

// One problem in both wordings: English for the log, the user's language
// for the administrator at the terminal.
void addProblem(SystemConfiguration& config, const std::function<QString(Word)>& text) {
    config.problems.append(text(stored));
    config.shownProblems.append(text(translatedText));
}

}  // namespace

SystemConfiguration parseSystemConfiguration(const QString& path, const QString& text,
                                             const QVariantMap& known) {
    SystemConfiguration config{path, {}, {}, {}};
    bool inSettings = true;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const auto skip = [&](const char* why, const QString& argument = QString()) {
            addProblem(config, [&](Word word) {
                QString reason = word(why);
                if (!argument.isNull()) {
                    reason = reason.arg(argument);
                }
                return word(QT_TRANSLATE_NOOP("Localizable", "%1:%2: %3 %4; the line is ignored"))
                    .arg(path)
                    .arg(i + 1)
                    .arg(quotedLine(line), reason);
            });
        };
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                skip(QT_TRANSLATE_NOOP("Localizable", "is not a section header"));
                inSettings = false;
                continue;
            }
            const QString section = line.mid(1, line.size() - 2).trimmed();
            inSettings = section.compare(QLatin1String("settings"), Qt::CaseInsensitive) == 0;
            if (!inSettings) {
                skip(QT_TRANSLATE_NOOP("Localizable", "names an unknown section (use [settings])"));
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            skip(QT_TRANSLATE_NOOP("Localizable", "is not 'Key = value'"));
            continue;
        }
        if (!inSettings) {
            skip(QT_TRANSLATE_NOOP("Localizable", "is outside the [settings] section"));
            continue;
        }
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (!known.contains(key)) {
            skip(QT_TRANSLATE_NOOP("Localizable", "sets the unknown key '%1'"), key);
            continue;
        }
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
            value.endsWith(QLatin1Char('"'))) {
            value = value.mid(1, value.size() - 2);
        }
        if (isIntegerType(known.value(key).typeId())) {
            bool ok = false;
            const qint64 number = value.toLongLong(&ok, 10);
            if (!ok) {
                skip(QT_TRANSLATE_NOOP("Localizable", "does not give a whole number"));
                continue;
            }
            config.values.insert(key, number);
        } else {
            config.values.insert(key, value);
        }
    }
    return config;
}

SystemConfiguration readSystemConfiguration(const QString& path, const QVariantMap& known) {
    SystemConfiguration ignored{path, {}, {}, {}};
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return ignored;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        addProblem(ignored, [&](Word word) {
            return word(QT_TRANSLATE_NOOP("Localizable", "%1: %2; the file is ignored"))
                .arg(path, file.errorString());
        });
        return ignored;
    }
    if (file.size() > kMaxFileSize) {
        addProblem(ignored, [&](Word word) {
            return word(QT_TRANSLATE_NOOP("Localizable",
                                          "%1: larger than %2 bytes; the file is ignored"))
                .arg(path)
                .arg(kMaxFileSize);
        });
        return ignored;
    }
    return parseSystemConfiguration(path, QString::fromUtf8(file.read(kMaxFileSize)), known);
}

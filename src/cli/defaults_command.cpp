// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/defaults_command.h"

#include "app/settings_defaults.h"
#include "cli/exit_codes.h"
#include "cli/json_output.h"
#include "ext/literal.h"
#include "ext/text.h"
#include "foundation/settings_store.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <QUrl>

#include <cmath>

namespace {

// As the platform's defaults tool: a key that holds no value is exit status 1.
constexpr int kNoValue = 1;
// sysexits.h EX_IOERR: the store could not be opened or written.
constexpr int kStoreFailed = 74;

const char* const kHelp =
    QT_TRANSLATE_NOOP("Localizable", R"(Usage: ostrivane-cli defaults COMMAND [ARGUMENTS]

Reads and changes Ostrivane's settings, the same store the monitor uses.
Changes take effect at the monitor's next use of the setting.

Commands:
  read              print every stored setting
  read --all        print every setting, the defaults included, each with
                    where its value comes from: built-in, the system file
                    (/etc/ostrivane/ostrivane.conf) or the user store
  read KEY          print the value of KEY (stored, else its built-in default)
  read [--all | KEY] --json
                    the same as JSON: each setting's key, value and origin
                    (builtIn, systemFile or userStore)
  write KEY VALUE   store VALUE as text under KEY
  write KEY -int VALUE | -float VALUE | -bool VALUE | -string VALUE
                    store VALUE with that type (-bool takes true, false, yes,
                    no, 1 or 0)
  delete KEY        remove the stored value of KEY (its default applies again)
  list              print the stored keys, one per line
  -h, --help        show this help

Example: ostrivane-cli defaults write CheckAllDisks -int 1

The store is $XDG_CONFIG_HOME/com.wendle.Ostrivane.sqlite3
(by default ~/.config/com.wendle.Ostrivane.sqlite3). Below it lies the
administrator's /etc/ostrivane/ostrivane.conf (Key = value lines in a
[settings] section), which this command only reads.

Exit status:
  0   success
  1   KEY holds no value
  64  usage error, unknown type or unparsable value
  74  the settings store cannot be opened or written
)");

int usageError(QTextStream& err, const QString& message) {
    err << "ostrivane-cli defaults: " << message << '\n'
        << localized(QStringLiteral("Try 'ostrivane-cli defaults --help'.")) << '\n';
    return exit_codes::kUsage;
}

// Escaped for a double-quoted text of the listing (ext/text.h's escaped() is for URLs).
QString quoteEscaped(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString keyText(const QString& key) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return plain.match(key).hasMatch() ? key
                                       : QLatin1Char('"') + quoteEscaped(key) + QLatin1Char('"');
}

QString valueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QDateTime:
            return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
        case QMetaType::QByteArray:
            return QLatin1Char('<') + QString::fromLatin1(value.toByteArray().toHex()) +
                   QLatin1Char('>');
        case QMetaType::QUrl:
            return value.toUrl().toString();
        case QMetaType::QVariantList:
        case QMetaType::QVariantMap:
            return descriptionText(value);
        default:
            return objectText(value);
    }
}

// A whole dictionary in the platform tool's layout, texts quoted; each value
// followed by where it comes from when `origins` names it.
void printDictionary(const QVariantMap& values, QTextStream& out,
                     const QHash<QString, QString>& origins = {}) {
    out << "{\n";
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QString text = valueText(it.value());
        if (it.value().typeId() == QMetaType::QString) {
            text = QLatin1Char('"') + quoteEscaped(text) + QLatin1Char('"');
        }
        text.replace(QLatin1Char('\n'), QStringLiteral("\n    "));
        out << "    " << keyText(it.key()) << " = " << text << ';';
        if (const auto origin = origins.constFind(it.key()); origin != origins.constEnd()) {
            out << " /* " << *origin << " */";
        }
        out << '\n';
    }
    out << "}\n";
}

std::optional<QVariant> parseTyped(const QString& type, const QString& text, QString& why) {
    if (type == QLatin1String("-string")) {
        return QVariant(text);
    }
    if (type == QLatin1String("-int")) {
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok, 10);
        if (!ok) {
            why = localized(QStringLiteral("'%1' is not a 64-bit integer")).arg(text);
            return std::nullopt;
        }
        return QVariant(n);
    }
    if (type == QLatin1String("-float")) {
        bool ok = false;
        const double d = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!ok || !std::isfinite(d)) {
            why = localized(QStringLiteral("'%1' is not a finite number")).arg(text);
            return std::nullopt;
        }
        return QVariant(d);
    }
    if (type == QLatin1String("-bool")) {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("true") || word == QLatin1String("yes") ||
            word == QLatin1String("1")) {
            return QVariant(true);
        }
        if (word == QLatin1String("false") || word == QLatin1String("no") ||
            word == QLatin1String("0")) {
            return QVariant(false);
        }
        why = localized(QStringLiteral("'%1' is not a boolean (true, false, yes, no, 1, 0)"))
                  .arg(text);
        return std::nullopt;
    }
    why = localized(QStringLiteral("unknown type '%1' (use -int, -float, -bool or -string)"))
              .arg(type);
    return std::nullopt;
}

bool looksLikeTypeFlag(const QString& arg) {
    static const QRegularExpression flag(QStringLiteral("^-[A-Za-z]+$"));
    return flag.match(arg).hasMatch();
}

// A setting's value as JSON: times in ISO 8601 UTC, bytes as hexadecimal text.
QJsonValue jsonValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return isoTime(value.toDateTime());
        case QMetaType::QByteArray:
            return QString::fromLatin1(value.toByteArray().toHex());
        case QMetaType::QUrl:
            return value.toUrl().toString();
        default: {
            const QJsonValue json = QJsonValue::fromVariant(value);
            return json.isUndefined() ? QJsonValue(valueText(value)) : json;
        }
    }
}

// Where a value comes from: "builtIn", "systemFile" or "userStore".
QString originOf(const QString& key, SettingsStore& store) {
    if (store.contains(key)) {
        return QStringLiteral("userStore");
    }
    return systemConfiguration().values.contains(key) ? QStringLiteral("systemFile")
                                                      : QStringLiteral("builtIn");
}

int readJson(const QStringList& args, SettingsStore& store, QTextStream& out, QTextStream& err) {
    QStringList keys;
    if (args.isEmpty()) {
        keys = store.storedValues().keys();
    } else if (args.size() > 1) {
        return usageError(err, localized(QStringLiteral("read takes at most one KEY")));
    } else if (args.first() == QLatin1String("--all")) {
        QVariantMap all = store.fallbackDefaults();
        all.insert(store.storedValues());
        keys = all.keys();
    } else if (!store.value(args.first()).isValid()) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("no value for key '%1'")).arg(args.first()) << '\n';
        return kNoValue;
    } else {
        keys = {args.first()};
    }
    QJsonArray settings;
    for (const QString& key : keys) {
        settings.append(QJsonObject{{QStringLiteral("key"), key},
                                    {QStringLiteral("value"), jsonValue(store.value(key))},
                                    {QStringLiteral("origin"), originOf(key, store)}});
    }
    out << jsonText(jsonAnswer(QStringLiteral("defaults"),
                               QJsonObject{{QStringLiteral("settings"), settings}}));
    return exit_codes::kOk;
}

int runRead(QStringList args, SettingsStore& store, QTextStream& out, QTextStream& err) {
    if (args.removeAll(QStringLiteral("--json")) > 0) {
        return readJson(args, store, out, err);
    }
    if (args.isEmpty()) {
        printDictionary(store.storedValues(), out);
        return exit_codes::kOk;
    }
    if (args.size() > 1) {
        return usageError(err, localized(QStringLiteral("read takes at most one KEY")));
    }
    if (args.first() == QLatin1String("--all")) {
        // Comments for the person reading; --json names the origins for programs.
        const QString builtIn = localized(QStringLiteral("built-in"));
        const QString systemFile =
            localized(QStringLiteral("system file %1")).arg(systemConfiguration().path);
        const QString userStore = localized(QStringLiteral("user store"));
        QVariantMap all = store.fallbackDefaults();
        QHash<QString, QString> origins;
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            origins.insert(it.key(), builtIn);
        }
        const SystemConfiguration& system = systemConfiguration();
        for (auto it = system.values.cbegin(); it != system.values.cend(); ++it) {
            origins.insert(it.key(), systemFile);
        }
        const QVariantMap stored = store.storedValues();
        for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
            all.insert(it.key(), it.value());
            origins.insert(it.key(), userStore);
        }
        printDictionary(all, out, origins);
        return exit_codes::kOk;
    }
    const QVariant value = store.value(args.first());
    if (!value.isValid()) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("no value for key '%1'")).arg(args.first()) << '\n';
        return kNoValue;
    }
    out << valueText(value) << '\n';
    return exit_codes::kOk;
}

int runWrite(const QStringList& args, SettingsStore& store, QTextStream& err) {
    if (args.size() < 2 || args.size() > 3) {
        return usageError(
            err, localized(QStringLiteral("write takes KEY [-int|-float|-bool|-string] VALUE")));
    }
    const QString& key = args.at(0);
    QString type = QStringLiteral("-string");
    QString text = args.at(1);
    if (args.size() == 3) {
        type = args.at(1);
        text = args.at(2);
    } else if (looksLikeTypeFlag(text)) {
        // "write KEY -int" lacks its value; "write KEY -date x" names a type we lack.
        QString why;
        parseTyped(text, QString(), why);
        const bool knownType = parseTyped(text, QStringLiteral("0"), why).has_value();
        return usageError(
            err, knownType ? localized(QStringLiteral("missing VALUE after %1")).arg(text) : why);
    }
    QString why;
    const auto value = parseTyped(type, text, why);
    if (!value) {
        return usageError(err, why);
    }
    if (!store.setValue(key, *value)) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("could not store key '%1'")).arg(key) << '\n';
        return kStoreFailed;
    }
    return exit_codes::kOk;
}

int runDelete(const QStringList& args, SettingsStore& store, QTextStream& err) {
    if (args.size() != 1) {
        return usageError(err, localized(QStringLiteral("delete takes one KEY")));
    }
    if (!store.contains(args.first())) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("no stored value for key '%1'")).arg(args.first()) << '\n';
        return kNoValue;
    }
    if (!store.remove(args.first())) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("could not remove key '%1'")).arg(args.first()) << '\n';
        return kStoreFailed;
    }
    return exit_codes::kOk;
}

}  // namespace

int runDefaults(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << localized(QString::fromUtf8(kHelp));
        return exit_codes::kUsage;
    }
    QStringList rest = args;
    const QString command = rest.takeFirst();
    if (command == QLatin1String("-h") || command == QLatin1String("--help") ||
        command == QLatin1String("help") ||
        (command != QLatin1String("write") && !rest.isEmpty() &&
         (rest.first() == QLatin1String("--help") || rest.first() == QLatin1String("-h")))) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    if (command == QLatin1String("write") && rest.size() == 1 &&
        (rest.first() == QLatin1String("--help") || rest.first() == QLatin1String("-h"))) {
        out << localized(QString::fromUtf8(kHelp));
        return exit_codes::kOk;
    }
    const QStringList known = {QStringLiteral("read"), QStringLiteral("write"),
                               QStringLiteral("delete"), QStringLiteral("list")};
    if (!known.contains(command)) {
        return usageError(err, localized(QStringLiteral("unknown command '%1'")).arg(command));
    }
    installFallbackDefaults();
    // The administrator editing the system file looks here, not in the log.
    for (const QString& problem : systemConfiguration().shownProblems) {
        err << "ostrivane-cli defaults: "
            << localized(QStringLiteral("system configuration %1")).arg(problem) << '\n';
    }
    SettingsStore& store = SettingsStore::shared();
    if (!store.isPersistent()) {
        err << "ostrivane-cli defaults: "
            << (store.path().isEmpty()
                    ? localized(QStringLiteral("the settings store has no location"))
                    : localized(QStringLiteral("the settings store %1 cannot be opened"))
                          .arg(store.path()))
            << '\n';
        return kStoreFailed;
    }
    if (command != QLatin1String("list") && !rest.isEmpty() && rest.first().isEmpty()) {
        return usageError(err, localized(QStringLiteral("KEY must not be empty")));
    }
    if (command == QLatin1String("read")) {
        return runRead(rest, store, out, err);
    }
    if (command == QLatin1String("write")) {
        return runWrite(rest, store, err);
    }
    if (command == QLatin1String("delete")) {
        return runDelete(rest, store, err);
    }
    if (!rest.isEmpty()) {
        return usageError(err, localized(QStringLiteral("list takes no arguments")));
    }
    for (const QString& key : store.keys()) {
        out << keyText(key) << '\n';
    }
    return exit_codes::kOk;
}

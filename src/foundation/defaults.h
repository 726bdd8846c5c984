// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

// Typed accessors on a settings key, on the process-wide SettingsStore.
// Every read goes to the store (settings are never cached, so a value written
// by another process is seen at once); a key without a stored value reads its
// fallback default. Setters return false when the value could not be stored.

// The integer under the key, or its fallback; 0 when neither exists or the
// value is not a number. Texts convert by their leading digits ("12a" is 12).
qint64 defaultInt(const QString& key);
bool setDefaultInt(const QString& key, qint64 value);

// The text under the key (a stored number yields its text); absent otherwise.
std::optional<QString> defaultString(const QString& key);
// Storing an absent text removes the key.
bool setDefaultString(const QString& key, const std::optional<QString>& value);

// Any stored value (text, number, date, data, list, dictionary, URL); an
// invalid QVariant when absent. Storing an invalid or null value removes the key.
QVariant defaultObject(const QString& key);
bool setDefaultObject(const QString& key, const QVariant& value);

// Absent when the value is not a list / not a dictionary.
std::optional<QVariantList> defaultArray(const QString& key);
bool setDefaultArray(const QString& key, const std::optional<QVariantList>& value);
std::optional<QVariantMap> defaultDict(const QString& key);
bool setDefaultDict(const QString& key, const std::optional<QVariantMap>& value);

// A stored URL, or a text holding an absolute URL or a path ("~" expanded).
std::optional<QUrl> defaultURL(const QString& key);
bool setDefaultURL(const QString& key, const std::optional<QUrl>& value);

// 0 when absent or not a number.
float defaultFloat(const QString& key);
bool setDefaultFloat(const QString& key, float value);

// Removes the stored value (the fallback, if any, applies again).
bool removeDefault(const QString& key);

// Installs fallback defaults for the process (held in memory, never stored).
void registerDefaults(const QVariantMap& defaults);

// Flushes the store to its file now.
bool synchronize();

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/store_settings.h"

#include "foundation/defaults.h"
#include "foundation/settings_store.h"

qint64 StoreSettings::defaultInt(const QString& key) {
    return ::defaultInt(key);
}

void StoreSettings::setDefaultInt(const QString& key, qint64 value) {
    ::setDefaultInt(key, value);
}

QString StoreSettings::defaultString(const QString& key) {
    return ::defaultString(key).value_or(QString());
}

QString StoreSettings::takeSettingsDamageNotice() {
    return SettingsStore::shared().takeDamageNotice();
}

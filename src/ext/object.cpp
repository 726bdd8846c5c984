// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/object.h"

namespace {
constexpr char kAssociatedValueKey[] = "WendleAssociatedValue";

// A caller's key gets a prefix, so it can never set a real property of the
// object ("objectName") by accident.
QByteArray propertyName(const QString& key) {
    return QByteArray(kAssociatedValueKey) + ':' + key.toUtf8();
}
}  // namespace

QVariant associatedValue(const QObject& object) {
    return object.property(kAssociatedValueKey);
}

void setAssociatedValue(QObject& object, const QVariant& value) {
    object.setProperty(kAssociatedValueKey, value);
}

QVariant associatedValueForKey(const QObject& object, const QString& key) {
    return object.property(propertyName(key).constData());
}

void setAssociatedValue(QObject& object, const QVariant& value, const QString& key) {
    object.setProperty(propertyName(key).constData(), value);
}

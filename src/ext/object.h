// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A value attached to any QObject, for code that needs to carry one extra
// item on an object it does not own (an alert button's key equivalent).
// Values are kept as dynamic properties, so they live and die with the object.

#include <QObject>
#include <QString>
#include <QVariant>

// Under "WendleAssociatedValue"; an invalid QVariant when none is set.
QVariant associatedValue(const QObject& object);
// Setting an invalid QVariant removes the value.
void setAssociatedValue(QObject& object, const QVariant& value);
QVariant associatedValueForKey(const QObject& object, const QString& key);
void setAssociatedValue(QObject& object, const QVariant& value, const QString& key);

// The value itself, for chains that expect an operation on every object.
template <typename T>
const T& id(const T& object) {
    return object;
}

// Values are copied on assignment in C++; these name that copy where the
// code reads better with it.
template <typename T>
T mutableObject(const T& object) {
    return object;
}
template <typename T>
T immutableObject(const T& object) {
    return object;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on lists. Lists are values in C++: a copy is already a mutable
// (or immutable) object of its own, so no copy operations are needed here.

#include "ext/literal.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <optional>
#include <type_traits>

template <typename T>
bool contains(const QList<T>& list, const T& element) {
    return list.contains(element);
}

namespace list_detail {
template <typename T>
struct IsOptional : std::false_type {};
template <typename T>
struct IsOptional<std::optional<T>> : std::true_type {
    using Value = T;
};
}  // namespace list_detail

// The results of the function for each element, in order. A function that
// returns std::optional may leave elements out by returning nothing.
template <typename T, typename F>
auto mapped(const QList<T>& list, F function) {
    using Result = std::decay_t<std::invoke_result_t<F, const T&>>;
    if constexpr (list_detail::IsOptional<Result>::value) {
        QList<typename list_detail::IsOptional<Result>::Value> out;
        for (const T& element : list) {
            if (auto value = function(element)) {
                out.append(std::move(*value));
            }
        }
        return out;
    } else {
        QList<Result> out;
        out.reserve(list.size());
        for (const T& element : list) {
            out.append(function(element));
        }
        return out;
    }
}

template <typename T, typename P>
QList<T> filtered(const QList<T>& list, P predicate) {
    QList<T> out;
    for (const T& element : list) {
        if (predicate(element)) {
            out.append(element);
        }
    }
    return out;
}

// The sum of an integer function over the elements; 0 for an empty list.
template <typename T, typename F>
qint64 reduce(const QList<T>& list, F function) {
    qint64 sum = 0;
    for (const T& element : list) {
        sum += static_cast<qint64>(function(element));
    }
    return sum;
}

template <typename T>
QList<T> sorted(QList<T> list) {
    std::sort(list.begin(), list.end());
    return list;
}

template <typename T>
QSet<T> set(const QList<T>& list) {
    return QSet<T>(list.cbegin(), list.cend());
}

// A lookup table: every element maps to 1.
template <typename T>
QHash<T, int> dictionary(const QList<T>& list) {
    QHash<T, int> out;
    for (const T& element : list) {
        out.insert(element, 1);
    }
    return out;
}
QVariantMap dictionary(const QStringList& list);

// The elements from index i on; empty when i is at or past the end, the whole
// list when i is negative.
template <typename T>
QList<T> subarrayFromIndex(const QList<T>& list, qsizetype i) {
    return list.mid(std::clamp<qsizetype>(i, 0, list.size()));
}

// A copy without the element at index i; an index outside the list changes
// nothing.
template <typename T>
QList<T> arrayByDeletingObjectAtIndex(QList<T> list, qsizetype i) {
    if (i >= 0 && i < list.size()) {
        list.removeAt(i);
    }
    return list;
}

// The elements' texts (as "%@" prints them) joined by the separator.
QString joined(const QVariantList& list, const QString& separator);
QString joined(const QStringList& list, const QString& separator);
// The texts among the elements, concatenated; other elements count as empty.
QString string(const QVariantList& list);
QString string(const QStringList& list);
// The elements joined as path components: one "/" between components, a
// leading "/" kept, no trailing "/".
QString path(const QStringList& components);

// Runs the program named by the first element with the others as its
// arguments, blocking the caller until it ended. Standard output and standard
// error arrive through one pipe, in the order written; standard input is
// empty. Returns the output as text (see string(QByteArray)), or absent when
// the program could not be started (logged).
std::optional<QString> runAsTask(const QStringList& command);
// The same; stores the exit status in *status when given (-1 when the
// program was killed by a signal). With usePolling the wait for the end
// checks every 0.05 seconds instead of blocking in one call.
std::optional<QString> runAsTaskWithTerminationStatus(const QStringList& command, int* status,
                                                      bool usePolling);

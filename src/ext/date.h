// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Operations on dates.

#include <QDateTime>
#include <QString>

// The date in the local time zone, formatted with a Unicode date pattern
// ("MMM dd", "yyyy-MM-dd HH:mm:ss", "EEE, d MMM yyyy") in the en_US locale.
// Text in single quotes is copied; "''" is one quote.
QString stringUsingFormat(const QDateTime& date, const QString& pattern);

enum class DateStyle { None, Short, Medium, Long, Full };

// The date in the current locale and the local time zone; None leaves that
// part out.
QString stringUsingDateStyle(const QDateTime& date, DateStyle dateStyle, DateStyle timeStyle);
QString shortDateString(const QDateTime& date);
QString shortDateAndTimeString(const QDateTime& date);

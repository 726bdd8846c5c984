// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// The administrator's settings for every user of the machine and for the
// system monitor: an INI file, read-only to the program, whose values lie
// between the built-in defaults and the user's own store.
//
//   # comments start with '#' or ';'
//   [settings]
//   ThresholdWarning = 40
//   NotificationUseEmailAddress = "admin@example.org"
//
// Keys may stand before any section or in [settings]. A line that cannot be
// used (no '=', an unknown key, a value of the wrong type, another section) is
// reported and skipped; the other lines still apply.
struct SystemConfiguration {
    QString path;
    QVariantMap values;
    // One text per skipped line, naming the file and the line number: in
    // English for the log, and the same in the user's language for the
    // administrator at the terminal.
    QStringList problems;
    QStringList shownProblems;
};

// /etc/ostrivane/ostrivane.conf, or the file named by $OSTRIVANE_SYSTEM_CONFIG
// (tests and packagers point it elsewhere; an empty value turns the layer off).
QString systemConfigurationPath();

// Parses `text`; `known` gives each accepted key with a value of its type: an
// integer key takes only a whole number, a text key any text (surrounding
// double quotes are removed).
SystemConfiguration parseSystemConfiguration(const QString& path, const QString& text,
                                             const QVariantMap& known);

// Reads and parses the file; a missing file is an empty configuration without
// problems, an unreadable one a configuration with that problem.
SystemConfiguration readSystemConfiguration(const QString& path, const QVariantMap& known);

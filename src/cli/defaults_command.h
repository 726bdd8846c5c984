// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli defaults`: reads and changes the settings store by hand.
// args excludes the program and command names.
int runDefaults(const QStringList& args, QTextStream& out, QTextStream& err);

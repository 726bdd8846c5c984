// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli evaluate`: the health of an attribute table given as text.
// args excludes the program and command names.
int runEvaluate(const QStringList& args, QTextStream& out, QTextStream& err);

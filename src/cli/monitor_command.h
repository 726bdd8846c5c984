// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli monitor`: the headless monitor, until SIGTERM or SIGINT.
int runMonitor(const QStringList& args, QTextStream& out, QTextStream& err);

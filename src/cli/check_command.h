// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli check`: one check cycle through the controller, printed,
// with a monitoring-plugin exit status.
int runCheck(const QStringList& args, QTextStream& out, QTextStream& err);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli history`: the recorded health of the drives, oldest first.
int runHistory(const QStringList& args, QTextStream& out, QTextStream& err);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli smart`: one drive's S.M.A.R.T. status and attribute table as
// the monitor reads them. args excludes the program and command names.
int runSmart(const QStringList& args, QTextStream& out, QTextStream& err);

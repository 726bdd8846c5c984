// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli test-email`: sends the test e-mail through the mail relay.
int runTestEmail(const QStringList& args, QTextStream& out, QTextStream& err);

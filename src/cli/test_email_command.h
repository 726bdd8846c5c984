#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli test-email`: sends the test e-mail through the mail relay.
int runTestEmail(const QStringList& args, QTextStream& out, QTextStream& err);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/log_view_text.h"

#include <QRegularExpression>
#include <QStringList>

QString logViewText(const QString& fileText) {
    static const QRegularExpression kWhite(QStringLiteral("\\s+"));
    QString display;
    for (const QString& line : fileText.split(QLatin1Char('\n'))) {
        const QStringList words = line.split(kWhite, Qt::SkipEmptyParts);
        const QStringList pieces = line.split(QStringLiteral("] <"));
        if (words.size() >= 5 && pieces.size() >= 2) {
            display += QStringLiteral("%1 <%2\n")
                           .arg(words.mid(0, 3).join(QLatin1Char(' ')), pieces.at(1));
        } else if (!line.isEmpty()) {
            // Appended unchanged, but on a line of its own.
            display += line + QLatin1Char('\n');
        }
    }
    return display;
}

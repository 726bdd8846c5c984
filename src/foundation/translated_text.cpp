// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/translated_text.h"

#include <QCoreApplication>

QString translatedText(const char* english) {
    return QCoreApplication::translate(kLocalizationContext, english);
}

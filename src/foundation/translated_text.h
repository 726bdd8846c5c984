// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The context under which every user-visible text is translated.
inline constexpr char kLocalizationContext[] = "Localizable";

// The English text, marked with QT_TRANSLATE_NOOP("Localizable", ...), in the
// user's language; for the layers below the program's own lookup (localized).
QString translatedText(const char* english);

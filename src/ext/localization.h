// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// User-visible texts are written in English in the code and looked up with
// that text as the key, so a missing translation shows the English text.
// Translations are Qt message files "ostrivane_<language>.qm" in the
// "translations" folder of the installation's resources.

#include "foundation/translated_text.h"  // the translation context

#include <QLocale>
#include <QString>

// Loads the translation for the locale (the system's by default) and
// installs it for the process; false when there is none, which leaves every
// text in English. Needs a QCoreApplication.
bool install_translation(const QLocale& locale = QLocale());

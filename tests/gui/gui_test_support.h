// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widget_test_support.h"

#include <QString>
#include <QWidget>

// The test program's own folders (HOME and XDG_* point below it) and log.
QString testRoot();

// Checks that every visible label, button and box text below the widget fits
// its widget (nothing cut off); the number of texts checked.
int expectWholeTexts(QWidget* root);

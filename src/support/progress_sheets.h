// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Window-modal progress sheets over a window while a long operation runs:
// plain (busy bar, one detail line), counted (0 to 100 bar, one detail line)
// and extended (wider, busy bar, two detail lines). A window shows at most one
// sheet of each kind; its parts are kept as properties of the window under
// the kind's names. Every call may come from any thread and returns at once;
// the work is queued to the main thread, so calls from one thread take
// effect in the order made. A call for a sheet that is not shown does nothing.
namespace ProgressSheets {

void beginProgress(QWidget* window, const QString& message);
void setProgressMessage(QWidget* window, const QString& text);
void endProgress(QWidget* window);

void beginCountedProgress(QWidget* window, const QString& message);
void setCountedProgress(QWidget* window, const QString& text, double value);
void endCountedProgress(QWidget* window);

void beginExtendedProgress(QWidget* window, const QString& message);
void setExtendedProgressMessage(QWidget* window, const QString& text);
void setExtendedProgressDetail(QWidget* window, const QString& text);
void endExtendedProgress(QWidget* window, bool activate);

}  // namespace ProgressSheets

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class Alerts;

// What the program checks before it does anything else: a usable folder for
// its own files, and an intact installation. A failed check is told to the
// user, and the program ends with status 1.
namespace StartupChecks {

// The message when the support folder is unusable (a file or a dangling link
// in its place, or it cannot be created); empty when it is a folder now.
// A missing folder is created with its parents.
QString supportFolderProblem(const QString& path);

// The first module of the private library folder that is damaged: an
// expected one that is missing, or any entry that is not a shared library
// this program could load (a replaced or truncated file). Empty when intact.
QString damagedModule(const QString& folder, const QStringList& expectedModules);
// Whether the file starts like a shared library for this machine.
bool isLoadableModule(const QString& path);
QString damagedMessage(const QString& offendingPath);

// The file names the build put into the private library folder.
QStringList installedModules();

// Both checks, in order; a failure shows its message (titled with the
// application name) and returns false, and the caller ends with status 1.
bool run(Alerts& alerts, const QString& supportFolder, const QString& privateLibFolder,
         const QStringList& expectedModules);

}  // namespace StartupChecks

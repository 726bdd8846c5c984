#pragma once

#include <QString>

// The test program's own folders (HOME and XDG_* point below it) and log.
QString testRoot();
// Everything logged since the program started.
QString loggedText();

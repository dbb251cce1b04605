#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace TestSupport {

// Points every XDG folder at a fresh temporary directory so a test never touches the user's files.
// Call before the first QSettings or QStandardPaths use; returns the root of that directory.
QString isolateFolders();

// The environment for the real program started by a desktop test: this process's display and bus,
// the X11 platform, C.UTF-8 and UTC, and none of the variables that would carry the caller's
// desktop, look or scale into it. The caller adds the folders the program should use.
QProcessEnvironment programEnvironment();

} // namespace TestSupport

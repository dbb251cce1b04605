#pragma once

#include <QString>

namespace TestSupport {

// Points every XDG folder at a fresh temporary directory so a test never touches the user's files.
// Call before the first QSettings or QStandardPaths use; returns the root of that directory.
QString isolateFolders();

} // namespace TestSupport

#pragma once

#include <QString>

// The store and the settings hold private notes: what this program makes for them is readable by
// this user alone (folders 0700, files 0600). What already exists keeps the mode it has.
namespace PrivateFiles {

// Makes the folder and every missing folder above it, each new one 0700. True when the folder
// exists afterwards.
bool makeFolder(const QString &path);
// Creates the file empty with mode 0600 when nothing lies at `path` (a file, a link) yet; true
// when this call made it.
bool createFile(const QString &path);

} // namespace PrivateFiles

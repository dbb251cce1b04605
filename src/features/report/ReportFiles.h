#pragma once

#include <QByteArray>
#include <QString>

// Writing the report image to disk: the user's chosen file and the file handed on for sharing.
namespace ReportFiles {

struct Written
{
    bool ok = false;
    QString path;
    // What went wrong, said for the user with the system's reason; empty when ok.
    QString error;
};

// Writes the bytes to the file the user chose, atomically: the file appears complete or not at
// all, and a file it would replace stays as it was when the write fails.
Written write(const QString &path, const QByteArray &bytes);

// The folder for files handed on for sharing, private to this user (mode 0700, owned by us, no
// symbolic link): "grumblix-share" under $XDG_RUNTIME_DIR when that is a private folder of ours,
// otherwise "share" in the cache folder. Created when missing; empty when none can be made safe.
QString shareFolder();

// Writes the bytes as `fileName` in the share folder, replacing an earlier file of that name.
Written writeShareFile(const QString &fileName, const QByteArray &bytes);

} // namespace ReportFiles

#pragma once

#include <QString>
#include <sys/types.h>

// The private folder that holds the single-instance lock and socket. Anyone who controls it could
// read the URLs (notes included) handed to the running program, or swap its socket; so it is
// used only when this user owns it, it is a real folder (no symbolic link) and nobody else may
// enter it.
struct RuntimeFolder
{
    QString path;  // set when usable
    QString error; // why not, for the user

    bool isUsable() const { return error.isEmpty(); }

    // $XDG_RUNTIME_DIR when set; otherwise grumblix-<uid> in the temporary folder, made with
    // mode 0700 when missing.
    static RuntimeFolder resolve();
    // Checks `path` for the user `owner`; with `create`, a missing folder is made (0700,
    // failing if someone made it first).
    static RuntimeFolder check(const QString &path, uid_t owner, bool create);
};

#pragma once

#include <string>
#include <sys/types.h>

// The private folder that holds the single-instance lock and socket. Anyone who controls it could
// read the URLs (notes included) handed to the running program, or swap its socket; so it is
// used only when this user owns it, it is a real folder (no symbolic link) and nobody else may
// enter it. Plain C++, so the launcher needs no library to find it.
struct RuntimeFolder
{
    std::string path;   // set when usable
    std::string error;  // why not, for the user
    std::string reason; // the same without the folder: "it is a symbolic link"

    bool isUsable() const { return error.empty(); }

    // $XDG_RUNTIME_DIR when set; otherwise the login's own runtime folder <loginFolders>/<uid> when
    // it is usable (never made here), so a launch from cron, su - or ssh meets the desktop's
    // instance; otherwise grumblix-<uid> in the temporary folder ($TMPDIR or /tmp), made with mode
    // 0700 when missing.
    static RuntimeFolder resolve(const std::string &loginFolders = "/run/user");
    // Checks `path` for the user `owner`; with `create`, a missing folder is made (0700,
    // failing if anything is there already).
    static RuntimeFolder check(const std::string &path, uid_t owner, bool create);
};

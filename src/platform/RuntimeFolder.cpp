#include "RuntimeFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RuntimeFolder refused(const std::string &path, const std::string &reason)
{
    return RuntimeFolder{
        std::string(),
        "Grumblix will not use " + path + " for talking to its running instance: " + reason + ".", reason};
}

} // namespace

RuntimeFolder RuntimeFolder::resolve(const std::string &loginFolders)
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return check(runtime, geteuid(), false);
    // The folder the login manager makes is the desktop's XDG_RUNTIME_DIR: one that is not fit
    // (missing, open to others) is left alone, not refused.
    const RuntimeFolder login = check(loginFolders + "/" + std::to_string(geteuid()), geteuid(), false);
    if (login.isUsable())
        return login;
    const char *tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return check(base + "/grumblix-" + std::to_string(geteuid()), geteuid(), true);
}

RuntimeFolder RuntimeFolder::check(const std::string &path, uid_t owner, bool create)
{
    // mkdir fails when anything, even a dangling link, is already there: what exists is checked
    // below, never followed.
    if (create && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return refused(path, std::strerror(errno));
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
        return refused(path, std::strerror(errno));
    if (S_ISLNK(info.st_mode))
        return refused(path, "it is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return refused(path, "it is not a folder");
    if (info.st_uid != owner)
        return refused(path, "it belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(info.st_mode & 07777));
        return refused(path, std::string("other users may use it (mode ") + mode + "; it must be 0700)");
    }
    return RuntimeFolder{path, std::string(), std::string()};
}

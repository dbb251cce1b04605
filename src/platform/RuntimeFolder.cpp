#include "RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RuntimeFolder refused(const QString &path, const QString &reason)
{
    return RuntimeFolder{QString(), QStringLiteral("Grumblix will not use %1 for talking to its running "
                                                   "instance: %2.")
                                        .arg(path, reason)};
}

} // namespace

RuntimeFolder RuntimeFolder::resolve()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return check(runtime, geteuid(), false);
    return check(QDir::tempPath() + QStringLiteral("/grumblix-%1").arg(geteuid()), geteuid(), true);
}

RuntimeFolder RuntimeFolder::check(const QString &path, uid_t owner, bool create)
{
    const QByteArray native = QFile::encodeName(path);
    // mkdir fails when anything, even a dangling link, is already there: what exists is checked
    // below, never followed.
    if (create && ::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return refused(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0)
        return refused(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(info.st_mode))
        return refused(path, QStringLiteral("it is a symbolic link"));
    if (!S_ISDIR(info.st_mode))
        return refused(path, QStringLiteral("it is not a folder"));
    if (info.st_uid != owner)
        return refused(path, QStringLiteral("it belongs to another user (uid %1)").arg(info.st_uid));
    if ((info.st_mode & 077) != 0) {
        return refused(path, QStringLiteral("other users may use it (mode %1; it must be 0700)")
                                 .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')));
    }
    return RuntimeFolder{path, QString()};
}

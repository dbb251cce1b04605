#include "PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFiles {

bool makeFolder(const QString &path)
{
    QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    while (!QFileInfo::exists(folder)) {
        missing.prepend(folder);
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    for (const QString &each : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(each).constData(), S_IRWXU) != 0 && errno != EEXIST)
            return false;
    }
    return QFileInfo(path).isDir();
}

bool createFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace PrivateFiles

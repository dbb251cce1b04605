#include "features/report/ReportFiles.h"

#include "models/FileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace ReportFiles {

namespace {

// A real folder (not a link to one) that belongs to us and that nobody else may enter.
bool isPrivateFolder(const QString &path)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// `path` as a private folder: made with mode 0700 when missing, closed to others when it is a real
// folder of ours, refused when it is anything else (a link, someone else's folder, a file).
bool ensurePrivateFolder(const QString &path)
{
    const QFileInfo parent(QFileInfo(path).absolutePath());
    if (!parent.exists() && !QDir().mkpath(parent.absoluteFilePath()))
        return false;
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info
    {
    };
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 && ::chmod(name.constData(), 0700) != 0)
        return false;
    return isPrivateFolder(path);
}

} // namespace

Written write(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (FileWriter::writeAll(path, bytes, &reason))
        return {true, path, {}};
    return {false, path, FileWriter::exportFailureText(QFileInfo(path).fileName(), reason)};
}

QString shareFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime)) {
        const QString folder = QDir(runtime).filePath(QStringLiteral("grumblix-share"));
        if (ensurePrivateFolder(folder))
            return folder;
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        return {};
    const QString folder = QDir(cache).filePath(QStringLiteral("share"));
    return ensurePrivateFolder(folder) ? folder : QString();
}

Written writeShareFile(const QString &fileName, const QByteArray &bytes)
{
    const QString folder = shareFolder();
    if (folder.isEmpty())
        return {false, {}, QStringLiteral("Could not find a private folder to put the image in.")};
    // The folder is ours, not the user's choice: nothing for them to pick instead.
    const QString path = QDir(folder).filePath(fileName);
    QString reason;
    if (FileWriter::writeAll(path, bytes, &reason))
        return {true, path, {}};
    return {false, path, FileWriter::failureText(fileName, reason)};
}

} // namespace ReportFiles

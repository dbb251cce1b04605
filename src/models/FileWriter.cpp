#include "FileWriter.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<FileWriter::SystemWrite> g_systemWrite{&::write};

} // namespace

FileWriter::FileWriter(const QString &path) : m_path(path)
{
}

FileWriter::~FileWriter()
{
    discard();
}

void FileWriter::setSystemWrite(SystemWrite call)
{
    g_systemWrite.store(call ? call : &::write);
}

bool FileWriter::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? qt_error_string(EIO) : reason;
    discard();
    return false;
}

bool FileWriter::open()
{
    if (m_file || !m_error.isEmpty())
        return false;
    // QSaveFile refuses a folder and a file we may not write in words of its own ("Existing file
    // … is not writable"): say them as the system does.
    const QByteArray name = QFile::encodeName(m_path);
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail(qt_error_string(EISDIR));
        if (::access(name.constData(), W_OK) != 0)
            return fail(qt_error_string(errno));
    }
    m_file = std::make_unique<QSaveFile>(m_path);
    // Unbuffered: the bytes go straight to the descriptor below, so nothing is left for QSaveFile
    // to flush (and fail on without a reason) when it commits.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(m_file->errorString());
    return true;
}

bool FileWriter::write(QByteArrayView bytes)
{
    if (!m_file)
        return false;
    // Through the descriptor, so errno of the write that failed is still there to read: QSaveFile
    // reports a write cut short by a full disk as a short count with "Unknown error".
    const SystemWrite call = g_systemWrite.load();
    const int fd = m_file->handle();
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = call(fd, data, size_t(std::min<qsizetype>(left, SSIZE_MAX)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(qt_error_string(errno));
        }
        if (written == 0)
            return fail(qt_error_string(EIO));
        data += written;
        left -= written;
    }
    return true;
}

bool FileWriter::commit()
{
    if (!m_file)
        return false;
    // A file system that sets blocks aside only when the data reaches the disk says it is full
    // here; QSaveFile syncs too but ignores what the sync says.
    if (::fsync(m_file->handle()) != 0 && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return fail(qt_error_string(errno));
    if (!m_file->commit())
        return fail(m_file->errorString());
    m_file.reset();
    return true;
}

void FileWriter::discard()
{
    m_file.reset();
}

bool FileWriter::writeAll(const QString &path, QByteArrayView bytes, QString *reason)
{
    FileWriter writer(path);
    const bool ok = writer.open() && writer.write(bytes) && writer.commit();
    if (!ok && reason)
        *reason = writer.errorString();
    return ok;
}

QString FileWriter::failureText(const QString &fileName, const QString &reason)
{
    QString text = QStringLiteral("Could not save %1").arg(fileName);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

QString FileWriter::exportFailureText(const QString &fileName, const QString &reason)
{
    return failureText(fileName, reason) + QStringLiteral(" Nothing was changed; pick another folder.");
}

#include "FileWriter.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<FileWriter::SystemWrite> g_systemWrite{&::write};

int syncFileRange(int fd, off_t offset, off_t count, unsigned int flags)
{
    return ::sync_file_range(fd, offset, count, flags);
}

std::atomic<FileWriter::SystemSyncRange> g_systemSyncRange{&syncFileRange};

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

void FileWriter::setSystemSyncRange(SystemSyncRange call)
{
    g_systemSyncRange.store(call ? call : &syncFileRange);
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
    m_written = m_started = m_settled = 0;
    m_writeBehind = true;
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
        // No more than a step at a time, so even one large write is sent on as it goes.
        const ssize_t written = call(fd, data, size_t(std::min<qsizetype>(left, writeBehindStep)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(qt_error_string(errno));
        }
        if (written == 0)
            return fail(qt_error_string(EIO));
        data += written;
        left -= written;
        m_written += written;
        if (m_written - m_started >= writeBehindStep && !writeBehind())
            return false;
    }
    return true;
}

bool FileWriter::writeBehind()
{
    if (!m_writeBehind)
        return true;
    const SystemSyncRange call = g_systemSyncRange.load();
    const int fd = m_file->handle();
    const auto sync = [&](qint64 from, qint64 to, unsigned int flags) {
        int result;
        do
            result = call(fd, off_t(from), off_t(to - from), flags);
        while (result != 0 && errno == EINTR);
        return result == 0;
    };
    // Only started, so the writer goes on filling the next step while the disk takes this one.
    bool ok = sync(m_started, m_written, SYNC_FILE_RANGE_WRITE);
    if (ok && m_settled < m_started)
        ok = sync(m_settled, m_started,
                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    if (!ok) {
        // Not to be had here (a pipe, a file system without it): the final sync does it all.
        if (errno == EINVAL || errno == ESPIPE || errno == ENOSYS || errno == EOPNOTSUPP) {
            m_writeBehind = false;
            return true;
        }
        return fail(qt_error_string(errno));
    }
    m_settled = m_started;
    m_started = m_written;
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

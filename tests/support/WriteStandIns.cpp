#include "WriteStandIns.h"

#include "models/FileWriter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr qint64 kPage = 4096;
const QString kFiller = QStringLiteral(".filler");

// The stand-in disk: what is left of its room, shared by every writer.
std::atomic<qint64> g_room{0};

ssize_t writeWithinRoom(int fd, const void *data, size_t size)
{
    const qint64 room = g_room.load();
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = ::write(fd, data, size_t(std::min<qint64>(qint64(size), room)));
    if (written > 0)
        g_room -= written;
    return written;
}

QMutex g_gateMutex;
QWaitCondition g_gateChanged;
int g_passing = 0;
bool g_gateOpen = true;
bool g_held = false;

ssize_t writeThroughGate(int fd, const void *data, size_t size)
{
    {
        QMutexLocker lock(&g_gateMutex);
        if (!g_gateOpen && g_passing > 0) {
            --g_passing;
        } else if (!g_gateOpen) {
            g_held = true;
            g_gateChanged.wakeAll();
            while (!g_gateOpen)
                g_gateChanged.wait(&g_gateMutex);
        }
    }
    return ::write(fd, data, size);
}

} // namespace

FullFolder::FullFolder(Kind kind)
{
    m_folder = m_dir.filePath(QStringLiteral("disk"));
    if (!m_dir.isValid() || !QDir().mkpath(m_folder))
        return;
    if (kind == Kind::realWhenPossible && ::geteuid() == 0) {
        m_mounted = ::mount("grumblix-test", QFile::encodeName(m_folder).constData(), "tmpfs",
                            MS_NOSUID | MS_NODEV | MS_NOEXEC, "size=128k,mode=0755") == 0;
        if (!m_mounted)
            qInfo("no tmpfs could be mounted (%s): the stand-in disk takes its place", strerror(errno));
    }
    m_ready = true;
}

FullFolder::~FullFolder()
{
    FileWriter::setSystemWrite(nullptr);
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

QString FullFolder::filePath(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

bool FullFolder::place(const QString &name, const QByteArray &bytes)
{
    QFile file(filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

bool FullFolder::fill(qint64 room)
{
    if (!m_mounted) {
        g_room = room;
        FileWriter::setSystemWrite(&writeWithinRoom);
        return true;
    }
    const int fd =
        ::open(QFile::encodeName(filePath(kFiller)).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(kPage, 'f');
    qint64 size = 0;
    ssize_t written = 0;
    while ((written = ::write(fd, block.constData(), size_t(block.size()))) > 0)
        size += written;
    const bool full = written < 0 && errno == ENOSPC;
    // tmpfs counts whole pages: freeing them at the end of the filler leaves exactly that room.
    const qint64 keep = std::max<qint64>(0, size - room / kPage * kPage);
    const bool trimmed = ::ftruncate(fd, keep) == 0;
    ::close(fd);
    return full && trimmed;
}

QStringList FullFolder::entries() const
{
    QStringList names =
        QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.removeAll(kFiller);
    return names;
}

WriteGate::WriteGate(int passing)
{
    QMutexLocker lock(&g_gateMutex);
    g_passing = passing;
    g_gateOpen = false;
    g_held = false;
    FileWriter::setSystemWrite(&writeThroughGate);
}

WriteGate::~WriteGate()
{
    open();
    FileWriter::setSystemWrite(nullptr);
}

bool WriteGate::waitUntilHeld(int timeoutMs)
{
    QMutexLocker lock(&g_gateMutex);
    const QDeadlineTimer deadline(timeoutMs);
    while (!g_held) {
        if (!g_gateChanged.wait(&g_gateMutex, deadline))
            return g_held;
    }
    return true;
}

void WriteGate::open()
{
    QMutexLocker lock(&g_gateMutex);
    g_gateOpen = true;
    g_gateChanged.wakeAll();
}

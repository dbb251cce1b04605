#include "WriteStandIns.h"

#include "MountNamespace.h"
#include "models/FileWriter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace {

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
        m_tmpfs = std::make_unique<MountNamespace::Tmpfs>(m_folder, 128 * 1024);
        if (!m_tmpfs->isMounted()) {
            qInfo("no tmpfs could be mounted: the stand-in disk takes its place");
            m_tmpfs.reset();
        }
    }
    m_ready = true;
}

FullFolder::~FullFolder()
{
    FileWriter::setSystemWrite(nullptr);
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
    if (!m_tmpfs) {
        g_room = room;
        FileWriter::setSystemWrite(&writeWithinRoom);
        return true;
    }
    return MountNamespace::fill(filePath(kFiller), room);
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

#include "MountNamespace.h"

#include "TestRerun.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace MountNamespace {

namespace {

constexpr const char *insideVariable = "GRUMBLIX_TEST_IN_MOUNT_NAMESPACE";

QStringList unshareOptions()
{
    QStringList options{QStringLiteral("--mount"), QStringLiteral("--propagation"),
                        QStringLiteral("private")};
    if (::geteuid() != 0)
        options << QStringLiteral("--user") << QStringLiteral("--map-root-user");
    return options;
}

} // namespace

bool isInside()
{
    return qEnvironmentVariableIsSet(insideVariable);
}

std::optional<bool> runTestFunction(const QString &function, QString *why)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
        *why = QStringLiteral("unshare (util-linux) is not installed");
        return std::nullopt;
    }
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(unshare, unshareOptions() << QStringLiteral("--") << QStringLiteral("true"));
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        *why = QStringLiteral("no mount namespace can be made here: ") +
               QString::fromLocal8Bit(probe.readAll()).trimmed();
        return std::nullopt;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(insideVariable), QStringLiteral("1"));
    return TestRerun::run(function, unshare, unshareOptions() << QStringLiteral("--"), env,
                          QStringLiteral("mount namespace"));
}

Tmpfs::Tmpfs(const QString &folder, qint64 bytes) : m_folder(folder)
{
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.constData()) == 0;
    if (!m_mounted)
        qWarning("cannot mount a tmpfs over %s: %s", qPrintable(folder), std::strerror(errno));
}

Tmpfs::~Tmpfs()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool fill(const QString &path, qint64 room)
{
    constexpr qint64 page = 4096;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(page, 'f');
    qint64 size = 0;
    ssize_t written = 0;
    while ((written = ::write(fd, block.constData(), size_t(block.size()))) > 0)
        size += written;
    const bool full = written < 0 && errno == ENOSPC;
    // Freeing whole pages at the end of the filler leaves exactly that room.
    const qint64 keep = std::max<qint64>(0, size - room / page * page);
    const bool trimmed = ::ftruncate(fd, keep) == 0;
    ::close(fd);
    return full && trimmed;
}

} // namespace MountNamespace

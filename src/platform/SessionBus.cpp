#include "SessionBus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connecting to it fails at once, whatever the file system holds.
const char unreachable[] = "unix:path=/dev/null/no-session-bus";

// A D-Bus address value: percent escapes, everything else literal.
QByteArray unescaped(const QString &value)
{
    return QByteArray::fromPercentEncoding(value.toUtf8());
}

bool unixAnswers(const QByteArray &path, bool abstract, const QDeadlineTimer &deadline)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.isEmpty() || offset + size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.constData(), size_t(path.size()));
    const socklen_t length =
        socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(path.size()) + (abstract ? 0 : 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const auto wait = [&](short events) {
        while (true) {
            pollfd entry{fd, events, 0};
            const int rc = ::poll(&entry, 1, int(qMax<qint64>(deadline.remainingTime(), 0)));
            if (rc > 0)
                return (entry.revents & events) != 0;
            if (rc == 0 || errno != EINTR)
                return false;
        }
    };
    bool ok = false;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) == 0 ||
        ((errno == EINPROGRESS || errno == EAGAIN) && wait(POLLOUT))) {
        // The start of the handshake: a NUL byte, then an authentication request, which a bus
        // answers with a line of its own ("OK …" or "REJECTED …").
        const QByteArray hello =
            QByteArray(1, '\0') + "AUTH EXTERNAL " + QByteArray::number(geteuid()).toHex() + "\r\n";
        if (::send(fd, hello.constData(), size_t(hello.size()), MSG_NOSIGNAL) == ssize_t(hello.size())) {
            QByteArray line;
            while (!line.contains('\n') && wait(POLLIN)) {
                char buffer[256];
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                line.append(buffer, n);
            }
            ok = line.startsWith("OK ") || line.startsWith("REJECTED");
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

namespace SessionBus {

bool answers(const QString &address, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // Alternatives separated by ";", tried in order, as libdbus does.
    for (const QString &entry : address.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString transport = entry.left(colon);
        if (transport != QLatin1String("unix"))
            return true;
        for (const QString &pair : entry.mid(colon + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const qsizetype equals = pair.indexOf(QLatin1Char('='));
            const QString key = pair.left(equals);
            const QByteArray value = unescaped(pair.mid(equals + 1));
            if ((key == QLatin1String("path") || key == QLatin1String("abstract")) &&
                unixAnswers(value, key == QLatin1String("abstract"), deadline))
                return true;
        }
        if (deadline.hasExpired())
            return false;
    }
    return false;
}

bool settle(int timeoutMs)
{
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        // The per-user bus of a systemd session sits at a known place.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString bus = runtime + QStringLiteral("/bus");
        if (!runtime.isEmpty() && QFileInfo::exists(bus))
            address = QStringLiteral("unix:path=") + QString::fromUtf8(QUrl::toPercentEncoding(bus, "/"));
    }
    if (!address.isEmpty() && answers(address, timeoutMs)) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        return true;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", unreachable);
    return false;
}

} // namespace SessionBus

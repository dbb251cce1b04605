#include "UnixSockets.h"

#include <QFile>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace UnixSockets {

namespace {

bool addressOf(const QString &path, sockaddr_un &address)
{
    address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    return true;
}

} // namespace

int listenAt(const QString &path)
{
    sockaddr_un address;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !addressOf(path, address) ||
        ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

int connectTo(const QString &path)
{
    sockaddr_un address;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !addressOf(path, address) ||
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace UnixSockets

#include "OneShotDisplay.h"

#include <QFile>
#include <QtEndian>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Reads exactly `size` bytes; false when the peer hangs up first.
bool readExactly(int fd, char *into, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::recv(fd, into, size, 0);
        if (n <= 0)
            return false;
        into += n;
        size -= size_t(n);
    }
    return true;
}

// The connection setup's success reply in the client's byte order: no vendor, no pixmap formats,
// one screen of 1280 × 800 with no depths.
QByteArray setupReply(bool littleEndian)
{
    QByteArray reply;
    const auto put16 = [&](quint16 value) {
        char bytes[2];
        littleEndian ? qToLittleEndian(value, bytes) : qToBigEndian(value, bytes);
        reply.append(bytes, 2);
    };
    const auto put32 = [&](quint32 value) {
        char bytes[4];
        littleEndian ? qToLittleEndian(value, bytes) : qToBigEndian(value, bytes);
        reply.append(bytes, 4);
    };
    const auto put8 = [&](quint8 value) { reply.append(char(value)); };
    put8(1); // success
    put8(0);
    put16(11); // protocol 11.0
    put16(0);
    put16((32 + 40) / 4); // what follows, in four-byte units
    put32(0);             // release
    put32(0x00200000);    // resource id base
    put32(0x001fffff);    // resource id mask
    put32(0);             // motion buffer size
    put16(0);             // vendor length
    put16(0xffff);        // maximum request length
    put8(1);              // screens
    put8(0);              // pixmap formats
    put8(littleEndian ? 0 : 1);
    put8(littleEndian ? 0 : 1);
    put8(32);
    put8(32);
    put8(8);   // min keycode
    put8(255); // max keycode
    put32(0);
    // The screen.
    put32(0x100); // root
    put32(0x20);  // default colormap
    put32(0xffffff);
    put32(0);
    put32(0);
    put16(1280);
    put16(800);
    put16(338);
    put16(211);
    put16(1);
    put16(1);
    put32(0x21); // root visual
    put8(0);
    put8(0);
    put8(24); // root depth
    put8(0);  // depths
    return reply;
}

} // namespace

OneShotDisplay::OneShotDisplay()
{
    if (::pipe(m_stop) != 0)
        return;
    // A display number nobody serves, neither on the abstract socket nor on a file.
    for (int number = 4700 + int(::getpid() % 200); number < 6000; ++number) {
        const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
        if (QFile::exists(QString::fromLatin1(path)))
            continue;
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.constData(), size_t(path.size()));
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return;
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), length) == 0 && ::listen(fd, 4) == 0) {
            m_listenFd = fd;
            m_number = number;
            break;
        }
        ::close(fd);
    }
    if (m_listenFd >= 0)
        m_thread = std::thread([this] { serve(); });
}

OneShotDisplay::~OneShotDisplay()
{
    if (m_thread.joinable()) {
        [[maybe_unused]] const ssize_t n = ::write(m_stop[1], "x", 1);
        m_thread.join();
    }
    for (int fd : {m_stop[0], m_stop[1], m_listenFd.load()}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void OneShotDisplay::serve()
{
    pollfd entries[2] = {{m_listenFd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    if (::poll(entries, 2, -1) <= 0 || entries[1].revents != 0)
        return;
    const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    // Gone before the first connection has its answer, as a server killed just then.
    ::close(m_listenFd.exchange(-1));
    if (client < 0)
        return;
    char request[12];
    if (readExactly(client, request, sizeof request)) {
        const bool littleEndian = request[0] == 'l';
        const auto get16 = [&](int at) {
            return littleEndian ? qFromLittleEndian<quint16>(request + at)
                                : qFromBigEndian<quint16>(request + at);
        };
        const size_t authentication = size_t((get16(6) + 3) / 4 * 4 + (get16(8) + 3) / 4 * 4);
        QByteArray rest(qsizetype(authentication), '\0');
        if (readExactly(client, rest.data(), authentication)) {
            const QByteArray reply = setupReply(littleEndian);
            if (::send(client, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL) == reply.size())
                m_served = true;
        }
    }
    // Until the client hangs up or the display is destroyed.
    pollfd wait[2] = {{client, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    ::poll(wait, 2, 10000);
    ::close(client);
}

#include "FakeInstance.h"

#include "UnixSockets.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Reads exactly `size` bytes, or fewer when the peer hangs up.
QByteArray readBytes(int fd, qsizetype size)
{
    QByteArray bytes;
    char buffer[65536];
    while (bytes.size() < size) {
        const ssize_t n = ::recv(fd, buffer, size_t(qMin<qsizetype>(sizeof buffer, size - bytes.size())), 0);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

} // namespace

FakeInstance::FakeInstance(const QString &socketPath, Behaviour behaviour, const QByteArray &reply)
    : m_behaviour(behaviour), m_reply(reply), m_listenFd(UnixSockets::listenAt(socketPath))
{
    if (m_listenFd < 0 || ::pipe(m_stop) != 0)
        return;
    m_thread = std::thread([this] { serve(); });
}

FakeInstance::~FakeInstance()
{
    if (m_thread.joinable()) {
        [[maybe_unused]] const ssize_t n = ::write(m_stop[1], "x", 1);
        m_thread.join();
    }
    for (int fd : {m_stop[0], m_stop[1], m_listenFd}) {
        if (fd >= 0)
            ::close(fd);
    }
    for (int fd : std::as_const(m_kept))
        ::close(fd);
}

void FakeInstance::serve()
{
    while (true) {
        pollfd entries[2] = {{m_listenFd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 || entries[1].revents != 0)
            return;
        const int client = ::accept(m_listenFd, nullptr, nullptr);
        if (client >= 0)
            handle(client);
    }
}

void FakeInstance::handle(int client)
{
    const QByteArray length = readBytes(client, 4);
    if (m_behaviour == Behaviour::hangUpAfterLength || length.size() < 4) {
        ::close(client);
        return;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(length.constData());
    const qsizetype payload = qsizetype(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    if (readBytes(client, payload).size() < payload) {
        ::close(client);
        return;
    }
    ++m_requests;
    switch (m_behaviour) {
    case Behaviour::reply:
        [[maybe_unused]] ssize_t sent;
        sent = ::send(client, m_reply.constData(), size_t(m_reply.size()), MSG_NOSIGNAL);
        break;
    case Behaviour::neverAnswer:
        m_kept << client;
        return;
    case Behaviour::hangUpAfterRequest:
    case Behaviour::hangUpAfterLength:
        break;
    }
    ::close(client);
}

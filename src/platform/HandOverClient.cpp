#include "HandOverClient.h"

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Waits until `fd` is ready for `events`; false at the deadline.
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    while (true) {
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, int(qMax<qint64>(deadline.remainingTime(), 0)));
        if (rc > 0)
            return true;
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

HandOverAttempt HandOverAttempt::send(const QString &socketPath, const QStringList &arguments, int timeoutMs)
{
    HandOverAttempt attempt;
    const QDeadlineTimer deadline(timeoutMs);
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return attempt;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.get() < 0)
        return attempt;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        // A full backlog (EAGAIN) means a live but busy instance: wait for the connection.
        if (errno != EINPROGRESS && errno != EAGAIN)
            return attempt;
        if (errno == EAGAIN) {
            while (true) {
                if (deadline.hasExpired()) {
                    attempt.outcome = Outcome::noAnswer;
                    return attempt;
                }
                ::usleep(10'000);
                if (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) ==
                        0 ||
                    errno == EISCONN)
                    break;
                if (errno != EAGAIN)
                    return attempt;
            }
        } else {
            int error = 0;
            socklen_t length = sizeof error;
            if (!waitFor(socket.get(), POLLOUT, deadline) ||
                ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
                return attempt;
        }
    }

    // From here the instance exists: whatever goes wrong is its silence, not its absence.
    attempt.outcome = Outcome::noAnswer;
    const QByteArray frame = HandOver::encodeRequest(arguments);
    qsizetype sent = 0;
    while (sent < frame.size()) {
        const ssize_t n =
            ::send(socket.get(), frame.constData() + sent, size_t(frame.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!waitFor(socket.get(), POLLOUT, deadline))
                return attempt;
        } else {
            return attempt;
        }
    }

    // The reply is complete when the instance closes its end.
    QByteArray reply;
    char buffer[512];
    while (true) {
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n > 0) {
            reply.append(buffer, n);
            if (reply.size() > 64 * 1024)
                return attempt;
        } else if (n == 0) {
            break;
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN) {
            if (!waitFor(socket.get(), POLLIN, deadline))
                return attempt;
        } else {
            break;
        }
    }
    if (const auto decoded = HandOver::Reply::decode(reply)) {
        attempt.outcome = Outcome::answered;
        attempt.reply = *decoded;
    }
    return attempt;
}

#include "StartReport.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The unsigned decimal number at `text`, ended by `stop`; false when there is none.
bool readNumber(const char *&text, char stop, unsigned long long &number)
{
    if (*text < '0' || *text > '9')
        return false;
    errno = 0;
    char *end = nullptr;
    number = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != stop)
        return false;
    text = stop ? end + 1 : end;
    return true;
}

} // namespace

std::string StartReport::channel(int fd, ino_t inode, pid_t launcher)
{
    return std::to_string(fd) + ":" + std::to_string(inode) + ":" + std::to_string(launcher);
}

StartReport StartReport::fromEnvironment()
{
    const char *value = std::getenv(variable);
    if (!value)
        return {};
    const std::string named(value);
    ::unsetenv(variable);
    const char *text = named.c_str();
    unsigned long long fd = 0, inode = 0, launcher = 0;
    if (!readNumber(text, ':', fd) || !readNumber(text, ':', inode) || !readNumber(text, '\0', launcher) ||
        fd < 3 || fd > 1 << 20 || launcher == 0)
        return {};
    // Only the socket the launcher made: a descriptor that is something else (a terminal, a file
    // the caller left open, a connection of the caller's) is not written to, not even a byte.
    struct stat info = {};
    if (::fstat(int(fd), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_ino != ino_t(inode))
        return {};
    // Both ends of a socket pair carry the credentials of the process that made it.
    struct ucred peer = {};
    socklen_t length = sizeof peer;
    if (::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || length != sizeof peer ||
        peer.pid != pid_t(launcher) || peer.uid != ::geteuid())
        return {};
    ::fcntl(int(fd), F_SETFD, FD_CLOEXEC);
    return StartReport(int(fd));
}

StartReport::StartReport(StartReport &&other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

StartReport &StartReport::operator=(StartReport &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

StartReport::~StartReport()
{
    close();
}

void StartReport::markTakingUrls()
{
    write(std::string(1, takingUrlsMark));
}

void StartReport::send(const std::string &reply)
{
    write(reply);
    close();
}

void StartReport::write(const std::string &bytes)
{
    size_t sent = 0;
    while (m_fd >= 0 && sent < bytes.size()) {
        // Never a SIGPIPE when the launcher is gone, and never a wait on one that stopped reading.
        const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            sent += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            close();
    }
}

void StartReport::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

#include "StartReport.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

StartReport StartReport::fromEnvironment()
{
    const char *value = std::getenv(variable);
    if (!value)
        return {};
    const std::string named(value);
    ::unsetenv(variable);
    char *end = nullptr;
    const long fd = std::strtol(named.c_str(), &end, 10);
    if (named.empty() || *end != '\0' || fd < 3 || fd > 1 << 20)
        return {};
    // Only the socket the launcher made: a descriptor that is something else (a terminal, a file
    // the caller left open) is not written to.
    struct stat info = {};
    if (::fstat(int(fd), &info) != 0 || !S_ISSOCK(info.st_mode))
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

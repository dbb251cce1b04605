#include "StoreLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The whole file, as one lock of the open file description: it conflicts with the same lock taken
// through any other open of the file, in this process too.
struct flock wholeFile(short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

// 0: taken; EAGAIN: another holds it; otherwise why it could not be tried.
int tryLock(int fd)
{
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    if (errno == EAGAIN || errno == EACCES)
        return EAGAIN;
    // A file system without byte-range locks of this kind may still have whole-file ones.
    if (errno == EINVAL) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        return errno == EWOULDBLOCK ? EAGAIN : errno;
    }
    return errno;
}

// Whether anyone holds the lock of the file open at `fd`.
bool isTaken(int fd)
{
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &lock) == 0)
        return lock.l_type != F_UNLCK;
    if (errno != EINVAL)
        return false;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

// "4242\n/run/user/1000/grumblix.socket\n": a note is whole only with its last line feed.
std::optional<StoreLock::Note> parseNote(const std::string &text)
{
    const size_t first = text.find('\n');
    if (first == std::string::npos || first == 0 || text.back() != '\n')
        return std::nullopt;
    const std::string pidText = text.substr(0, first);
    char *end = nullptr;
    const long pid = std::strtol(pidText.c_str(), &end, 10);
    if (*end != '\0' || pid <= 0)
        return std::nullopt;
    std::string address = text.substr(first + 1, text.size() - first - 2);
    if (address.find('\n') != std::string::npos || address.find('\0') != std::string::npos)
        return std::nullopt;
    return StoreLock::Note{pid_t(pid), std::move(address)};
}

} // namespace

std::string StoreLock::pathFor(const std::string &storePath)
{
    return storePath + ".lock";
}

StoreLock StoreLock::acquire(const std::string &storePath)
{
    StoreLock result;
    const std::string path = pathFor(storePath);
    const auto fail = [&](const std::string &reason) {
        result.m_error = "its lock file " + path + " " + reason;
        return std::move(result);
    };
    // Never through a link: the file is made here, private to this user, or is this user's own.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0)
        return fail(std::string("cannot be opened: ") + std::strerror(errno));
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("is not a file");
    }
    if (info.st_uid != ::geteuid()) {
        ::close(fd);
        return fail("belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    }
    const int locked = tryLock(fd);
    if (locked == EAGAIN) {
        ::close(fd);
        result.m_busy = true;
        const std::optional<Note> holder = readNote(storePath);
        result.m_error = holder
                             ? "another Grumblix (process " + std::to_string(holder->pid) + ") writes to it"
                             : std::string("another Grumblix writes to it");
        return result;
    }
    if (locked != 0) {
        ::close(fd);
        return fail(std::string("cannot be locked: ") + std::strerror(locked));
    }
    // What an earlier writer noted is not about this one; should that fail, note() overwrites it.
    [[maybe_unused]] const int cleared = ::ftruncate(fd, 0);
    result.m_fd = fd;
    return result;
}

std::optional<StoreLock::Note> StoreLock::readNote(const std::string &storePath)
{
    const std::string path = pathFor(storePath);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info = {};
    // Only a note nobody but this user could have written says where to send a launch.
    const bool trusted = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
                         (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    std::string text;
    if (trusted && isTaken(fd)) {
        char buffer[4096];
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
        if (n > 0)
            text.assign(buffer, size_t(n));
    }
    ::close(fd);
    return parseNote(text);
}

StoreLock::StoreLock(StoreLock &&other) noexcept
    : m_fd(other.m_fd), m_busy(other.m_busy), m_error(std::move(other.m_error))
{
    other.m_fd = -1;
}

StoreLock &StoreLock::operator=(StoreLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_busy = other.m_busy;
        m_error = std::move(other.m_error);
        other.m_fd = -1;
    }
    return *this;
}

StoreLock::~StoreLock()
{
    release();
}

bool StoreLock::note(const std::string &address)
{
    if (m_fd < 0 || address.find('\n') != std::string::npos)
        return false;
    const std::string text = std::to_string(::getpid()) + "\n" + address + "\n";
    if (::ftruncate(m_fd, 0) != 0)
        return false;
    return ::pwrite(m_fd, text.data(), text.size(), 0) == ssize_t(text.size());
}

void StoreLock::release()
{
    if (m_fd < 0)
        return;
    // The next writer clears it too; this keeps a launch from trying a socket that is going away.
    [[maybe_unused]] const int cleared = ::ftruncate(m_fd, 0);
    ::close(m_fd);
    m_fd = -1;
}

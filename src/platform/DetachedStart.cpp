#include "DetachedStart.h"

#include "platform/HandOverWire.h"
#include "platform/StartReport.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Where the started program finds its end of the report.
constexpr int reportFd = 3;

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

void closeFrom(int first)
{
    if (::close_range(unsigned(first), ~0U, 0) == 0)
        return;
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int fd = first; fd < (limit > 0 && limit < 65536 ? int(limit) : 65536); ++fd)
        ::close(fd);
}

// The forked child: becomes the program in a session of its own, or reports why it cannot.
[[noreturn]] void becomeProgram(int reportEnd, pid_t launcher, const std::string &program, char *const argv[])
{
    ::setsid();
    // Above the standard streams whatever the caller left open, so setting those up cannot hit it.
    const int report = ::fcntl(reportEnd, F_DUPFD, 10);
    const int null = ::open("/dev/null", O_RDWR);
    if (report < 0 || null < 0)
        ::_exit(HandOverWire::exitNothingDone);
    for (int fd = 0; fd < 3; ++fd) {
        if (fd != null)
            ::dup2(null, fd);
    }
    if (null > 2)
        ::close(null);
    ::dup2(report, reportFd);
    closeFrom(reportFd + 1);

    // What the caller ignored or blocked (a shell's background job ignores SIGINT) is not the
    // program's business.
    for (int signal = 1; signal < NSIG; ++signal)
        ::signal(signal, SIG_DFL);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // It runs for the whole session: it must not keep a mounted folder busy.
    if (::chdir("/") != 0) {
        // Staying where it is does no harm beyond that.
    }
    struct stat info = {};
    if (::fstat(reportFd, &info) != 0)
        ::_exit(HandOverWire::exitNothingDone);
    ::setenv(StartReport::variable, StartReport::channel(reportFd, info.st_ino, launcher).c_str(), 1);
    ::execv(program.c_str(), argv);

    const std::string reply = std::string(1, HandOverWire::refusedByte) + "Grumblix could not start " +
                              program + ": " + std::strerror(errno) + ".";
    [[maybe_unused]] const ssize_t sent = ::send(reportFd, reply.data(), reply.size(), MSG_NOSIGNAL);
    ::_exit(HandOverWire::exitNothingDone);
}

// How the child ended, as " (with exit status 1)" or " (killed by signal 9, SIGKILL)"; empty when
// that cannot be known.
std::string endOf(pid_t pid)
{
    // Its end of the report closes as it exits; being reaped follows a moment later.
    for (int attempt = 0; attempt < 200; ++attempt) {
        int status = 0;
        const pid_t reaped = ::waitpid(pid, &status, WNOHANG);
        if (reaped < 0 && errno == EINTR)
            continue;
        if (reaped < 0)
            return {};
        if (reaped == pid && WIFEXITED(status))
            return " (with exit status " + std::to_string(WEXITSTATUS(status)) + ")";
        if (reaped == pid && WIFSIGNALED(status)) {
            const char *name = ::sigabbrev_np(WTERMSIG(status));
            return " (killed by signal " + std::to_string(WTERMSIG(status)) +
                   (name ? std::string(", SIG") + name : std::string()) + ")";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

} // namespace

DetachedStart DetachedStart::run(const std::string &program, char *const argv[], int timeoutMs)
{
    DetachedStart result;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        result.message = "Grumblix could not start: " + std::string(std::strerror(errno)) + ".";
        return result;
    }
    const pid_t launcher = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        becomeProgram(ends[1], launcher, program, argv);
    }
    const int forkError = errno;
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        result.message = "Grumblix could not start: " + std::string(std::strerror(forkError)) + ".";
        return result;
    }
    result.pid = pid;

    // The report is complete when the program closes its end, at once with its reply or as it ends.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string report;
    bool closed = false;
    while (!closed && report.size() <= 64 * 1024) {
        pollfd entry{ends[0], POLLIN, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[512];
        const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
        if (n > 0)
            report.append(buffer, size_t(n));
        else if (n == 0 || errno != EINTR)
            closed = true;
    }
    ::close(ends[0]);

    size_t at = 0;
    bool takingUrls = false;
    for (; at < report.size() && report[at] == StartReport::takingUrlsMark; ++at)
        takingUrls = true;
    if (closed && at < report.size()) {
        result.exitStatus = HandOverWire::exitStatusFor(report[at]);
        result.message = report.substr(at + 1);
        return result;
    }
    if (!closed) {
        result.exitStatus = HandOverWire::exitUnknown;
        const int seconds = (timeoutMs + 999) / 1000;
        result.message = "Grumblix did not finish starting within " + std::to_string(seconds) +
                         (seconds == 1 ? " second" : " seconds") +
                         "; it goes on starting in the background, and whether it has logged the URLs is "
                         "not known yet: check the history before you try again.";
        return result;
    }
    const std::string end = endOf(pid);
    if (takingUrls) {
        result.exitStatus = HandOverWire::exitUnknown;
        result.message = "Grumblix ended" + end +
                         " while it was taking the URLs, so they may already be logged: check the history "
                         "before you try again.";
    } else {
        result.exitStatus = HandOverWire::exitNothingDone;
        result.message = "Grumblix ended" + end + " before it took the URLs; nothing was done.";
    }
    return result;
}

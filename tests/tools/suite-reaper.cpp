// Runs a command as the child subreaper, so that everything the command starts stays among its
// descendants however it detaches (a session of its own, a double fork, a cleared environment, a
// change of user). When the command ends, whatever of that tree still runs is the command's own: it
// is listed, ended (SIGTERM, then SIGKILL once the grace period is over) and reaped, and the run
// fails. No process outside that tree is ever signalled.
//
//   suite-reaper [--settle SECONDS] [--grace SECONDS] -- COMMAND [ARGUMENT...]
//
// --settle  how long what is left may take to end on its own once the command has ended (5 s)
// --grace   how long SIGTERM has before SIGKILL (5 s)
//
// Exits with the command's status (128 + the signal that ended it); with 1 when the command
// succeeded but left processes running; 125 when it cannot run the command at all. SIGINT, SIGTERM
// and SIGHUP are passed on to the command, and what it leaves is still ended.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <pwd.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int exitLeftRunning = 1;
constexpr int exitCannotRun = 125;
constexpr auto pollInterval = std::chrono::milliseconds(20);

// A process as /proc shows it at one moment. The start time tells a process from a later one that
// was given the same pid.
struct Proc
{
    pid_t pid = 0;
    pid_t ppid = 0;
    char state = '?';
    unsigned long long startTime = 0;
};

std::optional<Proc> readProc(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(file, line))
        return std::nullopt;
    // The name in parentheses may hold spaces and parentheses of its own: the fields follow the last.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    Proc proc;
    proc.pid = pid;
    fields >> proc.state >> proc.ppid;
    std::string skipped;
    for (int field = 5; field < 22 && fields; ++field)
        fields >> skipped;
    fields >> proc.startTime;
    if (!fields)
        return std::nullopt;
    return proc;
}

std::vector<Proc> allProcs()
{
    std::vector<Proc> procs;
    DIR *dir = ::opendir("/proc");
    if (!dir)
        return procs;
    while (const dirent *entry = ::readdir(dir)) {
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') // not a process
            continue;
        if (auto proc = readProc(pid_t(pid)))
            procs.push_back(*proc);
    }
    ::closedir(dir);
    return procs;
}

// Every live descendant of this process. Zombies are skipped: they run nothing, and the one that
// reaps them is this process or a descendant that is itself ended.
std::vector<Proc> liveDescendants()
{
    const std::vector<Proc> procs = allProcs();
    std::multimap<pid_t, const Proc *> children;
    for (const Proc &proc : procs)
        children.emplace(proc.ppid, &proc);
    std::vector<Proc> found;
    std::vector<pid_t> pending{::getpid()};
    while (!pending.empty()) {
        const pid_t parent = pending.back();
        pending.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto it = first; it != last; ++it) {
            pending.push_back(it->second->pid);
            if (it->second->state != 'Z')
                found.push_back(*it->second);
        }
    }
    std::sort(found.begin(), found.end(), [](const Proc &a, const Proc &b) { return a.pid < b.pid; });
    return found;
}

std::string userOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("Uid:", 0) == 0) {
            const uid_t uid = uid_t(std::strtoul(line.c_str() + 4, nullptr, 10));
            if (const passwd *entry = ::getpwuid(uid))
                return entry->pw_name;
            return std::to_string(uid);
        }
    }
    return "?";
}

std::string commandOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string args((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    while (!args.empty() && args.back() == '\0')
        args.pop_back();
    std::replace(args.begin(), args.end(), '\0', ' ');
    if (!args.empty())
        return args;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return "[" + name + "]";
}

// Sends `signal` to the process `proc` describes and to no other: through a pidfd, which stays
// bound to the process it was opened on, once the start time shows that pid is still that process.
// False when it is gone.
bool signalProc(const Proc &proc, int signal)
{
    const int fd = int(::syscall(SYS_pidfd_open, proc.pid, 0));
    if (fd < 0 && errno != ENOSYS)
        return false;
    const auto now = readProc(proc.pid);
    bool sent = false;
    if (now && now->startTime == proc.startTime && now->state != 'Z') {
        if (fd >= 0)
            sent = ::syscall(SYS_pidfd_send_signal, fd, signal, nullptr, 0) == 0;
        else // a kernel before 5.3: the start time just checked is all there is
            sent = ::kill(proc.pid, signal) == 0;
    }
    if (fd >= 0)
        ::close(fd);
    return sent;
}

struct Run
{
    pid_t command = -1;
    std::optional<int> status; // as waitpid gave it, once the command has ended
};

// Collects every child that has ended: the command, and the orphans that came to this process.
void reapChildren(Run &run)
{
    for (;;) {
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, WNOHANG);
        if (pid < 0 && errno == EINTR)
            continue;
        if (pid <= 0)
            return;
        if (pid == run.command)
            run.status = status;
    }
}

int exitStatusOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return exitCannotRun;
}

// Waits for a signal in `set` or until `until`, whichever comes first; the signal, or 0.
int waitForSignal(const sigset_t &set, Clock::time_point until)
{
    const auto left = std::max(Clock::duration::zero(), until - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec timeout{
        time_t(seconds.count()),
        long(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
    const int signal = ::sigtimedwait(&set, nullptr, &timeout);
    return signal > 0 ? signal : 0;
}

bool parseSeconds(const char *text, std::chrono::milliseconds &out)
{
    char *end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(seconds >= 0) || seconds > 86400)
        return false;
    out = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    return true;
}

std::string secondsText(std::chrono::milliseconds ms)
{
    std::ostringstream text;
    text << double(ms.count()) / 1000 << " s";
    return text.str();
}

std::string pidList(const std::vector<Proc> &procs)
{
    std::string text;
    for (const Proc &proc : procs)
        text += (text.empty() ? "" : " ") + std::to_string(proc.pid);
    return text;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: suite-reaper [--settle SECONDS] [--grace SECONDS] -- COMMAND [ARGUMENT...]\n");
    return exitCannotRun;
}

} // namespace

int main(int argc, char **argv)
{
    std::chrono::milliseconds settle(5000), grace(5000);
    int first = 1;
    while (first < argc && std::strcmp(argv[first], "--") != 0) {
        std::chrono::milliseconds *option = nullptr;
        if (std::strcmp(argv[first], "--settle") == 0)
            option = &settle;
        else if (std::strcmp(argv[first], "--grace") == 0)
            option = &grace;
        if (!option || first + 1 >= argc || !parseSeconds(argv[first + 1], *option))
            return usage();
        first += 2;
    }
    if (first + 1 >= argc)
        return usage();
    char **command = argv + first + 1;

    if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        std::fprintf(stderr, "suite-reaper: cannot become the child subreaper: %s\n", std::strerror(errno));
        return exitCannotRun;
    }

    // Signals are taken one at a time with sigtimedwait, never in a handler.
    sigset_t watched, saved;
    ::sigemptyset(&watched);
    for (int signal : {SIGCHLD, SIGINT, SIGTERM, SIGHUP})
        ::sigaddset(&watched, signal);
    ::sigprocmask(SIG_BLOCK, &watched, &saved);

    // The child tells a failed exec through a pipe that a successful one closes.
    int execPipe[2];
    if (::pipe2(execPipe, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "suite-reaper: %s\n", std::strerror(errno));
        return exitCannotRun;
    }
    Run run;
    run.command = ::fork();
    if (run.command < 0) {
        std::fprintf(stderr, "suite-reaper: cannot start %s: %s\n", command[0], std::strerror(errno));
        return exitCannotRun;
    }
    if (run.command == 0) {
        ::sigprocmask(SIG_SETMASK, &saved, nullptr);
        ::execvp(command[0], command);
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(execPipe[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(execPipe[1]);
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(execPipe[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(execPipe[0]);
    if (got == sizeof execError) {
        std::fprintf(stderr, "suite-reaper: cannot run %s: %s\n", command[0], std::strerror(execError));
        ::waitpid(run.command, nullptr, 0);
        return exitCannotRun;
    }

    // While the command runs: orphans are reaped as they end, signals to this process go on to it.
    while (!run.status) {
        const int signal = waitForSignal(watched, Clock::now() + std::chrono::seconds(1));
        if (signal != 0 && signal != SIGCHLD)
            ::kill(run.command, signal);
        reapChildren(run);
    }
    const int commandStatus = exitStatusOf(*run.status);

    // What is on its way out gets the settle period to end by itself. A process read while its
    // parent was being reaped shows that parent still and escapes one look, never two.
    auto stillThere = [&run] {
        reapChildren(run);
        std::vector<Proc> procs = liveDescendants();
        if (procs.empty()) {
            std::this_thread::sleep_for(pollInterval);
            reapChildren(run);
            procs = liveDescendants();
        }
        return procs;
    };
    std::vector<Proc> left = stillThere();
    for (const auto until = Clock::now() + settle; !left.empty() && Clock::now() < until;) {
        std::this_thread::sleep_for(pollInterval);
        left = stillThere();
    }
    if (left.empty())
        return commandStatus;

    const char *slash = std::strrchr(command[0], '/');
    const std::string name = slash ? slash + 1 : command[0];
    std::fprintf(stderr, "Processes left running when %s ended:\n", name.c_str());
    std::set<std::pair<pid_t, unsigned long long>> listed;
    auto listNew = [&](const std::vector<Proc> &procs) {
        for (const Proc &proc : procs) {
            if (listed.insert({proc.pid, proc.startTime}).second)
                std::fprintf(stderr, "%8d %-14s %s\n", int(proc.pid), userOf(proc.pid).c_str(),
                             commandOf(proc.pid).c_str());
        }
        std::fflush(stderr);
    };
    listNew(left);

    // SIGTERM to all, then SIGCONT, so that a stopped one acts on it rather than keep it pending;
    // whatever they start while they end is ours as well and gets the same.
    std::set<std::pair<pid_t, unsigned long long>> termed;
    std::vector<Proc> endedOnTerm;
    auto terminate = [&](const std::vector<Proc> &procs) {
        for (const Proc &proc : procs) {
            if (termed.insert({proc.pid, proc.startTime}).second && signalProc(proc, SIGTERM)) {
                signalProc(proc, SIGCONT);
                endedOnTerm.push_back(proc);
            }
        }
    };
    terminate(left);
    for (const auto until = Clock::now() + grace; !left.empty() && Clock::now() < until;) {
        std::this_thread::sleep_for(pollInterval);
        left = stillThere();
        listNew(left);
        terminate(left);
    }

    std::vector<Proc> killed;
    // SIGKILL ends all but a process stuck in the kernel; that one is named, not waited for forever.
    for (const auto until = Clock::now() + std::chrono::seconds(10); !left.empty() && Clock::now() < until;) {
        listNew(left);
        for (const Proc &proc : left) {
            if (signalProc(proc, SIGKILL) &&
                std::none_of(killed.begin(), killed.end(), [&](const Proc &k) { return k.pid == proc.pid; }))
                killed.push_back(proc);
        }
        std::this_thread::sleep_for(pollInterval);
        left = stillThere();
    }

    std::erase_if(endedOnTerm, [&](const Proc &proc) {
        return std::any_of(killed.begin(), killed.end(), [&](const Proc &k) { return k.pid == proc.pid; });
    });
    if (!endedOnTerm.empty())
        std::fprintf(stderr, "Ended by SIGTERM: %s\n", pidList(endedOnTerm).c_str());
    if (!killed.empty())
        std::fprintf(stderr, "Killed, still running %s after SIGTERM: %s\n", secondsText(grace).c_str(),
                     pidList(killed).c_str());
    if (!left.empty())
        std::fprintf(stderr, "Still running, could not be ended: %s\n", pidList(left).c_str());
    return commandStatus != 0 ? commandStatus : exitLeftRunning;
}

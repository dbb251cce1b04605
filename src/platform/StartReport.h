#pragma once

#include <string>
#include <sys/types.h>

// How a program proper that the launcher started in the background tells it what became of the
// launch's URLs. The launcher hands it one end of a socket pair and names it in an environment
// variable: its descriptor, its inode and the launcher's pid, so that a variable the program
// merely inherited never makes it write to a socket of someone else's. The program takes the
// variable out of its environment first thing, so nothing it starts later inherits it, and writes
// at most one reply (HandOverWire's bytes) before closing its end. Plain C++: the launcher shares
// the constants.
class StartReport
{
public:
    static constexpr const char *variable = "GRUMBLIX_START_REPORT_FD";
    // The variable's value for the end `fd` (inode `inode`) of a socket pair that the process
    // `launcher` made: "<fd>:<inode>:<pid>".
    static std::string channel(int fd, ino_t inode, pid_t launcher);
    // Written before the program touches the store for the URLs: from then on, an end without a
    // reply may have left them logged.
    static constexpr char takingUrlsMark = '+';

    // Takes the descriptor named in the environment (and removes the variable); not open when
    // there is none, or when it is not the very socket the variable names: another inode, or a
    // pair that the named launcher (a process of this user) did not make.
    static StartReport fromEnvironment();

    StartReport() = default;
    explicit StartReport(int fd) : m_fd(fd) {}
    StartReport(StartReport &&other) noexcept;
    StartReport &operator=(StartReport &&other) noexcept;
    StartReport(const StartReport &) = delete;
    StartReport &operator=(const StartReport &) = delete;
    // Closing without a reply tells the launcher that the program ended before it answered.
    ~StartReport();

    bool isOpen() const { return m_fd >= 0; }
    void markTakingUrls();
    // Writes the reply and closes; nothing when not open. The launcher may be gone: that costs the
    // program nothing.
    void send(const std::string &reply);

private:
    void write(const std::string &bytes);
    void close();

    int m_fd = -1;
};

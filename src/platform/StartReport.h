#pragma once

#include <string>

// How a program proper that the launcher started in the background tells it what became of the
// launch's URLs. The launcher hands it one end of a socket pair and names its descriptor in an
// environment variable; the program takes the variable out of its environment first thing, so
// nothing it starts later inherits it, and writes at most one reply (HandOverWire's bytes) before
// closing its end. Plain C++: the launcher shares the constants.
class StartReport
{
public:
    static constexpr const char *variable = "GRUMBLIX_START_REPORT_FD";
    // Written before the program touches the store for the URLs: from then on, an end without a
    // reply may have left them logged.
    static constexpr char takingUrlsMark = '+';

    // Takes the descriptor named in the environment (and removes the variable); not open when
    // there is none, or when it names no socket.
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

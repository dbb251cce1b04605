#pragma once

#include <QString>
#include <atomic>
#include <thread>

// An X display that lives for one connection, as an X server killed while a program starts: it
// answers the first connection's setup as a server with one screen would, and from then on
// nobody listens, so the next connection to the display fails. It listens on the abstract socket
// that libxcb tries first, so nothing lands in /tmp/.X11-unix.
class OneShotDisplay
{
public:
    OneShotDisplay();
    ~OneShotDisplay();
    OneShotDisplay(const OneShotDisplay &) = delete;
    OneShotDisplay &operator=(const OneShotDisplay &) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    // The display's name, ":4711".
    QString name() const { return QStringLiteral(":%1").arg(m_number); }
    // Whether its one connection got the server's answer.
    bool wasServed() const { return m_served; }

private:
    void serve();

    int m_number = 0;
    std::atomic<int> m_listenFd = -1;
    int m_stop[2] = {-1, -1};
    std::atomic<bool> m_served = false;
    std::thread m_thread;
};

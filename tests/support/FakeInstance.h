#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <thread>

// A peer on the single-instance socket that plays a running Grumblix, well or badly, on a thread of
// its own so that the launching side may block while it waits. It serves every launch that comes
// until it is destroyed.
class FakeInstance
{
public:
    enum class Behaviour
    {
        reply,              // reads the whole request, writes `reply`, hangs up
        hangUpAfterRequest, // reads the whole request and hangs up without a word (as a crash would)
        hangUpAfterLength,  // reads the request's four-byte length and hangs up
        neverAnswer,        // reads the whole request and keeps the connection, silent
    };

    FakeInstance(const QString &socketPath, Behaviour behaviour, const QByteArray &reply = {});
    ~FakeInstance();
    FakeInstance(const FakeInstance &) = delete;
    FakeInstance &operator=(const FakeInstance &) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    // How many whole requests it has read.
    int requests() const { return m_requests; }

private:
    void serve();
    void handle(int client);

    Behaviour m_behaviour;
    QByteArray m_reply;
    int m_listenFd = -1;
    int m_stop[2] = {-1, -1};
    std::atomic<int> m_requests = 0;
    std::thread m_thread;
    QList<int> m_kept; // the thread's until it is joined
};

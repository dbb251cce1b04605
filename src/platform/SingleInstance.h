#pragma once

#include "platform/HandOver.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QLockFile;
class QSocketNotifier;

// One running Grumblix per user: the first process holds a lock file and listens on a local socket
// in a private runtime folder; a later process hands its arguments to it over that socket and
// exits. The later side needs no application object, so it runs before any GUI is built.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `folder` holds the lock file and the socket, and must be private to this user (see
    // RuntimeFolder).
    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;

    enum class Role
    {
        Primary,    // this process holds the lock and runs the program
        Forwarded,  // a running instance took the arguments; this process should exit
        Declined,   // a running instance answered, but not done (see reply())
        Failed,     // nothing was handed over: another instance holds the lock but does not listen
                    // yet, or did not take the arguments (see reply())
        Unanswered, // a running instance had the arguments but did not answer: they may have been
                    // carried out (see reply())
    };

    // How long a launch waits for an instance that is starting and for its answer.
    static constexpr int claimTimeoutMs = 5000;

    // Becomes the primary instance, or hands `arguments` to the one that runs.
    Role claim(const QStringList &arguments, int timeoutMs = claimTimeoutMs);
    // What became of the arguments once claim() did not make this process the primary: the running
    // instance's answer, or one that says why there is none.
    HandOver::Reply reply() const { return m_reply; }

    // What the primary does with a hand-over; until one is set, hand-overs are refused with a
    // message for the launcher.
    using Handler = std::function<HandOver::Reply(const QStringList &arguments)>;
    void setHandler(Handler handler);

    // Starts serving the socket (the primary only). The socket is made again whenever its file
    // goes, and the server survives running out of file descriptors.
    bool listen();
    bool isListening() const;

    // At most this many launches are served at once; more wait in the socket's queue.
    static constexpr int maxClients = 8;
    // A launch that sends nothing for this long is dropped.
    void setIdleTimeout(int milliseconds);
    int clientCount() const;

    QString socketPath() const;
    QString lockPath() const;

Q_SIGNALS:
    // A later launch's arguments were handled (after the handler returned).
    void handedOver(const QStringList &arguments);

private:
    class Client;
    bool bindSocket();
    void closeSocket();
    void acceptClients();
    void pauseAccepting(int milliseconds);
    void checkSocketFile();
    void serve(Client *client);
    // Writes `reply` and lets the client go.
    void answer(Client *client, const HandOver::Reply &reply);
    void dropClient(Client *client);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    HandOver::Reply m_reply;
    Handler m_handler;
    int m_listenFd = -1;
    quint64 m_socketInode = 0;
    QSocketNotifier *m_acceptNotifier = nullptr;
    bool m_acceptPaused = false;
    int m_idleTimeoutMs = 3000;
    QList<Client *> m_clients;
};

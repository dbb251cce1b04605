#include "SingleInstance.h"

#include "platform/HandOverClient.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString notReady =
    QStringLiteral("Grumblix is running but cannot take this yet (it is starting, or waiting "
                   "on a message on screen); nothing was done. Try again in a moment.");

// The files of this process's primary instances. Should it end by exit() (as Qt's X11 plugin ends
// it when the display goes away), no destructor runs, and they would be left behind.
struct OwnFiles
{
    std::string lock;
    std::string socket;
    ino_t socketInode = 0;
};
std::mutex ownFilesMutex;
std::map<const SingleInstance *, OwnFiles> ownFiles;

void removeOwnFilesAtExit()
{
    const std::lock_guard<std::mutex> locker(ownFilesMutex);
    for (const auto &[instance, files] : ownFiles) {
        struct stat info = {};
        // Only the socket this instance made: a later one of another process stays.
        if (files.socketInode != 0 && ::lstat(files.socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
            info.st_ino == files.socketInode)
            ::unlink(files.socket.c_str());
        ::unlink(files.lock.c_str());
    }
    ownFiles.clear();
}

void keepOwnFiles(const SingleInstance *instance, const OwnFiles &files)
{
    static const bool registered = std::atexit(removeOwnFilesAtExit) == 0;
    Q_UNUSED(registered);
    const std::lock_guard<std::mutex> locker(ownFilesMutex);
    ownFiles[instance] = files;
}

void forgetOwnFiles(const SingleInstance *instance)
{
    const std::lock_guard<std::mutex> locker(ownFilesMutex);
    ownFiles.erase(instance);
}

} // namespace

// One connected launch: its bytes so far and the clock that drops it when it goes quiet.
class SingleInstance::Client : public QObject
{
public:
    Client(int fd, QObject *parent) : QObject(parent), fd(fd), notifier(fd, QSocketNotifier::Read, this)
    {
        idle.setSingleShot(true);
    }
    ~Client() override { ::close(fd); }

    const int fd;
    QSocketNotifier notifier;
    QTimer idle;
    QByteArray buffer;
};

SingleInstance::SingleInstance(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder)
{
}

SingleInstance::~SingleInstance()
{
    forgetOwnFiles(this);
    qDeleteAll(m_clients);
    m_clients.clear();
    if (m_listenFd >= 0) {
        closeSocket();
        ::unlink(QFile::encodeName(socketPath()).constData());
    }
}

QString SingleInstance::socketPath() const
{
    return HandOver::socketPathIn(m_folder);
}

QString SingleInstance::lockPath() const
{
    return HandOver::lockPathIn(m_folder);
}

SingleInstance::Role SingleInstance::claim(const QStringList &arguments, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const HandOverAttempt attempt =
            HandOverAttempt::send(socketPath(), arguments, int(qMax<qint64>(deadline.remainingTime(), 100)));
        switch (attempt.outcome) {
        case HandOverAttempt::Outcome::answered:
        case HandOverAttempt::Outcome::tooLarge:
            m_reply = attempt.reply;
            return m_reply.status == HandOver::Reply::Status::done ? Role::Forwarded : Role::Declined;
        case HandOverAttempt::Outcome::notTaken:
            m_reply = {HandOver::Reply::Status::refused,
                       QString::fromStdString(HandOverWire::notTakenMessage())};
            return Role::Failed;
        case HandOverAttempt::Outcome::noAnswer:
            // The arguments may have arrived: sending them again could log twice.
            m_reply = {HandOver::Reply::Status::unanswered,
                       QString::fromStdString(HandOverWire::unansweredMessage())};
            return Role::Unanswered;
        case HandOverAttempt::Outcome::noServer:
            break;
        }
        auto lock = std::make_unique<QLockFile>(lockPath());
        // A lock left by a crashed process is detected by its pid and taken over.
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            keepOwnFiles(this, {QFile::encodeName(lockPath()).toStdString(), std::string(), 0});
            return Role::Primary;
        }
        // Another process holds the lock but does not listen yet: it is starting up.
        if (deadline.hasExpired()) {
            m_reply = {HandOver::Reply::Status::refused,
                       QString::fromStdString(HandOverWire::startingMessage())};
            return Role::Failed;
        }
        QThread::msleep(20);
    }
}

void SingleInstance::setHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void SingleInstance::setIdleTimeout(int milliseconds)
{
    m_idleTimeoutMs = milliseconds;
}

int SingleInstance::clientCount() const
{
    return int(m_clients.size());
}

bool SingleInstance::isListening() const
{
    return m_listenFd >= 0;
}

bool SingleInstance::listen()
{
    if (!bindSocket())
        return false;
    // The socket file must live as long as this instance: if anything removes it, it is made again.
    auto *watcher = new QFileSystemWatcher(this);
    if (watcher->addPath(m_folder)) {
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, &SingleInstance::checkSocketFile);
    } else {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &SingleInstance::checkSocketFile);
        poll->start(5000);
    }
    return true;
}

bool SingleInstance::bindSocket()
{
    closeSocket();
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // Only the lock holder gets here, so a file still at the path is a leftover.
    ::unlink(path.constData());
    struct stat info = {};
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 32) != 0 || ::lstat(path.constData(), &info) != 0) {
        ::close(fd);
        return false;
    }
    m_listenFd = fd;
    m_socketInode = quint64(info.st_ino);
    if (m_lock)
        keepOwnFiles(this, {QFile::encodeName(lockPath()).toStdString(), path.toStdString(), info.st_ino});
    m_acceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_acceptNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    m_acceptPaused = false;
    return true;
}

void SingleInstance::closeSocket()
{
    delete m_acceptNotifier;
    m_acceptNotifier = nullptr;
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    m_listenFd = -1;
}

void SingleInstance::checkSocketFile()
{
    if (m_listenFd < 0)
        return;
    struct stat info = {};
    const bool present = ::lstat(QFile::encodeName(socketPath()).constData(), &info) == 0 &&
                         S_ISSOCK(info.st_mode) && quint64(info.st_ino) == m_socketInode;
    if (!present)
        bindSocket();
}

void SingleInstance::pauseAccepting(int milliseconds)
{
    if (!m_acceptNotifier)
        return;
    m_acceptNotifier->setEnabled(false);
    m_acceptPaused = true;
    if (milliseconds > 0) {
        QTimer::singleShot(milliseconds, this, [this] {
            m_acceptPaused = false;
            acceptClients();
        });
    }
}

void SingleInstance::acceptClients()
{
    if (m_listenFd < 0)
        return;
    while (m_clients.size() < maxClients) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN)
                break;
            // Out of descriptors or memory: the waiting launch stays queued; try again shortly,
            // and never give up the socket.
            pauseAccepting(200);
            return;
        }
        auto *client = new Client(fd, this);
        m_clients.append(client);
        client->idle.setInterval(m_idleTimeoutMs);
        connect(&client->idle, &QTimer::timeout, this, [this, client] { dropClient(client); });
        connect(&client->notifier, &QSocketNotifier::activated, this, [this, client] { serve(client); });
        client->idle.start();
    }
    // Full: the rest wait in the queue until a client leaves.
    if (m_clients.size() >= maxClients)
        pauseAccepting(0);
    else if (m_acceptNotifier && !m_acceptPaused)
        m_acceptNotifier->setEnabled(true);
}

void SingleInstance::dropClient(Client *client)
{
    if (!m_clients.removeOne(client))
        return;
    client->notifier.setEnabled(false);
    client->deleteLater();
    if (m_acceptNotifier && !m_acceptNotifier->isEnabled() && m_clients.size() < maxClients) {
        m_acceptPaused = false;
        acceptClients();
    }
}

void SingleInstance::answer(Client *client, const HandOver::Reply &reply)
{
    const QByteArray bytes = reply.encode();
    [[maybe_unused]] const ssize_t sent =
        ::send(client->fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    dropClient(client);
}

void SingleInstance::serve(Client *client)
{
    char buffer[4096];
    // Never more than one frame's worth: a peer that keeps writing cannot keep this loop going.
    while (client->buffer.size() <= 4 + HandOver::maxFrame) {
        const ssize_t n = ::recv(client->fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            client->buffer.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        dropClient(client); // closed or failed before a whole request came
        return;
    }
    bool malformed = false;
    const std::optional<QStringList> arguments = HandOver::takeRequest(client->buffer, &malformed);
    if (malformed) {
        // Too large is the one fault a launcher's user can mend, so it is told rather than dropped.
        const qsizetype announced = HandOver::announcedFrameSize(client->buffer);
        if (announced > 4 + HandOver::maxFrame)
            answer(client, {HandOver::Reply::Status::refused,
                            QString::fromStdString(HandOverWire::tooLargeMessage(size_t(announced)))});
        else
            dropClient(client);
        return;
    }
    if (!arguments)
        return; // more to come
    client->notifier.setEnabled(false);
    client->idle.stop();

    // The launcher hears back only once the handler is done, so a launch that ended well means
    // that what it logged is on disk.
    HandOver::Reply reply{HandOver::Reply::Status::refused, notReady};
    const QPointer<SingleInstance> self(this);
    if (m_handler)
        reply = m_handler(*arguments);
    if (!self)
        return;
    answer(client, reply);
    if (reply.status != HandOver::Reply::Status::refused)
        Q_EMIT handedOver(*arguments);
}

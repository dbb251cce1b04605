#include "SingleInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace {
constexpr quint32 protocolMagic = 0x47524d31; // "GRM1"
constexpr char acknowledgement = 'k';
} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/grumblix-%1").arg(getuid());
    return folder;
}

QString SingleInstance::socketPath() const
{
    return m_folder + QStringLiteral("/grumblix.socket");
}

QString SingleInstance::lockPath() const
{
    return m_folder + QStringLiteral("/grumblix.lock");
}

SingleInstance::Role SingleInstance::claim(const QStringList &arguments, int timeoutMs)
{
    QDir().mkpath(m_folder);
    QDeadlineTimer deadline(timeoutMs);
    while (true) {
        if (forward(arguments, int(qMax<qint64>(deadline.remainingTime(), 100))))
            return Role::Forwarded;
        auto lock = std::make_unique<QLockFile>(lockPath());
        // A lock left by a crashed process is detected by its pid and taken over.
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            return listen() ? Role::Primary : Role::Failed;
        }
        // Another process holds the lock but does not answer yet: it is starting up.
        if (deadline.hasExpired())
            return Role::Failed;
        QThread::msleep(50);
    }
}

bool SingleInstance::forward(const QStringList &arguments, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << protocolMagic << arguments;
    QByteArray frame;
    QDataStream framed(&frame, QIODevice::WriteOnly);
    framed << payload;
    socket.write(frame);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The reply tells that the running instance took the arguments, not merely that they were sent.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char reply = 0;
    return socket.getChar(&reply) && reply == acknowledgement;
}

bool SingleInstance::listen()
{
    // Only the lock holder gets here, so a socket file still present is a leftover.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath()))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readClient(socket); });
            readClient(socket);
        }
    });
    return true;
}

void SingleInstance::readClient(QLocalSocket *socket)
{
    // A frame is a length-prefixed byte array; wait until all of it is here.
    QDataStream in(socket);
    in.startTransaction();
    QByteArray payload;
    in >> payload;
    if (!in.commitTransaction())
        return;
    QDataStream body(payload);
    quint32 magic = 0;
    QStringList arguments;
    body >> magic >> arguments;
    if (body.status() != QDataStream::Ok || magic != protocolMagic) {
        socket->disconnectFromServer();
        return;
    }
    socket->putChar(acknowledgement);
    socket->flush();
    Q_EMIT argumentsReceived(arguments);
}

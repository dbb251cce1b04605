#include "LocalHttpServer.h"

#include <QTcpSocket>

LocalHttpServer::LocalHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool LocalHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl LocalHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalHttpServer::serve(const QString &path, const QByteArray &body, int status,
                            const QByteArray &contentType)
{
    m_responses.insert(path, {status, contentType, body});
}

QUrl LocalHttpServer::unreachableUrl(const QString &path)
{
    // Take a free port and let it go again: nothing listens there afterwards.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path));
}

void LocalHttpServer::answer(QTcpSocket *socket)
{
    // Requests are small; wait until the whole header has arrived.
    if (!socket->canReadLine() || !socket->peek(64 * 1024).contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
    socket->readAll();
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    m_counts[path] += 1;

    Response response{404, "text/plain", "not found"};
    if (requestLine.value(0) == "GET" && m_responses.contains(path))
        response = m_responses.value(path);
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " X\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += response.body;
    socket->write(out);
    socket->disconnectFromHost();
}

#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

// A tiny HTTP/1.1 server on 127.0.0.1 for tests: answers GET requests for the paths it was given,
// 404 for everything else, and closes each connection after one answer.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LocalHttpServer(QObject *parent = nullptr);

    // Listens on a free port of the loopback address only.
    bool listen();
    QUrl url(const QString &path) const;

    void serve(const QString &path, const QByteArray &body, int status = 200,
               const QByteArray &contentType = "application/octet-stream");
    int requestCount(const QString &path) const { return m_counts.value(path); }

    // An address on the loopback host where nothing listens.
    static QUrl unreachableUrl(const QString &path);

private:
    struct Response
    {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
    };
    void answer(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Response> m_responses;
    QHash<QString, int> m_counts;
};

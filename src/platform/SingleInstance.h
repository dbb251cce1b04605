#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;

// One running Grumblix per user: the first process holds a lock file and listens on a local socket
// in the runtime folder; a later process hands its arguments to it over that socket and exits.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `folder` holds the lock file and the socket; by default the user's runtime folder.
    explicit SingleInstance(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString defaultFolder();

    enum class Role
    {
        Primary,   // this process runs the program and now listens
        Forwarded, // a running instance received the arguments; this process should exit
        Failed,    // another instance holds the lock but could not be reached
    };

    // Becomes the primary instance, or forwards `arguments` to the one that runs.
    Role claim(const QStringList &arguments, int timeoutMs = 3000);

    QString socketPath() const;
    QString lockPath() const;

Q_SIGNALS:
    // A later launch handed over its arguments (the program path left out).
    void argumentsReceived(const QStringList &arguments);

private:
    bool forward(const QStringList &arguments, int timeoutMs);
    bool listen();
    void readClient(class QLocalSocket *socket);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

#pragma once

#include "services/UpdateFeed.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

class QFile;
struct UpdateDownloadCheck;

class Prefs;
class QNetworkAccessManager;
class QNetworkReply;

// Checks the program's update feed, keeps the automatic-check setting and fetches a newer
// release, verified against the built-in public key before it is handed to the system. It owns
// no window: views follow state() and stateChanged(), and presentationRequested() asks the window
// to come forward.
class UpdateService : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Idle,
        NotConfigured, // this build has no feed: updates come from the package manager
        Checking,
        UpToDate,
        Available,
        Downloading,
        Downloaded,
        Failed,
    };
    Q_ENUM(State)

    // What a build knows about updates: its feed, its signing key and its own version.
    struct Config
    {
        QUrl feedUrl;
        QByteArray publicKey; // Base64 Ed25519 public key
        QString version;
        QString build;
        // Plain HTTP to the loopback host, for a test's own feed server only.
        bool allowLoopbackHttp = false;
    };
    using Clock = std::function<QDateTime()>;
    // Hands a verified download to the system; false when nothing could open it.
    using Opener = std::function<bool(const QString &filePath)>;

    // The feed, key and version compiled into this build.
    static Config builtInConfig();
    // The program's version for display, e.g. "1.4 (27)".
    static QString versionString();

    UpdateService(Config config, Prefs &prefs, QObject *parent = nullptr);
    ~UpdateService() override;

    // The process-wide service over the built-in configuration, created on first use with its
    // daily schedule running.
    static UpdateService &shared();

    bool isConfigured() const;
    State state() const { return m_state; }
    // The newest release of the last check (when Available and after).
    const UpdateItem &latest() const { return m_latest; }
    // Why the last check or download failed, in a sentence for the user.
    QString errorText() const { return m_errorText; }
    QString currentVersion() const { return m_config.version; }
    QString downloadedFile() const { return m_downloadedFile; }
    // Whether the system opened the verified download.
    bool downloadOpened() const { return m_downloadOpened; }

    // Off and unchangeable when the build has no feed.
    bool automaticallyChecks() const;
    void setAutomaticallyChecks(bool on);

    // Begins the daily schedule: a check at most once a day while automatic checks are on.
    void start();
    // The user asked: bring the update window forward, then check.
    void checkForUpdates();
    // Runs the automatic check when it is on and the last check is a day old or more.
    void checkIfDue();
    // Fetches the latest release; only while it is Available.
    void downloadUpdate();
    // Stops a running check or download.
    void cancel();

    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setOpener(Opener opener) { m_opener = std::move(opener); }
    // Where verified downloads are saved; the user's download folder by default.
    void setDownloadFolder(const QString &folder) { m_downloadFolder = folder; }
    QNetworkAccessManager &network();

    // Preference keys of the automatic check.
    static const QString automaticKey;
    static const QString lastCheckKey;
    static const QString lastReminderKey;
    // Largest download accepted, so a wrong address cannot fill memory.
    static constexpr qint64 maxDownloadBytes = qint64(256) << 20;

Q_SIGNALS:
    void stateChanged();
    void automaticallyChecksChanged();
    void downloadProgress(qint64 received, qint64 total);
    // The update window should show and take focus.
    void presentationRequested();

private:
    void presentWhenOnboarded();
    void check(bool userInitiated);
    // Releases a finished reply; false (with the failure reported) unless it brought a whole answer.
    bool takeFinished(QNetworkReply *reply, const QString &oversizedText);
    void onFeedFinished(QNetworkReply *reply, bool userInitiated);
    void onDownloadFinished(QNetworkReply *reply);
    void fail(const QString &text);
    void setState(State state);
    void onDownloadChecked(const UpdateDownloadCheck &result);
    QString downloadFolder() const;
    QDateTime now() const;

    Config m_config;
    Prefs &m_prefs;
    Clock m_clock;
    Opener m_opener;
    QString m_downloadFolder;
    QMetaObject::Connection m_waitForOnboarding;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    // The download as it arrives, in the folder it ends up in.
    std::unique_ptr<QFile> m_partial;
    QTimer m_schedule;
    State m_state = State::Idle;
    UpdateItem m_latest;
    QString m_errorText;
    QString m_downloadedFile;
    bool m_downloadOpened = false;
};

// Text of a network failure, for the update window.
QString describeNetworkFailure(QNetworkReply *reply);

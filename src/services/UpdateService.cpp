#include "UpdateService.h"

#include "UpdateSignature.h"
#include "services/UpdateDownloadCheck.h"
#include "Versions.h"
#include "models/Prefs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QCoreApplication>
#include <QTemporaryFile>
#include <QThread>
#include <QStandardPaths>

const QString UpdateService::automaticKey = QStringLiteral("automaticallyChecksForUpdates");
const QString UpdateService::lastCheckKey = QStringLiteral("lastUpdateCheck");
const QString UpdateService::lastReminderKey = QStringLiteral("lastUpdateReminder");

namespace {

// Marks a reply stopped for its size, so its error reads as such rather than as a timeout.
const char *const oversized = "grumblixOversized";
const char *const unwritable = "grumblixUnwritable";
constexpr qint64 maxFeedBytes = 4 * 1024 * 1024;
constexpr int transferTimeoutMs = 30000;
constexpr int secondsPerDay = 24 * 60 * 60;
constexpr int scheduleIntervalMs = 60 * 60 * 1000;
// The first automatic check waits until start-up has settled.
constexpr int firstScheduledCheckMs = 15000;

QString reminderTag(const UpdateItem &item)
{
    return item.build.isEmpty() ? item.version : item.version + QLatin1Char('/') + item.build;
}

// Only plain characters survive, so a feed cannot steer the file out of the folder or hide it.
QString safeFileName(const QUrl &url, const QString &version)
{
    QString name = QFileInfo(url.path()).fileName();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._+-]")), QStringLiteral("_"));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("grumblix-") + QString(version).replace(QLatin1Char('/'), QLatin1Char('_'));
    return name.left(120);
}

QNetworkRequest makeRequest(const QUrl &url, const QString &version)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Grumblix/%1").arg(version));
    return request;
}

} // namespace

QString describeNetworkFailure(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return QStringLiteral("The update server answered with an error (HTTP %1).").arg(status);
    switch (reply->error()) {
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return QStringLiteral("The update server did not answer in time.");
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return QStringLiteral("The update server could not be reached. Check your internet connection.");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("The update server's identity could not be verified.");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("The update server redirected to an insecure address.");
    default:
        return QStringLiteral("The update server could not be reached (%1).").arg(reply->errorString());
    }
}

UpdateService::UpdateService(Config config, Prefs &prefs, QObject *parent)
    : QObject(parent), m_config(std::move(config)), m_prefs(prefs),
      m_clock([] { return QDateTime::currentDateTimeUtc(); }),
      m_opener([](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); })
{
    if (!isConfigured())
        m_state = State::NotConfigured;
    m_schedule.setInterval(scheduleIntervalMs);
    connect(&m_schedule, &QTimer::timeout, this, &UpdateService::checkIfDue);
}

UpdateService::~UpdateService()
{
    if (m_partial)
        m_partial->remove();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

UpdateService &UpdateService::shared()
{
    static UpdateService *instance = [] {
        auto *service = new UpdateService(builtInConfig(), Prefs::shared());
        service->start();
        return service;
    }();
    return *instance;
}

bool UpdateService::isConfigured() const
{
    return isUpdateUrlAllowed(m_config.feedUrl, m_config.allowLoopbackHttp);
}

QNetworkAccessManager &UpdateService::network()
{
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    return *m_network;
}

QDateTime UpdateService::now() const
{
    return m_clock();
}

bool UpdateService::automaticallyChecks() const
{
    // Builds with a feed are meant to keep themselves current, so checks start on.
    return isConfigured() && m_prefs.boolValue(automaticKey, true);
}

void UpdateService::setAutomaticallyChecks(bool on)
{
    if (!isConfigured() || on == automaticallyChecks())
        return;
    m_prefs.setValue(automaticKey, on);
    Q_EMIT automaticallyChecksChanged();
}

void UpdateService::start()
{
    if (!isConfigured() || m_schedule.isActive())
        return;
    m_schedule.start();
    QTimer::singleShot(firstScheduledCheckMs, this, &UpdateService::checkIfDue);
}

void UpdateService::checkIfDue()
{
    if (!automaticallyChecks() || m_state == State::Checking || m_state == State::Downloading)
        return;
    const QDateTime last = QDateTime::fromString(m_prefs.stringValue(lastCheckKey), Qt::ISODate);
    const QDateTime current = now();
    // A last check in the future means the clock was set back; it does not postpone checks.
    if (last.isValid() && last <= current && last.secsTo(current) < secondsPerDay)
        return;
    check(false);
}

void UpdateService::checkForUpdates()
{
    Q_EMIT presentationRequested();
    if (m_state == State::Checking || m_state == State::Downloading)
        return;
    check(true);
}

void UpdateService::check(bool userInitiated)
{
    if (!isConfigured()) {
        setState(State::NotConfigured);
        return;
    }
    QNetworkReply *reply = network().get(makeRequest(m_config.feedUrl, m_config.version));
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > maxFeedBytes) {
            reply->setProperty(oversized, true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, userInitiated] { onFeedFinished(reply, userInitiated); });
    m_errorText.clear();
    m_latest = {};
    setState(State::Checking);
}

bool UpdateService::takeFinished(QNetworkReply *reply, const QString &oversizedText)
{
    reply->deleteLater();
    if (m_reply == reply)
        m_reply = nullptr;
    if (reply->property(oversized).toBool()) {
        fail(oversizedText);
        return false;
    }
    if (reply->error() != QNetworkReply::NoError) {
        fail(describeNetworkFailure(reply));
        return false;
    }
    return true;
}

void UpdateService::onFeedFinished(QNetworkReply *reply, bool userInitiated)
{
    if (!takeFinished(reply, QStringLiteral("The update feed is too large to be a feed.")))
        return;
    // The feed answered: the check is done, whatever it says. A check that never got an answer
    // does not postpone the next one.
    m_prefs.setValue(lastCheckKey, now().toUTC().toString(Qt::ISODate));
    const UpdateFeed feed = parseUpdateFeed(reply->readAll(), m_config.allowLoopbackHttp);
    if (!feed.error.isEmpty()) {
        fail(feed.error);
        return;
    }
    const UpdateItem *newest = newestItem(feed.items);
    if (!newest || !isNewerRelease(newest->version, newest->build, m_config.version, m_config.build)) {
        m_latest = {};
        setState(State::UpToDate);
        return;
    }
    m_latest = *newest;
    setState(State::Available);
    // Gentle reminders: an automatic check brings the window forward once per release only.
    if (!userInitiated && m_prefs.stringValue(lastReminderKey) != reminderTag(m_latest)) {
        m_prefs.setValue(lastReminderKey, reminderTag(m_latest));
        presentWhenOnboarded();
    }
}

void UpdateService::presentWhenOnboarded()
{
    // An automatic check never covers the first-run card: the window waits until it is done.
    if (m_prefs.hasOnboarded()) {
        Q_EMIT presentationRequested();
        return;
    }
    if (m_waitForOnboarding)
        return;
    m_waitForOnboarding = connect(&m_prefs, &Prefs::changed, this, [this](const QString &key) {
        if (key != PrefKey::hasOnboarded || !m_prefs.hasOnboarded())
            return;
        disconnect(m_waitForOnboarding);
        m_waitForOnboarding = {};
        if (m_state == State::Available)
            Q_EMIT presentationRequested();
    });
}

void UpdateService::downloadUpdate()
{
    if (m_latest.version.isEmpty() || m_state == State::Checking || m_state == State::Downloading)
        return;
    m_errorText.clear();
    m_downloadedFile.clear();
    m_downloadOpened = false;
    const QString folder = downloadFolder();
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("The download could not be saved: the folder %1 cannot be created.").arg(folder));
        return;
    }
    // Streamed into a hidden file beside its final place, so nothing of it is held in memory and
    // the verified file only has to be renamed.
    auto partial = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral(".grumblix-download-XXXXXX")));
    partial->setAutoRemove(false);
    if (!partial->open()) {
        fail(QStringLiteral("The download could not be saved: %1").arg(partial->errorString()));
        return;
    }
    m_partial = std::move(partial);

    QNetworkReply *reply = network().get(makeRequest(m_latest.downloadUrl, m_config.version));
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (!m_partial || m_partial->write(reply->readAll()) < 0) {
            reply->setProperty(unwritable, true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (received > maxDownloadBytes || total > maxDownloadBytes) {
            reply->setProperty(oversized, true);
            reply->abort();
            return;
        }
        Q_EMIT downloadProgress(received, total > 0 ? total : m_latest.length);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onDownloadFinished(reply); });
    setState(State::Downloading);
}

QString UpdateService::downloadFolder() const
{
    QString folder = m_downloadFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder;
}

void UpdateService::onDownloadFinished(QNetworkReply *reply)
{
    std::unique_ptr<QFile> partial = std::move(m_partial);
    const QString partialPath = partial ? partial->fileName() : QString();
    const bool written = partial && partial->write(reply->readAll()) >= 0 && partial->flush() &&
                         !reply->property(unwritable).toBool();
    if (partial)
        partial->close();
    if (!takeFinished(reply,
                      QStringLiteral("The download is larger than any Grumblix release and was stopped."))) {
        QFile::remove(partialPath);
        return;
    }
    if (!written) {
        const QString error = partial ? partial->errorString() : QString();
        QFile::remove(partialPath);
        fail(QStringLiteral("The download could not be saved: %1").arg(error));
        return;
    }
    // Hashing a large release takes a while: it happens on a thread of its own.
    const QString folder = QFileInfo(partialPath).absolutePath();
    const QString name = safeFileName(m_latest.downloadUrl, reminderTag(m_latest));
    const QByteArray signature = m_latest.signature;
    const QByteArray key = m_config.publicKey;
    QPointer<UpdateService> self(this);
    QThread *worker = QThread::create([self, partialPath, folder, name, signature, key] {
        const UpdateDownloadCheck result = UpdateDownloadCheck::run(partialPath, folder, name, signature, key);
        QMetaObject::invokeMethod(
            qApp,
            [self, result] {
                if (self)
                    self->onDownloadChecked(result);
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void UpdateService::onDownloadChecked(const UpdateDownloadCheck &result)
{
    if (m_state != State::Downloading)
        return;
    switch (result.check) {
    case SignatureCheck::Valid:
        break;
    case SignatureCheck::Invalid:
        fail(QStringLiteral("The download's signature is not valid, so it was discarded and not opened. "
                            "Try again later or get Grumblix from its website."));
        return;
    case SignatureCheck::NoKey:
        fail(QStringLiteral("This copy of Grumblix has no key to verify updates, so the download was "
                            "discarded and not opened."));
        return;
    case SignatureCheck::Unavailable:
        fail(result.error.isEmpty()
                 ? QStringLiteral("The download could not be verified, so it was discarded and not opened.")
                 : QStringLiteral("The verified download could not be saved: %1").arg(result.error));
        return;
    }
    m_downloadedFile = result.path;
    m_downloadOpened = m_opener && m_opener(result.path);
    setState(State::Downloaded);
}

void UpdateService::cancel()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    if (m_partial) {
        m_partial->close();
        m_partial->remove();
        m_partial.reset();
    }
    setState(m_latest.version.isEmpty() ? State::Idle : State::Available);
}

void UpdateService::fail(const QString &text)
{
    m_errorText = text;
    setState(State::Failed);
}

void UpdateService::setState(State state)
{
    m_state = state;
    Q_EMIT stateChanged();
}

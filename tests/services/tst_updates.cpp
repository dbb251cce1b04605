#include "models/Prefs.h"
#include "services/UpdateFeed.h"
#include "services/UpdateService.h"
#include "services/UpdateSignature.h"
#include "services/Versions.h"
#include "support/LocalHttpServer.h"
#include "support/SigningKey.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(GRUMBLIX_SOURCE_DIR "/tests/services/fixtures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

QByteArray servedFeed(const QString &version, const QUrl &download, const QByteArray &signature,
                      qint64 length, const QString &build = QStringLiteral("1"))
{
    QByteArray xml = fixture(QStringLiteral("update-feed-served.xml"));
    xml.replace("@VERSION@", version.toUtf8());
    xml.replace("@BUILD@", build.toUtf8());
    xml.replace("@DOWNLOAD@", download.toEncoded());
    xml.replace("@SIGNATURE@", signature);
    xml.replace("@LENGTH@", QByteArray::number(length));
    return xml;
}

} // namespace

class TestUpdates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void compareVersions_data();
    void compareVersions();
    void newerRelease_data();
    void newerRelease();
    void versionString_data();
    void versionString();

    void feedKeepsUsableItemsOnly();
    void brokenFeedIsAnError_data();
    void brokenFeedIsAnError();
    void urlRule_data();
    void urlRule();

    void signatureCheck_data();
    void signatureCheck();

    void checkAgainstServedFeed_data();
    void checkAgainstServedFeed();
    void verifiedDownloadIsSavedAndOpened();
    void badSignatureIsRefused_data();
    void badSignatureIsRefused();
    void automaticChecksRunDailyAndRemindOncePerRelease();
    void automaticCheckTimesOnlyAnsweredChecks();
    void automaticReminderWaitsForTheFirstRunCard();
    void automaticSettingWritesOnlyChanges();
    void withoutFeedUpdatesComeFromThePackageManager();

private:
    std::unique_ptr<UpdateService> makeService(const QUrl &feed, const QByteArray &key = {});

    SigningKey m_key;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    LocalHttpServer *m_http = nullptr;
    QStringList m_opened;
    QDateTime m_now;
};

void TestUpdates::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestUpdates::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_http = new LocalHttpServer(this);
    QVERIFY(m_http->listen());
    m_opened.clear();
    m_now = QDateTime(QDate(2026, 12, 10), QTime(9, 0), QTimeZone::utc());
    m_prefs->setHasOnboarded(true);
}

void TestUpdates::cleanup()
{
    delete m_http;
    m_http = nullptr;
    m_prefs.reset();
    m_dir.reset();
}

std::unique_ptr<UpdateService> TestUpdates::makeService(const QUrl &feed, const QByteArray &key)
{
    UpdateService::Config config{feed, key.isNull() ? m_key.publicBase64() : key, QStringLiteral("1.0.0"),
                                 QStringLiteral("5"), true};
    auto service = std::make_unique<UpdateService>(config, *m_prefs);
    service->setClock([this] { return m_now; });
    service->setOpener([this](const QString &path) {
        m_opened.append(path);
        return true;
    });
    service->setDownloadFolder(m_dir->filePath(QStringLiteral("Downloads")));
    return service;
}

void TestUpdates::compareVersions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("numeric, not textual") << "1.10"
                                          << "1.9" << 1;
    QTest::newRow("trailing zero") << "1.2"
                                   << "1.2.0" << 0;
    QTest::newRow("equal") << "1.0.0"
                           << "1.0.0" << 0;
    QTest::newRow("major") << "2.0"
                           << "10.0" << -1;
    QTest::newRow("pre-release before release") << "1.2.0-beta"
                                                << "1.2.0" << -1;
    QTest::newRow("pre-release after older") << "1.0.1-rc1"
                                             << "1.0.0" << 1;
    QTest::newRow("pre-releases by text") << "2.0-beta2"
                                          << "2.0-beta1" << 1;
}

void TestUpdates::compareVersions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(::compareVersions(a, b), expected);
    QCOMPARE(::compareVersions(b, a), -expected);
}

void TestUpdates::newerRelease_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("build");
    QTest::addColumn<bool>("newer");
    // Against the running 1.0.0 (5).
    QTest::newRow("newer version") << "1.0.1"
                                   << "1" << true;
    QTest::newRow("same version, later build") << "1.0.0"
                                               << "6" << true;
    QTest::newRow("same version, same build") << "1.0.0"
                                              << "5" << false;
    QTest::newRow("same version, no build") << "1.0"
                                            << "" << false;
    QTest::newRow("same version, odd build") << "1.0.0"
                                             << "6b" << false;
    QTest::newRow("older version, later build") << "0.9"
                                                << "99" << false;
}

void TestUpdates::newerRelease()
{
    QFETCH(QString, version);
    QFETCH(QString, build);
    QFETCH(bool, newer);
    QCOMPARE(isNewerRelease(version, build, QStringLiteral("1.0.0"), QStringLiteral("5")), newer);
}

void TestUpdates::versionString_data()
{
    QTest::addColumn<std::optional<QString>>("version");
    QTest::addColumn<std::optional<QString>>("build");
    QTest::addColumn<QString>("shown");
    const std::optional<QString> none;
    QTest::newRow("both") << std::optional<QString>(QStringLiteral("1.4")) << std::optional<QString>("27")
                          << "1.4 (27)";
    QTest::newRow("no build") << std::optional<QString>("1.4") << none << "1.4 (?)";
    QTest::newRow("empty build") << std::optional<QString>("1.4") << std::optional<QString>("") << "1.4 (?)";
    QTest::newRow("no version") << none << std::optional<QString>("27") << "? (27)";
    QTest::newRow("neither") << none << none << "? (?)";
}

void TestUpdates::versionString()
{
    QFETCH(std::optional<QString>, version);
    QFETCH(std::optional<QString>, build);
    QFETCH(QString, shown);
    QCOMPARE(formatVersionString(version, build), shown);
    QCOMPARE(UpdateService::versionString(), QStringLiteral(GRUMBLIX_VERSION " (" GRUMBLIX_BUILD_NUMBER ")"));
}

void TestUpdates::feedKeepsUsableItemsOnly()
{
    const UpdateFeed feed = parseUpdateFeed(fixture(QStringLiteral("update-feed.xml")));
    QVERIFY2(feed.error.isEmpty(), qPrintable(feed.error));
    QStringList versions;
    for (const UpdateItem &item : feed.items)
        versions << item.version;
    QCOMPARE(versions, (QStringList{"1.1.0", "1.10.0", "1.9.0"}));

    const UpdateItem *newest = newestItem(feed.items);
    QVERIFY(newest);
    QCOMPARE(newest->version, QStringLiteral("1.10.0"));
    QCOMPARE(newest->build, QStringLiteral("40"));
    QCOMPARE(newest->title, QStringLiteral("Grumblix 1.10.0"));
    QCOMPARE(newest->notes, QStringLiteral("<ul><li>Louder thunk</li><li>Calmer Fridays</li></ul>"));
    QCOMPARE(newest->downloadUrl, QUrl("https://downloads.grumblix.app/grumblix_1.10.0_amd64.deb"));
    QCOMPARE(newest->length, 2048);
    QCOMPARE(newest->signature, QByteArray("c2lnbmF0dXJl"));
}

void TestUpdates::brokenFeedIsAnError_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("truncated") << fixture(QStringLiteral("update-feed-truncated.xml"));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("web page") << QByteArray("<!DOCTYPE html><html><body>Moved</body></html>");
    QTest::newRow("no items") << QByteArray("<rss version=\"2.0\"><channel><title>x</title></channel></rss>");
    QTest::newRow("binary") << QByteArray("\x00\x01\x02garbage", 10);
}

void TestUpdates::brokenFeedIsAnError()
{
    QFETCH(QByteArray, xml);
    const UpdateFeed feed = parseUpdateFeed(xml);
    QVERIFY(!feed.error.isEmpty());
    QVERIFY(feed.items.isEmpty());
    // One plain sentence for the window.
    QVERIFY2(feed.error.endsWith(QLatin1Char('.')) && feed.error.count(QLatin1Char('.')) == 1 &&
                 !feed.error.contains(QLatin1Char('(')),
             qPrintable(feed.error));
}

void TestUpdates::urlRule_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("loopbackHttp"); // a test's own feed server asks for plain HTTP on loopback
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https") << "https://grumblix.app/feed.xml" << false << true;
    QTest::newRow("http elsewhere") << "http://grumblix.app/feed.xml" << true << false;
    QTest::newRow("http loopback in a shipped build") << "http://127.0.0.1:8080/feed.xml" << false << false;
    QTest::newRow("http localhost in a shipped build") << "http://localhost/feed.xml" << false << false;
    QTest::newRow("http loopback for a test server") << "http://127.0.0.1:8080/feed.xml" << true << true;
    QTest::newRow("http localhost for a test server") << "http://localhost/feed.xml" << true << true;
    QTest::newRow("file") << "file:///tmp/feed.xml" << true << false;
    QTest::newRow("ftp") << "ftp://grumblix.app/feed.xml" << true << false;
    QTest::newRow("empty") << "" << true << false;
    QTest::newRow("loopback lookalike") << "http://127.0.0.1.example.org/feed.xml" << true << false;
}

void TestUpdates::urlRule()
{
    QFETCH(QString, url);
    QFETCH(bool, loopbackHttp);
    QFETCH(bool, allowed);
    QCOMPARE(isUpdateUrlAllowed(QUrl(url), loopbackHttp), allowed);
}

void TestUpdates::signatureCheck_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<SignatureCheck>("expected");
    const QByteArray payload = "grumblix release payload";
    const SigningKey other(9);
    QByteArray tampered = payload;
    tampered[0] = 'G';
    QTest::newRow("valid") << payload << m_key.sign(payload) << m_key.publicBase64() << SignatureCheck::Valid;
    QTest::newRow("tampered data") << tampered << m_key.sign(payload) << m_key.publicBase64()
                                   << SignatureCheck::Invalid;
    QTest::newRow("other key") << payload << other.sign(payload) << m_key.publicBase64()
                               << SignatureCheck::Invalid;
    QTest::newRow("short signature") << payload << QByteArray("c2ln") << m_key.publicBase64()
                                     << SignatureCheck::Invalid;
    QTest::newRow("not base64") << payload << QByteArray("%%%%") << m_key.publicBase64()
                                << SignatureCheck::Invalid;
    QTest::newRow("no key") << payload << m_key.sign(payload) << QByteArray() << SignatureCheck::NoKey;
    QTest::newRow("key of wrong size")
        << payload << m_key.sign(payload) << QByteArray("c2ln") << SignatureCheck::NoKey;
}

void TestUpdates::signatureCheck()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, key);
    QFETCH(SignatureCheck, expected);
    QCOMPARE(verifyUpdateSignature(data, signature, key), expected);
}

void TestUpdates::checkAgainstServedFeed_data()
{
    QTest::addColumn<QString>("served"); // feed version, or a kind of failure
    QTest::addColumn<UpdateService::State>("state");
    QTest::newRow("newer") << "2.0.0" << UpdateService::State::Available;
    QTest::newRow("same") << "1.0.0" << UpdateService::State::UpToDate;
    QTest::newRow("older") << "0.9.1" << UpdateService::State::UpToDate;
    QTest::newRow("malformed") << "malformed" << UpdateService::State::Failed;
    QTest::newRow("missing") << "404" << UpdateService::State::Failed;
    QTest::newRow("unreachable") << "unreachable" << UpdateService::State::Failed;
    QTest::newRow("oversized") << "oversized" << UpdateService::State::Failed;
}

void TestUpdates::checkAgainstServedFeed()
{
    QFETCH(QString, served);
    QFETCH(UpdateService::State, state);
    QUrl feedUrl = m_http->url(QStringLiteral("/feed.xml"));
    if (served == QLatin1String("malformed"))
        m_http->serve(QStringLiteral("/feed.xml"), fixture(QStringLiteral("update-feed-truncated.xml")));
    else if (served == QLatin1String("oversized"))
        m_http->serve(QStringLiteral("/feed.xml"), QByteArray(5 * 1024 * 1024, ' '));
    else if (served == QLatin1String("unreachable"))
        feedUrl = LocalHttpServer::unreachableUrl(QStringLiteral("/feed.xml"));
    else if (served != QLatin1String("404"))
        m_http->serve(QStringLiteral("/feed.xml"),
                      servedFeed(served, m_http->url(QStringLiteral("/grumblix.deb")), "c2ln", 3));

    auto service = makeService(feedUrl);
    QSignalSpy shown(service.get(), &UpdateService::presentationRequested);
    service->checkForUpdates();
    QCOMPARE(shown.size(), 1); // the window comes first, then the answer
    QCOMPARE(service->state(), UpdateService::State::Checking);
    QTRY_VERIFY(service->state() != UpdateService::State::Checking);
    QCOMPARE(service->state(), state);
    QCOMPARE(service->errorText().isEmpty(), state != UpdateService::State::Failed);
    if (served == QLatin1String("oversized")) // stopped early rather than read to the end
        QVERIFY2(service->errorText().contains(QLatin1String("too large")), qPrintable(service->errorText()));
    if (state == UpdateService::State::Available) {
        QCOMPARE(service->latest().version, served);
        QCOMPARE(service->latest().notes, QStringLiteral("<p>Release notes of 2.0.0.</p>"));
    }
}

void TestUpdates::verifiedDownloadIsSavedAndOpened()
{
    const QByteArray payload = QByteArray("!<arch>\ndebian-binary ").repeated(1000);
    m_http->serve(QStringLiteral("/grumblix_2.0.0_amd64.deb"), payload);
    m_http->serve(QStringLiteral("/feed.xml"),
                  servedFeed(QStringLiteral("2.0.0"),
                             m_http->url(QStringLiteral("/grumblix_2.0.0_amd64.deb")), m_key.sign(payload),
                             payload.size()));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);

    QSignalSpy progress(service.get(), &UpdateService::downloadProgress);
    service->downloadUpdate();
    QCOMPARE(service->state(), UpdateService::State::Downloading);
    QTRY_VERIFY(service->state() != UpdateService::State::Downloading);
    QCOMPARE(service->state(), UpdateService::State::Downloaded);
    QVERIFY(!progress.isEmpty());

    const QString path = service->downloadedFile();
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("grumblix_2.0.0_amd64.deb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), payload);
    QCOMPARE(m_opened, QStringList{path});
    QVERIFY(service->downloadOpened());

    // Downloading the same release again reuses the verified copy instead of piling up copies;
    // nothing of the download is left beside it.
    const QDir downloads(m_dir->filePath(QStringLiteral("Downloads")));
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    service->downloadUpdate();
    QTRY_COMPARE(service->state(), UpdateService::State::Downloaded);
    QCOMPARE(service->downloadedFile(), path);
    QCOMPARE(downloads.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("grumblix_2.0.0_amd64.deb")});

    // A file of that name with other content is never overwritten.
    file.close();
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("someone else's file");
    file.close();
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    service->downloadUpdate();
    QTRY_COMPARE(service->state(), UpdateService::State::Downloaded);
    QCOMPARE(QFileInfo(service->downloadedFile()).fileName(), QStringLiteral("grumblix_2.0.0_amd64 (2).deb"));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("someone else's file"));
}

void TestUpdates::badSignatureIsRefused_data()
{
    QTest::addColumn<bool>("tamper");    // the served file differs from the signed one
    QTest::addColumn<QByteArray>("key"); // the key built into the program
    QTest::newRow("tampered download") << true << QByteArray();
    QTest::newRow("signed by someone else") << false << SigningKey(3).publicBase64();
    QTest::newRow("no key built in") << false << QByteArray("");
}

void TestUpdates::badSignatureIsRefused()
{
    QFETCH(bool, tamper);
    QFETCH(QByteArray, key);
    const QByteArray signedPayload = "the real release";
    m_http->serve(QStringLiteral("/grumblix.deb"), tamper ? QByteArray("a fake release") : signedPayload);
    m_http->serve(QStringLiteral("/feed.xml"),
                  servedFeed(QStringLiteral("2.0.0"), m_http->url(QStringLiteral("/grumblix.deb")),
                             m_key.sign(signedPayload), signedPayload.size()));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")), key);
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    service->downloadUpdate();
    QTRY_VERIFY(service->state() != UpdateService::State::Downloading);

    QCOMPARE(service->state(), UpdateService::State::Failed);
    QVERIFY(service->errorText().contains(QLatin1String("not opened")));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(service->downloadedFile().isEmpty());
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("Downloads"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestUpdates::automaticChecksRunDailyAndRemindOncePerRelease()
{
    const QString feedPath = QStringLiteral("/feed.xml");
    const QUrl download = m_http->url(QStringLiteral("/grumblix.deb"));
    m_http->serve(feedPath, servedFeed(QStringLiteral("2.0.0"), download, "c2ln", 3));
    auto service = makeService(m_http->url(feedPath));
    QSignalSpy shown(service.get(), &UpdateService::presentationRequested);
    QVERIFY(service->automaticallyChecks()); // on by default in a build with a feed

    // First check ever: the new release brings the window forward once.
    service->checkIfDue();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    QCOMPARE(m_http->requestCount(feedPath), 1);
    QCOMPARE(shown.size(), 1);

    // Within the day nothing is fetched again.
    m_now = m_now.addSecs(23 * 3600 + 59 * 60);
    service->checkIfDue();
    QTest::qWait(50);
    QCOMPARE(m_http->requestCount(feedPath), 1);

    // A day later the feed is read again, but the same release does not come forward again.
    m_now = m_now.addSecs(60);
    service->checkIfDue();
    QTRY_COMPARE(m_http->requestCount(feedPath), 1 + 1);
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    QCOMPARE(shown.size(), 1);

    // A newer release is worth one more reminder.
    m_http->serve(feedPath, servedFeed(QStringLiteral("2.1.0"), download, "c2ln", 3));
    m_now = m_now.addDays(1);
    service->checkIfDue();
    QTRY_COMPARE(service->latest().version, QStringLiteral("2.1.0"));
    QCOMPARE(shown.size(), 2);

    // The memory survives a restart; a clock set back does not postpone checks.
    service = makeService(m_http->url(feedPath));
    QSignalSpy shownAgain(service.get(), &UpdateService::presentationRequested);
    m_now = m_now.addDays(-30);
    service->checkIfDue();
    QTRY_COMPARE(m_http->requestCount(feedPath), 4);
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    QCOMPARE(shownAgain.size(), 0);

    // Switched off: no automatic checks at all.
    service->setAutomaticallyChecks(false);
    m_now = m_now.addDays(5);
    service->checkIfDue();
    QTest::qWait(50);
    QCOMPARE(m_http->requestCount(feedPath), 4);
}

void TestUpdates::automaticCheckTimesOnlyAnsweredChecks()
{
    // Nothing listens there: the check fails and the next automatic check is not postponed.
    auto service = makeService(LocalHttpServer::unreachableUrl(QStringLiteral("/feed.xml")));
    service->checkIfDue();
    QTRY_COMPARE(service->state(), UpdateService::State::Failed);
    QVERIFY(!m_prefs->lastUpdateCheck());

    m_http->serve(QStringLiteral("/feed.xml"), QByteArray("<rss"));
    service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    service->checkIfDue();
    QTRY_COMPARE(service->state(), UpdateService::State::Failed);
    QCOMPARE(m_prefs->lastUpdateCheck(), m_now.toUTC().toString(Qt::ISODate));
}

void TestUpdates::automaticReminderWaitsForTheFirstRunCard()
{
    m_prefs->setHasOnboarded(false);
    m_http->serve(QStringLiteral("/feed.xml"),
                  servedFeed(QStringLiteral("2.0.0"), m_http->url(QStringLiteral("/grumblix.deb")), "c2ln", 3));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    QSignalSpy shown(service.get(), &UpdateService::presentationRequested);
    service->checkIfDue();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    QCOMPARE(shown.size(), 0);
    m_prefs->setHasOnboarded(true);
    QCOMPARE(shown.size(), 1);
    // The user asking is never held back.
    m_prefs->setHasOnboarded(false);
    service->checkForUpdates();
    QCOMPARE(shown.size(), 2);
}

void TestUpdates::automaticSettingWritesOnlyChanges()
{
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    QSignalSpy written(m_prefs.get(), &Prefs::changed);
    QSignalSpy changed(service.get(), &UpdateService::automaticallyChecksChanged);
    service->setAutomaticallyChecks(true); // already on
    QCOMPARE(written.size(), 0);
    service->setAutomaticallyChecks(false);
    QVERIFY(!service->automaticallyChecks());
    service->setAutomaticallyChecks(false);
    service->setAutomaticallyChecks(true);
    QVERIFY(service->automaticallyChecks());
    QCOMPARE(written.size(), 2);
    QCOMPARE(changed.size(), 2);
}

void TestUpdates::withoutFeedUpdatesComeFromThePackageManager()
{
    auto service = makeService(QUrl());
    QVERIFY(!service->isConfigured());
    QCOMPARE(service->state(), UpdateService::State::NotConfigured);
    QVERIFY(!service->automaticallyChecks());
    service->setAutomaticallyChecks(true);
    QVERIFY(!service->automaticallyChecks());

    QSignalSpy shown(service.get(), &UpdateService::presentationRequested);
    service->checkForUpdates();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(service->state(), UpdateService::State::NotConfigured);
    service->checkIfDue();
    service->downloadUpdate();
    QCOMPARE(service->state(), UpdateService::State::NotConfigured);

    // A plain-HTTP feed elsewhere counts as no feed.
    QVERIFY(!makeService(QUrl(QStringLiteral("http://grumblix.app/feed.xml")))->isConfigured());
}

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"

#include "features/update/UpdateWindow.h"
#include "features/update/UpdateWindowText.h"
#include "models/Prefs.h"
#include "services/UpdateService.h"
#include "support/LocalHttpServer.h"
#include "support/SigningKey.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

// The update window in each state the service can reach, driven by a local feed.
class TestUpdateWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void withoutFeedPointsToThePackageManager();
    void newerVersionOffersDownloadWithNotes();
    void failedCheckSaysWhyAndOffersRetry();
    void upToDate();
    void attachedServiceGetsOneWindow();
    void verifiedDownloadIsReported();

private:
    std::unique_ptr<UpdateService> makeService(const QUrl &feed);
    void snapshot(QWidget &window, const QString &name);
    static QStringList visibleButtons(QWidget &window);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<LocalHttpServer> m_http;
};

namespace {

QByteArray feedWith(const QString &version, const QUrl &download, const QByteArray &signature = "c2ln")
{
    QFile file(QStringLiteral(GRUMBLIX_SOURCE_DIR "/tests/services/fixtures/update-feed-notes.xml"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture");
    QByteArray xml = file.readAll();
    xml.replace("@VERSION@", version.toUtf8());
    xml.replace("@DOWNLOAD@", download.toEncoded());
    xml.replace("c2ln", signature);
    return xml;
}

} // namespace

void TestUpdateWindow::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestUpdateWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_http = std::make_unique<LocalHttpServer>();
    QVERIFY(m_http->listen());
}

void TestUpdateWindow::cleanup()
{
    m_http.reset();
    m_prefs.reset();
    m_dir.reset();
}

std::unique_ptr<UpdateService> TestUpdateWindow::makeService(const QUrl &feed)
{
    UpdateService::Config config{feed, SigningKey().publicBase64(), QStringLiteral(GRUMBLIX_VERSION),
                                 QStringLiteral(GRUMBLIX_BUILD_NUMBER), true};
    auto service = std::make_unique<UpdateService>(config, *m_prefs);
    service->setDownloadFolder(m_dir->filePath(QStringLiteral("Downloads")));
    service->setOpener([](const QString &) { return true; });
    return service;
}

// Set GRUMBLIX_SNAPSHOT_DIR to keep a PNG of each state for a look.
void TestUpdateWindow::snapshot(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("GRUMBLIX_SNAPSHOT_DIR");
    if (!folder.isEmpty())
        window.grab().save(folder + QStringLiteral("/update-") + name + QStringLiteral(".png"));
}

QStringList TestUpdateWindow::visibleButtons(QWidget &window)
{
    QStringList out;
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        if (button->isVisibleTo(&window))
            out << button->text();
    }
    out.sort();
    return out;
}

void TestUpdateWindow::withoutFeedPointsToThePackageManager()
{
    auto service = makeService(QUrl());
    UpdateWindow window(*service);
    QVERIFY(!window.isVisible());
    service->checkForUpdates();
    QVERIFY(window.isVisible());

    const UpdateWindowText text = describeUpdateState(*service);
    QCOMPARE(text.heading, QStringLiteral("Updates come from your package manager"));
    QVERIFY(text.detail.contains(UpdateService::versionString()));
    QVERIFY(text.detail.contains(QLatin1String("automatic checks are off")));
    QCOMPARE(visibleButtons(window), QStringList{QStringLiteral("OK")});
    QVERIFY(!window.findChild<QCheckBox *>()->isVisibleTo(&window));
    snapshot(window, QStringLiteral("not-configured"));
}

void TestUpdateWindow::newerVersionOffersDownloadWithNotes()
{
    m_http->serve(QStringLiteral("/feed.xml"), feedWith(QStringLiteral("9.2.0"), m_http->url("/g.deb")));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    UpdateWindow window(*service);
    service->checkForUpdates();
    QCOMPARE(describeUpdateState(*service).heading, QStringLiteral("Checking for updates…"));
    QCOMPARE(visibleButtons(window), QStringList{QStringLiteral("Cancel")});
    snapshot(window, QStringLiteral("checking"));
    QTRY_COMPARE(service->state(), UpdateService::State::Available);

    const UpdateWindowText text = describeUpdateState(*service);
    QCOMPARE(text.heading, QStringLiteral("A new version of Grumblix is available!"));
    QCOMPARE(text.detail,
             QStringLiteral("Grumblix 9.2.0 (40) is now available—you have %1. Would you like to "
                            "download it now?")
                 .arg(UpdateService::versionString()));
    QCOMPARE(visibleButtons(window),
             (QStringList{QStringLiteral("Download"), QStringLiteral("Remind Me Later")}));
    auto *notes = window.findChild<QTextBrowser *>();
    QVERIFY(notes->isVisibleTo(&window));
    QVERIFY(notes->toPlainText().contains(QLatin1String("A louder thunk")));
    QVERIFY(!notes->toPlainText().contains(QLatin1String("<li>")));
    auto *automatic = window.findChild<QCheckBox *>();
    QVERIFY(automatic->isVisibleTo(&window));
    QVERIFY(automatic->isChecked());
    snapshot(window, QStringLiteral("available"));

    // The switch in the window is the service's setting.
    automatic->click();
    QVERIFY(!service->automaticallyChecks());
}

void TestUpdateWindow::failedCheckSaysWhyAndOffersRetry()
{
    auto service = makeService(LocalHttpServer::unreachableUrl(QStringLiteral("/feed.xml")));
    UpdateWindow window(*service);
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Failed);
    const UpdateWindowText text = describeUpdateState(*service);
    QCOMPARE(text.heading, QStringLiteral("Update check failed"));
    QCOMPARE(text.detail, service->errorText());
    QVERIFY(!text.detail.isEmpty());
    QCOMPARE(visibleButtons(window), (QStringList{QStringLiteral("OK"), QStringLiteral("Try Again")}));
    snapshot(window, QStringLiteral("failed"));
}

void TestUpdateWindow::upToDate()
{
    m_http->serve(QStringLiteral("/feed.xml"), feedWith(QStringLiteral("0.1"), m_http->url("/g.deb")));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    UpdateWindow window(*service);
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::UpToDate);
    QCOMPARE(describeUpdateState(*service).heading, QStringLiteral("You're up to date!"));
    QCOMPARE(visibleButtons(window), QStringList{QStringLiteral("OK")});
    QVERIFY(!window.findChild<QTextBrowser *>()->isVisibleTo(&window));
    snapshot(window, QStringLiteral("up-to-date"));
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("OK"))
            button->click();
    }
    QVERIFY(!window.isVisible());
}

void TestUpdateWindow::attachedServiceGetsOneWindow()
{
    auto service = makeService(QUrl());
    auto windows = [] {
        int n = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            n += qobject_cast<UpdateWindow *>(widget) ? 1 : 0;
        return n;
    };
    QCOMPARE(windows(), 0);
    UpdateWindow::attach(*service);
    QCOMPARE(windows(), 0); // nothing is built before it is needed
    service->checkForUpdates();
    QCOMPARE(windows(), 1);
    service->checkForUpdates();
    QCOMPARE(windows(), 1);
    service.reset();
    QTRY_COMPARE(windows(), 0);
}

void TestUpdateWindow::verifiedDownloadIsReported()
{
    const QByteArray payload(200 * 1024, 'g');
    m_http->serve(QStringLiteral("/grumblix_9.2.0_amd64.deb"), payload);
    m_http->serve(QStringLiteral("/feed.xml"),
                  feedWith(QStringLiteral("9.2.0"), m_http->url(QStringLiteral("/grumblix_9.2.0_amd64.deb")),
                           SigningKey().sign(payload)));
    auto service = makeService(m_http->url(QStringLiteral("/feed.xml")));
    UpdateWindow window(*service);
    service->checkForUpdates();
    QTRY_COMPARE(service->state(), UpdateService::State::Available);
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Download"))
            button->click();
    }
    QCOMPARE(service->state(), UpdateService::State::Downloading);
    QCOMPARE(visibleButtons(window), QStringList{QStringLiteral("Cancel")});
    snapshot(window, QStringLiteral("downloading"));
    QTRY_COMPARE(service->state(), UpdateService::State::Downloaded);
    const UpdateWindowText text = describeUpdateState(*service);
    QCOMPARE(text.heading, QStringLiteral("Grumblix 9.2.0 (40) is ready to install"));
    QVERIFY(text.detail.contains(QLatin1String("grumblix_9.2.0_amd64.deb")));
    QVERIFY(text.detail.contains(QLatin1String("opened with your system's installer")));
    QCOMPARE(visibleButtons(window), (QStringList{QStringLiteral("Done"), QStringLiteral("Show in Folder")}));
    snapshot(window, QStringLiteral("downloaded"));
}

QTEST_MAIN(TestUpdateWindow)
#include "tst_updatewindow.moc"

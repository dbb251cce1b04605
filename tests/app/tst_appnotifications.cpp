#include "app/AppModel.h"
#include "app/AppNotifications.h"
#include "models/Prefs.h"
#include "services/NotificationService.h"
#include "support/FakeAppServices.h"
#include "support/FakeNotifier.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

// The model and the notification service joined: the record notice goes out through the service,
// the tick redraws the tray count, and a click opens the dashboard on its page.
class TestAppNotifications : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startRefreshesTheTrayCount();
    void clickOpensTheDashboardOnItsPage_data();
    void clickOpensTheDashboardOnItsPage();
    void recordNoticeGoesThroughTheService();

private:
    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    QDateTime m_now;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<FakeNotifier> m_notifier;
    std::unique_ptr<NotificationService> m_service;
    std::unique_ptr<AppNotifications> m_bridge;
    Journal m_journal;
    FakeStatusItem m_statusItem{m_journal};
    FakeDashboardWindow m_dashboardWindow{m_journal};
};

void TestAppNotifications::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestAppNotifications::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_prefs->setValue(PrefKey::hasOnboarded, true);
    // A Tuesday morning: no timed notice is due.
    m_now = QDateTime(QDate(2026, 12, 8), QTime(10, 0), m_zone);
    QString error;
    m_model = std::make_unique<AppModel>(m_dir->filePath(QStringLiteral("Grumblix.store")), *m_prefs, &error);
    QVERIFY2(m_model->isValid(), qPrintable(error));
    m_model->setClock([this] { return m_now; });
    m_model->setTimeZone(m_zone);

    m_notifier = std::make_unique<FakeNotifier>();
    m_service = std::make_unique<NotificationService>(*m_notifier, *m_prefs);
    m_bridge = std::make_unique<AppNotifications>(*m_model, *m_service);

    m_journal = {};
    AppServices services;
    services.notices = m_bridge.get();
    services.statusItem = &m_statusItem;
    services.dashboardWindow = &m_dashboardWindow;
    m_model->setServices(services);
}

void TestAppNotifications::cleanup()
{
    m_bridge.reset();
    m_service.reset();
    m_notifier.reset();
    m_model.reset();
    m_prefs.reset();
    m_dir.reset();
}

void TestAppNotifications::startRefreshesTheTrayCount()
{
    m_model->log(EventSource::menuBar);
    m_model->log(EventSource::menuBar);
    m_journal.titles.clear();
    m_model->bootstrap({QStringLiteral("grumblix")});
    // The service's first tick runs during start-up and draws today's count.
    QVERIFY(!m_journal.titles.isEmpty());
    QCOMPARE(m_journal.titles.last(), 2);
}

void TestAppNotifications::clickOpensTheDashboardOnItsPage_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<DashboardTab>("tab");
    QTest::newRow("report notice") << QStringLiteral("report") << DashboardTab::report;
    QTest::newRow("calm-day notice") << QString() << DashboardTab::overview;
    QTest::newRow("unknown route") << QStringLiteral("settings") << DashboardTab::overview;
}

void TestAppNotifications::clickOpensTheDashboardOnItsPage()
{
    QFETCH(QString, route);
    QFETCH(DashboardTab, tab);
    m_model->bootstrap({QStringLiteral("grumblix"), QStringLiteral("--panel")});
    m_model->setDashboardTab(DashboardTab::history);
    m_journal.calls.clear();

    m_notifier->click(route);
    QCOMPARE(m_model->dashboardTab(), tab);
    // The open panel closes first, then the dashboard comes forward.
    QCOMPARE(m_journal.calls, (QStringList{QStringLiteral("closePanel"), QStringLiteral("showDashboard")}));
}

void TestAppNotifications::recordNoticeGoesThroughTheService()
{
    m_model->bootstrap({QStringLiteral("grumblix")});
    // Best earlier day: five incidents yesterday.
    m_now = m_now.addDays(-1);
    for (int i = 0; i < 5; ++i)
        m_model->log(EventSource::menuBar);
    m_now = m_now.addDays(1);
    for (int i = 0; i < 6; ++i) {
        m_model->log(EventSource::menuBar);
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(m_notifier->posted.size(), 1);
    const Notice &notice = m_notifier->posted.at(0);
    QCOMPARE(notice.title, QStringLiteral("New personal record"));
    QCOMPARE(notice.body, QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
    QVERIFY(notice.route.isNull());
}

QTEST_MAIN(TestAppNotifications)
#include "tst_appnotifications.moc"

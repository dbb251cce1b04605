#include "models/CalendarKeys.h"
#include "models/Prefs.h"
#include "services/NotificationService.h"
#include "support/FakeNotificationHost.h"
#include "support/FakeNotifier.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

// The notice rules, driven tick by tick with a set clock in a fixed zone.
class TestNotificationService : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void tickRules_data();
    void tickRules();
    void reportGoesOutOncePerWeekAcrossRestarts();
    void switchingOffAndOnDoesNotRepeatAHandledWeek();
    void calmDayIsRetriedUntilTheCountDrops();
    void unauthorisedNoticesAreDroppedButStillHandled();
    void authorisationIsAskedPerSendAndNeverPrompts();
    void startTicksAtOnceAndEveryMinute();
    void clickOpensTheRoutedPage_data();
    void clickOpensTheRoutedPage();

private:
    std::unique_ptr<NotificationService> makeService();
    QDateTime at(int month, int day, int hour, int minute, int second = 0) const;
    QStringList sent() const;

    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    FakeNotifier *m_notifier = nullptr;
    FakeNotificationHost m_host;
    QDateTime m_now;
};

void TestNotificationService::initTestCase()
{
    TestSupport::isolateFolders();
    QVERIFY(m_zone.isValid());
}

void TestNotificationService::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_notifier = new FakeNotifier(this);
    m_host = {};
}

void TestNotificationService::cleanup()
{
    delete m_notifier;
    m_prefs.reset();
    m_dir.reset();
}

std::unique_ptr<NotificationService> TestNotificationService::makeService()
{
    auto service = std::make_unique<NotificationService>(*m_notifier, *m_prefs);
    service->setHost(&m_host);
    service->setClock([this] { return m_now; });
    service->setTimeZone(m_zone);
    return service;
}

// December 2026: Monday the 7th … Friday the 11th, Saturday the 12th, Sunday the 13th.
QDateTime TestNotificationService::at(int month, int day, int hour, int minute, int second) const
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), m_zone);
}

// Every posted notice as "title | body | route".
QStringList TestNotificationService::sent() const
{
    QStringList out;
    for (const Notice &notice : m_notifier->posted)
        out << notice.title + QStringLiteral(" | ") + notice.body + QStringLiteral(" | ") + notice.route;
    return out;
}

namespace {

VorpEvent eventAt(const QDateTime &when)
{
    return VorpEvent::make(when, QStringLiteral("Terminal"), std::nullopt, std::nullopt, std::nullopt,
                           EventSource::menuBar);
}

const QString report0 =
    QStringLiteral("Your weekly Grumblix report | 0 vorps were given this week. Suspicious. "
                   "Your report is ready anyway. | report");
const QString report1 = QStringLiteral(
    "Your weekly Grumblix report | 1 vorp was given this week. Your report is ready. | report");
const QString report2 = QStringLiteral(
    "Your weekly Grumblix report | 2 vorps were given this week. Your report is ready. | report");
const QString calm0 = QStringLiteral("Unusually calm day | Zero today. What happened? Vacation? | ");
const QString calm1 = QStringLiteral("Unusually calm day | Only 1 today. What happened? Vacation? | ");

} // namespace

void TestNotificationService::tickRules_data()
{
    // The incidents are given by their age in seconds at the tick.
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QList<qint64>>("ages");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("calmDayStored");

    const qint64 day = 24 * 3600;
    const qint64 old = 10 * day; // long before this week
    QTest::newRow("Fri 15:59") << at(12, 11, 15, 59) << QList<qint64>{} << QStringList{} << false;
    QTest::newRow("Fri 16:00, none this week")
        << at(12, 11, 16, 0) << QList<qint64>{old} << QStringList{report0} << false;
    QTest::newRow("Fri 16:00, one") << at(12, 11, 16, 0) << QList<qint64>{60, old} << QStringList{report1}
                                    << false;
    // Monday 00:00 starts the week: an incident a minute before it belongs to last week.
    QTest::newRow("Fri 16:00, two, week edges")
        << at(12, 11, 16, 0) << QList<qint64>{60, 4 * day + 16 * 3600, 4 * day + 16 * 3600 + 60}
        << QStringList{report2} << false;
    QTest::newRow("Thu 18:00") << at(12, 10, 18, 0) << QList<qint64>{60, old} << QStringList{calm1} << true;
    QTest::newRow("Sat 18:00") << at(12, 12, 18, 0) << QList<qint64>{old} << QStringList{} << false;
    QTest::newRow("Sun 20:00") << at(12, 13, 20, 0) << QList<qint64>{old} << QStringList{} << false;
    QTest::newRow("Mon 16:59") << at(12, 7, 16, 59) << QList<qint64>{old} << QStringList{} << false;
    QTest::newRow("Mon 17:00, zero today")
        << at(12, 7, 17, 0) << QList<qint64>{old} << QStringList{calm0} << true;
    QTest::newRow("Mon 17:00, one today")
        << at(12, 7, 17, 0) << QList<qint64>{30, old} << QStringList{calm1} << true;
    QTest::newRow("Mon 17:00, two today")
        << at(12, 7, 17, 0) << QList<qint64>{30, 60, old} << QStringList{} << false;
    QTest::newRow("oldest exactly 72 h")
        << at(12, 7, 17, 0) << QList<qint64>{72 * 3600} << QStringList{} << false;
    QTest::newRow("oldest 72 h and 1 s")
        << at(12, 7, 17, 0) << QList<qint64>{72 * 3600 + 1} << QStringList{calm0} << true;
    QTest::newRow("no incidents at all") << at(12, 7, 20, 0) << QList<qint64>{} << QStringList{} << false;
    QTest::newRow("Fri 17:00, both, report first")
        << at(12, 11, 17, 0) << QList<qint64>{old} << QStringList{report0, calm0} << true;
    QTest::newRow("Fri 23:59, one today")
        << at(12, 11, 23, 59) << QList<qint64>{60, old} << QStringList{report1, calm1} << true;
}

void TestNotificationService::tickRules()
{
    QFETCH(QDateTime, now);
    QFETCH(QList<qint64>, ages);
    QFETCH(QStringList, expected);
    QFETCH(bool, calmDayStored);

    m_now = now;
    for (qint64 age : ages)
        m_host.events.append(eventAt(now.addSecs(-age)));
    // The store hands incidents out oldest first.
    std::sort(m_host.events.begin(), m_host.events.end(),
              [](const VorpEvent &a, const VorpEvent &b) { return a.timestamp < b.timestamp; });
    auto service = makeService();
    service->tick();
    QCOMPARE(m_notifier->posted.size(), 0); // sent only once the authorisation answer is in
    QTRY_COMPARE(sent().size(), expected.size());
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(sent(), expected);
    QCOMPARE(m_host.countRefreshes, 1);
    QCOMPARE(m_prefs->contains(PrefKey::lastCalmDay), calmDayStored);
    if (calmDayStored)
        QCOMPARE(m_prefs->stringValue(PrefKey::lastCalmDay), dayKey(now, m_zone));
}

void TestNotificationService::reportGoesOutOncePerWeekAcrossRestarts()
{
    m_now = at(12, 11, 16, 0);
    auto service = makeService();
    service->tick();
    QTRY_COMPARE(m_notifier->posted.size(), 1);
    QCOMPARE(m_prefs->stringValue(PrefKey::lastFridayReport), QStringLiteral("2026-W50"));

    m_now = at(12, 11, 16, 1);
    service->tick();
    // A restart the same evening: a new service over the same preferences.
    service = makeService();
    m_now = at(12, 11, 18, 30);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(m_notifier->posted.size(), 1);

    // The next Friday is a new week.
    m_now = at(12, 18, 16, 0);
    service->tick();
    QTRY_COMPARE(m_notifier->posted.size(), 2);
    QCOMPARE(m_prefs->stringValue(PrefKey::lastFridayReport), QStringLiteral("2026-W51"));
}

void TestNotificationService::switchingOffAndOnDoesNotRepeatAHandledWeek()
{
    m_now = at(12, 11, 16, 30);
    auto service = makeService();
    service->tick();
    QTRY_COMPARE(m_notifier->posted.size(), 1);

    m_prefs->setValue(PrefKey::notifyFriday, false);
    m_now = at(12, 11, 16, 31);
    service->tick();
    m_prefs->setValue(PrefKey::notifyFriday, true);
    m_now = at(12, 11, 16, 32);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(m_notifier->posted.size(), 1);

    // Switched off on a Friday that was never handled: nothing is sent and nothing is stored.
    m_prefs->setValue(PrefKey::notifyFriday, false);
    m_now = at(12, 18, 16, 0);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(m_notifier->posted.size(), 1);
    QCOMPARE(m_prefs->stringValue(PrefKey::lastFridayReport), QStringLiteral("2026-W50"));
    m_prefs->setValue(PrefKey::notifyFriday, true);
    service->tick();
    QTRY_COMPARE(m_notifier->posted.size(), 2);
}

void TestNotificationService::calmDayIsRetriedUntilTheCountDrops()
{
    m_now = at(12, 8, 17, 0);
    m_host.events = {eventAt(at(11, 30, 9, 0)), eventAt(at(12, 8, 9, 0)), eventAt(at(12, 8, 10, 0))};
    auto service = makeService();
    service->tick();
    m_now = at(12, 8, 17, 1);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QVERIFY(m_notifier->posted.isEmpty());
    QVERIFY(!m_prefs->contains(PrefKey::lastCalmDay));

    // A deletion later that evening leaves one incident today.
    m_host.events.removeLast();
    m_now = at(12, 8, 21, 15);
    service->tick();
    QTRY_COMPARE(sent(), QStringList{calm1});
    m_now = at(12, 8, 21, 16);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(m_notifier->posted.size(), 1);

    // Switched off, the next evening stays quiet.
    m_prefs->setValue(PrefKey::notifyCalm, false);
    m_now = at(12, 9, 18, 0);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(m_notifier->posted.size(), 1);
}

void TestNotificationService::unauthorisedNoticesAreDroppedButStillHandled()
{
    m_notifier->authorized = false;
    m_now = at(12, 11, 17, 0);
    m_host.events = {eventAt(at(11, 1, 9, 0))};
    auto service = makeService();
    service->tick();
    QTRY_COMPARE(m_notifier->queries, 2);
    QTRY_VERIFY(m_notifier->settled());
    QVERIFY(m_notifier->posted.isEmpty());
    QCOMPARE(m_prefs->stringValue(PrefKey::lastFridayReport), weekKey(m_now, m_zone));
    QCOMPARE(m_prefs->stringValue(PrefKey::lastCalmDay), dayKey(m_now, m_zone));

    // Allowed again later: the handled notices are not sent after all.
    m_notifier->authorized = true;
    m_now = at(12, 11, 18, 0);
    service->tick();
    QTRY_VERIFY(m_notifier->settled());
    QVERIFY(m_notifier->posted.isEmpty());
}

void TestNotificationService::authorisationIsAskedPerSendAndNeverPrompts()
{
    auto service = makeService();
    service->send(QStringLiteral("New personal record"),
                  QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
    m_notifier->authorized = false; // withdrawn after the question was asked: that answer stands
    service->send(QStringLiteral("second"), QStringLiteral("dropped"));
    QTRY_COMPARE(m_notifier->posted.size(), 1);
    QTRY_VERIFY(m_notifier->settled());
    QCOMPARE(sent(), QStringList{QStringLiteral("New personal record | Congratulations? You just broke your "
                                                "daily record: 6 today. | ")});
    QVERIFY(m_notifier->posted.at(0).route.isNull());
    QCOMPARE(m_notifier->authorizationRequests, 0);

    service->requestAuthorization();
    QCOMPARE(m_notifier->authorizationRequests, 1);
}

void TestNotificationService::startTicksAtOnceAndEveryMinute()
{
    // Started on a Friday evening with the week not yet handled: the notice goes out at start.
    m_now = at(12, 11, 18, 30);
    auto service = makeService();
    service->start();
    QCOMPARE(m_host.countRefreshes, 1);
    QTRY_COMPARE(sent(), QStringList{report0});
    service->start(); // a second start adds no second timer and no extra tick
    QCOMPARE(m_host.countRefreshes, 1);
    QCOMPARE(NotificationService::tickIntervalMs, 60000);
}

void TestNotificationService::clickOpensTheRoutedPage_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("page");
    QTest::newRow("report notice") << QStringLiteral("report") << QStringLiteral("report");
    QTest::newRow("no route") << QString() << QStringLiteral("overview");
    QTest::newRow("another route") << QStringLiteral("history") << QStringLiteral("overview");
    QTest::newRow("case differs") << QStringLiteral("Report") << QStringLiteral("overview");
}

void TestNotificationService::clickOpensTheRoutedPage()
{
    QFETCH(QString, route);
    QFETCH(QString, page);
    auto service = makeService();
    m_notifier->click(route);
    QCOMPARE(m_host.openedPages, QStringList{page});
}

QTEST_MAIN(TestNotificationService)
#include "tst_notificationservice.moc"

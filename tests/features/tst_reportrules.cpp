#include "features/report/ReportShareLinks.h"
#include "features/report/ReportWeek.h"
#include "services/WeeklyReport.h"

#include <QUrlQuery>
#include <QtTest>
#include <climits>

using ItemList = QList<std::pair<QString, QString>>;

// The report page's rules without a display: the week it opens on and steps to, its label, the theme
// a stored text names, the export file name and the share pages' addresses.
class TestReportRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void initialOffset_data();
    void initialOffset();
    void steppingStaysBetweenTheLimits();
    void label_data();
    void label();
    void themeFromStored_data();
    void themeFromStored();
    void fileName_data();
    void fileName();
    void postUrl_data();
    void postUrl();
};

void TestReportRules::initialOffset_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("offset");
    QTest::newRow("absent or zero") << 0 << 0;
    QTest::newRow("three weeks back") << 3 << -3;
    QTest::newRow("negative counts as none") << -2 << 0;
    QTest::newRow("most negative") << INT_MIN << 0;
    QTest::newRow("at the limit") << ReportWeek::maxWeeksBack << -ReportWeek::maxWeeksBack;
    QTest::newRow("absurd is clamped") << INT_MAX << -ReportWeek::maxWeeksBack;
}

void TestReportRules::initialOffset()
{
    QFETCH(int, stored);
    QFETCH(int, offset);
    QCOMPARE(ReportWeek::initialOffset(stored), offset);
    // Whatever the page opens on, the week it names is a real date.
    const QDateTime now(QDate(2026, 12, 2), QTime(12, 0), QTimeZone::utc());
    const WeeklyReport report = WeeklyReport::build({}, {}, offset, now, Calendar(QTimeZone::utc()));
    QVERIFY(report.interval.start.isValid());
    QVERIFY(report.interval.start < report.interval.end);
}

void TestReportRules::steppingStaysBetweenTheLimits()
{
    QCOMPARE(ReportWeek::stepBack(0), -1);
    QCOMPARE(ReportWeek::stepBack(-7), -8);
    QCOMPARE(ReportWeek::stepBack(-ReportWeek::maxWeeksBack), -ReportWeek::maxWeeksBack);
    QCOMPARE(ReportWeek::stepForward(-8), -7);
    QCOMPARE(ReportWeek::stepForward(-1), 0);
    QCOMPARE(ReportWeek::stepForward(0), 0);
    QVERIFY(!ReportWeek::canStepForward(0));
    QVERIFY(ReportWeek::canStepForward(-1));
    QVERIFY(ReportWeek::canStepForward(-ReportWeek::maxWeeksBack));
}

void TestReportRules::label_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("label");
    QTest::newRow("this week") << 0 << QStringLiteral("This week");
    QTest::newRow("last week") << -1 << QStringLiteral("Last week");
    QTest::newRow("two back") << -2 << QStringLiteral("FEB 17 \u2013 FEB 23");
    QTest::newRow("across the year") << -10 << QStringLiteral("DEC 23 \u2013 DEC 29");
}

void TestReportRules::label()
{
    QFETCH(int, offset);
    QFETCH(QString, label);
    const QTimeZone zone("Europe/Berlin");
    const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);
    const WeeklyReport report = WeeklyReport::build({}, {}, offset, now, Calendar(zone));
    QCOMPARE(ReportWeek::label(offset, report), label);
}

void TestReportRules::themeFromStored_data()
{
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<ReportTheme>("theme");
    QTest::newRow("nothing stored") << std::optional<QString>() << ReportTheme::midnight;
    QTest::newRow("receipt") << std::optional<QString>(QStringLiteral("receipt")) << ReportTheme::receipt;
    QTest::newRow("incident form") << std::optional<QString>(QStringLiteral("incident"))
                                   << ReportTheme::incident;
    QTest::newRow("blueprint") << std::optional<QString>(QStringLiteral("blueprint"))
                               << ReportTheme::blueprint;
    QTest::newRow("title, not raw value")
        << std::optional<QString>(QStringLiteral("Incident Form")) << ReportTheme::midnight;
    QTest::newRow("wrong case") << std::optional<QString>(QStringLiteral("Receipt")) << ReportTheme::midnight;
    QTest::newRow("empty") << std::optional<QString>(QString()) << ReportTheme::midnight;
    QTest::newRow("unknown") << std::optional<QString>(QStringLiteral("vaporwave")) << ReportTheme::midnight;
}

void TestReportRules::themeFromStored()
{
    QFETCH(std::optional<QString>, stored);
    QFETCH(ReportTheme, theme);
    QCOMPARE(ReportWeek::themeFromStored(stored), theme);
}

void TestReportRules::fileName_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("name");
    // Wednesday 2 December 2026, noon UTC: still Wednesday from UTC-11 to UTC+14.
    const QDateTime noon(QDate(2026, 12, 2), QTime(12, 0), QTimeZone::utc());
    const QString monday = QStringLiteral("grumblix-week-2026-11-30.png");
    QTest::newRow("UTC") << QByteArray("UTC") << noon << 0 << monday;
    QTest::newRow("Berlin") << QByteArray("Europe/Berlin") << noon << 0 << monday;
    QTest::newRow("Tokyo") << QByteArray("Asia/Tokyo") << noon << 0 << monday;
    QTest::newRow("Kiritimati") << QByteArray("Pacific/Kiritimati") << noon << 0 << monday;
    QTest::newRow("Los Angeles") << QByteArray("America/Los_Angeles") << noon << 0 << monday;
    QTest::newRow("Pago Pago") << QByteArray("Pacific/Pago_Pago") << noon << 0 << monday;
    QTest::newRow("week before") << QByteArray("Asia/Tokyo") << noon << -1
                                 << QStringLiteral("grumblix-week-2026-11-23.png");
    // Monday morning in Tokyo is still Sunday in UTC: the name follows the card's Monday.
    QTest::newRow("Monday east of UTC")
        << QByteArray("Asia/Tokyo") << QDateTime(QDate(2026, 11, 30), QTime(0, 30), QTimeZone("Asia/Tokyo"))
        << 0 << monday;
    // Sunday evening in Los Angeles is already Monday in UTC: still the week before locally.
    QTest::newRow("Sunday west of UTC")
        << QByteArray("America/Los_Angeles")
        << QDateTime(QDate(2026, 11, 29), QTime(20, 0), QTimeZone("America/Los_Angeles")) << 0
        << QStringLiteral("grumblix-week-2026-11-23.png");
}

void TestReportRules::fileName()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, now);
    QFETCH(int, offset);
    QFETCH(QString, name);
    const QTimeZone tz(zone);
    QVERIFY(tz.isValid());
    const WeeklyReport report = WeeklyReport::build({}, {}, offset, now, Calendar(tz));
    QCOMPARE(ReportShareLinks::fileName(report), name);
}

void TestReportRules::postUrl_data()
{
    QTest::addColumn<ReportShareLinks::Network>("network");
    QTest::addColumn<QString>("address");
    QTest::addColumn<ItemList>("items");
    QTest::newRow("X") << ReportShareLinks::Network::x << QStringLiteral("https://x.com/intent/post")
                       << ItemList{{QStringLiteral("text"), QStringLiteral("My week, in frustration.")},
                                   {QStringLiteral("url"), QStringLiteral("https://grumblix.app")}};
    QTest::newRow("LinkedIn") << ReportShareLinks::Network::linkedIn
                              << QStringLiteral("https://www.linkedin.com/feed/")
                              << ItemList{{QStringLiteral("shareActive"), QStringLiteral("true")},
                                          {QStringLiteral("text"),
                                           QStringLiteral("My week, in frustration. https://grumblix.app")}};
}

void TestReportRules::postUrl()
{
    QFETCH(ReportShareLinks::Network, network);
    QFETCH(QString, address);
    QFETCH(ItemList, items);
    const QUrl url = ReportShareLinks::postUrl(network);
    QVERIFY(url.isValid());
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), address);
    // Read back from the encoded form a browser receives: the same items in the same order.
    const QUrl sent = QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode);
    QCOMPARE(QUrlQuery(sent).queryItems(QUrl::FullyDecoded), items);
    // Blanks travel percent-encoded, never raw.
    QVERIFY(!url.toEncoded().contains(' '));
    QVERIFY(url.toEncoded().contains("%20"));
}

QTEST_GUILESS_MAIN(TestReportRules)
#include "tst_reportrules.moc"

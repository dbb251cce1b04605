#include "models/Csv.h"
#include "models/Store.h"
#include "support/OddStore.h"

#include <QMetaType>
#include <QtTest>

namespace {

VorpEvent makeEvent(std::optional<QString> app, std::optional<QString> bundle, std::optional<QString> key,
                    std::optional<QString> note, const QString &source = QStringLiteral("menuBar"))
{
    VorpEvent e;
    e.uuid = QUuid(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    e.timestamp = QDateTime(QDate(2026, 12, 5), QTime(23, 30, 15, 789), QTimeZone("Europe/Berlin"));
    e.appName = std::move(app);
    e.bundleIdentifier = std::move(bundle);
    e.triggerKey = std::move(key);
    e.note = std::move(note);
    e.sourceRaw = source;
    return e;
}

} // namespace

class TestCsv : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyListIsHeaderOnly();
    void lines_data();
    void lines();
    void timestampsOutsideFourDigitYears_data();
    void timestampsOutsideFourDigitYears();
    void oddStoredRowsExportAsStored_data();
    void oddStoredRowsExportAsStored();
    void fileNameUsesLocalDate();
    void writeReplacesAtomically();
};

void TestCsv::emptyListIsHeaderOnly()
{
    QCOMPARE(Csv::document({}, {}), QByteArray("id,timestamp,app,bundle_id,trigger,note,source"));
}

void TestCsv::lines_data()
{
    QList<Trigger> triggers{
        Trigger::make(QStringLiteral("build"), QStringLiteral("Build"), QStringLiteral("x"), 0, true),
        Trigger::make(QStringLiteral("hid"), QStringLiteral("Hidden one"), QStringLiteral("y"), 1, false)};
    triggers[1].isHidden = true;
    QTest::addColumn<VorpEvent>("event");
    QTest::addColumn<QList<Trigger>>("triggers");
    QTest::addColumn<QByteArray>("line");
    const QByteArray prefix = "0F8FAD5B-D9CB-469F-A165-70867728950E,2026-12-05T22:30:15Z,";
    QTest::newRow("all absent") << makeEvent({}, {}, {}, {}) << triggers << prefix + R"("","","","",menuBar)";
    QTest::newRow("quoting") << makeEvent(QStringLiteral("Ter,minal"), QStringLiteral("org.x"),
                                          QStringLiteral("build"), QStringLiteral("a, b\n\"c\""))
                             << triggers
                             << prefix + "\"Ter,minal\",\"org.x\",\"Build\",\"a, b\n\"\"c\"\"\",menuBar";
    QTest::newRow("deleted trigger") << makeEvent({}, {}, QStringLiteral("gone"), {}) << triggers
                                     << prefix + R"("","","Deleted trigger","",menuBar)";
    QTest::newRow("hidden trigger") << makeEvent({}, {}, QStringLiteral("hid"), {},
                                                 QStringLiteral("weird source"))
                                    << triggers << prefix + R"("","","Hidden one","",weird source)";
    QTest::newRow("empty texts") << makeEvent(QString(), QString(), QString(), QString()) << triggers
                                 << prefix + R"("","","Deleted trigger","",menuBar)";
    QTest::newRow("unicode") << makeEvent(QStringLiteral("Caf\u00e9 \U0001F525"), {}, {}, {}) << triggers
                             << prefix + "\"Caf\xc3\xa9 \xf0\x9f\x94\xa5\",\"\",\"\",\"\",menuBar";
}

void TestCsv::lines()
{
    QFETCH(VorpEvent, event);
    QFETCH(QList<Trigger>, triggers);
    QFETCH(QByteArray, line);
    const QByteArray doc = Csv::document(QList<VorpEvent>{event}, triggers);
    QCOMPARE(doc, "id,timestamp,app,bundle_id,trigger,note,source\n" + line);
    QVERIFY(!doc.contains('\r'));
    QVERIFY(!doc.startsWith("\xef\xbb\xbf"));
}

void TestCsv::timestampsOutsideFourDigitYears_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("last four-digit second") << qint64(253402300799) << QByteArray("9999-12-31T23:59:59Z");
    QTest::newRow("year 10000") << qint64(253402300800) << QByteArray("10000-01-01T00:00:00Z");
    QTest::newRow("first second of year 1") << qint64(-62135596800) << QByteArray("0001-01-01T00:00:00Z");
    QTest::newRow("1 BC is year 0") << qint64(-62135596801) << QByteArray("0000-12-31T23:59:59Z");
    QTest::newRow("2 BC") << qint64(-62167219201) << QByteArray("-0001-12-31T23:59:59Z");
    QTest::newRow("far future") << qint64(9'000'000'000'000'000) << QByteArray("285200616-07-24T16:00:00Z");
}

void TestCsv::timestampsOutsideFourDigitYears()
{
    QFETCH(qint64, seconds);
    QFETCH(QByteArray, field);
    QCOMPARE(Csv::timestampField(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)), field);
    // The zone it was taken in plays no part.
    QCOMPARE(Csv::timestampField(QDateTime::fromSecsSinceEpoch(seconds, QTimeZone("Asia/Tokyo"))), field);
}

void TestCsv::oddStoredRowsExportAsStored_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < OddStore::rows().size(); ++i)
        QTest::newRow(OddStore::rows()[i].label) << i;
}

void TestCsv::oddStoredRowsExportAsStored()
{
    QFETCH(int, row);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Grumblix.store"));
    const OddStore::Row &odd = OddStore::rows()[row];
    QVERIFY(OddStore::create(path, {odd}));
    auto store = Store::open(path);
    QVERIFY(store);
    const QByteArray header("id,timestamp,app,bundle_id,trigger,note,source\n");
    QCOMPARE(Csv::document(store->events(), store->triggers()), header + odd.csv);

    // An edit of one column leaves the others exporting as they were stored.
    VorpEvent event = store->events().first();
    event.appName = QStringLiteral("Edited \"app\"");
    QVERIFY(store->update(event));
    QByteArray edited = odd.csv;
    const qsizetype appStart = edited.indexOf(",\"") + 1;
    const qsizetype appEnd = edited.indexOf("\",\"", appStart + 1) + 1;
    edited.replace(appStart, appEnd - appStart, "\"Edited \"\"app\"\"\"");
    QCOMPARE(Csv::document(store->events(), store->triggers()), header + edited);
}

void TestCsv::fileNameUsesLocalDate()
{
    // 00:30 on 6 December in Tokyo is still 5 December in UTC; the user's file is named for the 6th.
    const QDateTime tokyo(QDate(2026, 12, 6), QTime(0, 30), QTimeZone("Asia/Tokyo"));
    QCOMPARE(Csv::suggestedFileName(tokyo), QStringLiteral("grumblix-2026-12-06.csv"));
    // Late evening west of UTC is already the next day there.
    const QDateTime denver(QDate(2026, 12, 31), QTime(23, 15), QTimeZone("America/Denver"));
    QCOMPARE(Csv::suggestedFileName(denver), QStringLiteral("grumblix-2026-12-31.csv"));
}

void TestCsv::writeReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(Csv::write(path, QList<VorpEvent>{makeEvent({}, {}, {}, {})}, {}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\n'), 1);
    // A folder that does not exist: nothing written, failure reported to the caller.
    QVERIFY(!Csv::write(dir.filePath(QStringLiteral("missing/out.csv")), {}, {}));
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"

#include "models/EventSnapshot.h"
#include "models/Store.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);

VorpEvent record(qint64 id, qint64 seconds)
{
    VorpEvent e = VorpEvent::make(base.addSecs(seconds), QStringLiteral("Terminal"), std::nullopt,
                                  std::nullopt, std::nullopt, EventSource::menuBar);
    e.id = id;
    return e;
}

QList<qint64> ids(const EventSnapshot &snapshot)
{
    QList<qint64> out;
    for (const VorpEvent &e : snapshot)
        out << e.id;
    return out;
}

QList<qint64> ids(const QList<VorpEvent> &list)
{
    return ids(EventSnapshot(list));
}

// Identity, time and note of each record: what an edit changes.
QStringList describe(const QList<VorpEvent> &list)
{
    QStringList out;
    for (const VorpEvent &e : list)
        out << QStringLiteral("%1@%2:%3")
                   .arg(e.id)
                   .arg(e.timestamp.toMSecsSinceEpoch())
                   .arg(e.note.value_or(QString()));
    return out;
}

// Enough records for several chunks, one second apart, ids 1…n.
QList<VorpEvent> sequence(qsizetype n)
{
    QList<VorpEvent> list;
    for (qsizetype i = 0; i < n; ++i)
        list << record(i + 1, i);
    return list;
}

} // namespace

class TestEventSnapshot : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A snapshot keeps showing what it was taken from, whatever the chunks do afterwards.
    void snapshotOutlivesChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("append") << "append";
        QTest::newRow("insert at the front") << "front";
        QTest::newRow("insert into a full chunk") << "middle";
        QTest::newRow("replace") << "replace";
        QTest::newRow("remove one") << "removeAt";
        QTest::newRow("remove many") << "removeIf";
        QTest::newRow("edit many") << "editIf";
        QTest::newRow("clear") << "clear";
    }
    void snapshotOutlivesChanges()
    {
        QFETCH(QString, change);
        const qsizetype n = EventChunks::chunkCapacity * 2 + 7;
        QList<VorpEvent> expected = sequence(n);
        EventChunks chunks;
        chunks.assign(expected);
        const EventSnapshot before = chunks.snapshot();
        const QStringList beforeRecords = describe(before.toList());

        if (change == QLatin1String("append")) {
            chunks.insert(n, record(n + 1, n));
            expected << record(n + 1, n);
        } else if (change == QLatin1String("front")) {
            chunks.insert(0, record(n + 1, -1));
            expected.prepend(record(n + 1, -1));
        } else if (change == QLatin1String("middle")) {
            const qsizetype at = EventChunks::chunkCapacity / 2 + 3;
            chunks.insert(at, record(n + 1, at));
            expected.insert(at, record(n + 1, at));
        } else if (change == QLatin1String("replace")) {
            VorpEvent edited = expected[5];
            edited.note = QStringLiteral("edited");
            chunks.replace(5, edited);
            expected[5] = edited;
        } else if (change == QLatin1String("removeAt")) {
            chunks.removeAt(EventChunks::chunkCapacity);
            expected.removeAt(EventChunks::chunkCapacity);
        } else if (change == QLatin1String("editIf")) {
            // Every 1000th record, in each of the three chunks.
            const auto picked = [](const VorpEvent &e) { return e.id % 1000 == 0; };
            const auto mark = [](VorpEvent &e) { e.note = QStringLiteral("marked"); };
            QCOMPARE(chunks.editIf(picked, mark), qsizetype(n / 1000));
            for (VorpEvent &e : expected) {
                if (picked(e))
                    mark(e);
            }
        } else if (change == QLatin1String("removeIf")) {
            const auto odd = [](const VorpEvent &e) { return e.id % 2 == 1; };
            QCOMPARE(chunks.removeIf(odd), expected.removeIf(odd));
        } else {
            chunks.clear();
            expected.clear();
        }

        QCOMPARE(describe(before.toList()), beforeRecords);
        QCOMPARE(chunks.size(), expected.size());
        QCOMPARE(ids(chunks.snapshot()), ids(expected));
        QCOMPARE(describe(chunks.snapshot().toList()), describe(expected));
    }

    // Holding a snapshot must not make a log copy the records: a new record lands in place, and an
    // edit copies only the chunk it touches.
    void changesCopyNoMoreThanOneChunk()
    {
        const qsizetype n = EventChunks::chunkCapacity * 3;
        EventChunks chunks;
        chunks.assign(sequence(n));
        const EventSnapshot held = chunks.snapshot();

        chunks.insert(n, record(n + 1, n)); // a fresh chunk
        chunks.insert(n + 1, record(n + 2, n + 1));
        QCOMPARE(&chunks.snapshot()[0], &held[0]);
        QCOMPARE(&chunks.snapshot()[n - 1], &held[n - 1]);

        const EventSnapshot second = chunks.snapshot();
        chunks.insert(n + 2, record(n + 3, n + 2)); // into the chunk `second` shares
        QCOMPARE(&chunks.snapshot()[n], &second[n]);
        QCOMPARE(second.size(), n + 2);

        VorpEvent edited = held[1];
        edited.note = QStringLiteral("edited");
        chunks.replace(1, edited);
        QVERIFY(&chunks.snapshot()[1] != &held[1]);
        QVERIFY(!held[1].note);
        QCOMPARE(&chunks.snapshot()[EventChunks::chunkCapacity], &held[EventChunks::chunkCapacity]);
    }

    // Random edits against a plain list: indexing, iteration both ways, lower bounds and slices
    // agree across chunk boundaries.
    void matchesAPlainList()
    {
        QRandomGenerator random(7);
        EventChunks chunks;
        QList<VorpEvent> plain;
        QList<EventSnapshot> held;
        QList<QList<VorpEvent>> heldExpected;
        qint64 nextId = 1;
        for (int step = 0; step < 12'000; ++step) {
            const int op = int(random.bounded(10));
            if (op < 6 || plain.isEmpty()) {
                const qsizetype at = op < 4 ? plain.size() : qsizetype(random.bounded(int(plain.size()) + 1));
                // Timestamps ascend with the position, as the store keeps them.
                const auto secondsOf = [](const VorpEvent &e) { return base.secsTo(e.timestamp); };
                qint64 seconds = 0;
                if (at > 0)
                    seconds = secondsOf(plain[at - 1]);
                else if (!plain.isEmpty())
                    seconds = secondsOf(plain.first()) - 1;
                const VorpEvent e = record(nextId++, seconds);
                chunks.insert(at, e);
                plain.insert(at, e);
            } else if (op < 8) {
                const qsizetype at = qsizetype(random.bounded(int(plain.size())));
                chunks.removeAt(at);
                plain.removeAt(at);
            } else {
                const qsizetype at = qsizetype(random.bounded(int(plain.size())));
                VorpEvent e = plain[at];
                e.note = QString::number(step);
                chunks.replace(at, e);
                plain[at] = e;
            }
            if (step % 1000 == 0) {
                held << chunks.snapshot();
                heldExpected << plain;
            }
        }
        const EventSnapshot all = chunks.snapshot();
        QVERIFY(all.isTimeOrdered());
        QCOMPARE(describe(all.toList()), describe(plain));
        for (qsizetype i = 0; i < plain.size(); i += 97)
            QCOMPARE(all[i].id, plain[i].id);
        QList<qint64> backwards;
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            backwards.prepend(it->id);
        QCOMPARE(backwards, ids(plain));
        for (int k = 0; k < 20; ++k) {
            const qsizetype i = qsizetype(random.bounded(int(plain.size())));
            const qint64 t = plain[i].timestamp.toMSecsSinceEpoch();
            const auto expected =
                std::lower_bound(plain.cbegin(), plain.cend(), t, [](const VorpEvent &e, qint64 v) {
                    return e.timestamp.toMSecsSinceEpoch() < v;
                });
            QCOMPARE(all.lowerBound(t), expected - plain.cbegin());
            const qsizetype j = std::min(plain.size(), i + qsizetype(random.bounded(5000)));
            QCOMPARE(describe(all.slice(i, j).toList()), describe(plain.mid(i, j - i)));
            QCOMPARE((all.begin() + i)->id, plain[i].id);
            QCOMPARE(all.end() - (all.begin() + i), plain.size() - i);
        }
        for (qsizetype h = 0; h < held.size(); ++h)
            QCOMPARE(describe(held[h].toList()), describe(heldExpected[h]));
    }

    void plainListsAndEmptySnapshots()
    {
        const EventSnapshot none;
        QVERIFY(none.isEmpty());
        QCOMPARE(none.begin(), none.end());
        QVERIFY(none.toList().isEmpty());
        QVERIFY(!none.isTimeOrdered());

        const QList<VorpEvent> list = sequence(3);
        const EventSnapshot shared(list);
        QCOMPARE(&shared[0], &list[0]); // no copy of a plain list either
        QVERIFY(!shared.isTimeOrdered());
        QCOMPARE(ids(shared.slice(1, 3)), (QList<qint64>{2, 3}));
        QVERIFY(shared.slice(2, 1).isEmpty());
        QCOMPARE(shared.last().id, 3);
    }

    // The store's own list is a snapshot that its later changes leave alone.
    void storeSnapshots()
    {
        QTemporaryDir dir;
        auto store = Store::open(dir.filePath(QStringLiteral("Grumblix.store")));
        QVERIFY(store);
        for (int i = 0; i < 5; ++i) {
            VorpEvent e = record(0, i * 10);
            store->insert(e);
        }
        const EventSnapshot before = store->events();
        VorpEvent late = record(0, 15); // lands between the second and the third
        store->insert(late);
        VorpEvent first = before.first();
        first.note = QStringLiteral("edited");
        QVERIFY(store->update(first));
        QVERIFY(store->removeEvent(before.last().id));

        QCOMPARE(ids(before), (QList<qint64>{1, 2, 3, 4, 5}));
        QVERIFY(!before.first().note);
        QCOMPARE(ids(store->events()), (QList<qint64>{1, 2, 6, 3, 4}));
        QCOMPARE(store->events().first().note, std::optional<QString>(QStringLiteral("edited")));
        QVERIFY(store->save());

        store.reset();
        auto reopened = Store::open(dir.filePath(QStringLiteral("Grumblix.store")));
        QVERIFY(reopened);
        QCOMPARE(ids(reopened->events()), (QList<qint64>{1, 2, 6, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(TestEventSnapshot)
#include "tst_eventsnapshot.moc"

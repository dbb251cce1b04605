#include "features/overview/OverviewCards.h"
#include "ui/BarRow.h"

#include <QtTest>

namespace {

CountItem item(const QString &id, int count, const std::optional<QString> &bundle = std::nullopt)
{
    return CountItem{id, id, QStringLiteral("x"), bundle, count};
}

QList<BarRow *> bars(const QWidget &card)
{
    return card.findChildren<BarRow *>();
}

QStringList shown(const QWidget &card)
{
    QStringList out;
    for (const BarRow *bar : bars(card)) {
        QString row = QStringLiteral("%1=%2").arg(bar->name()).arg(bar->count());
        if (bar->detail())
            row += QLatin1Char(' ') + *bar->detail();
        out << row;
    }
    return out;
}

} // namespace

// A refresh after a log changes a count or two: the ranking cards must show the new figures while
// keeping their rows when the entries stay, and rebuild them when the entries or their order move.
class TestOverviewCards : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void triggerRows_data()
    {
        QTest::addColumn<QList<CountItem>>("next");
        QTest::addColumn<Scope>("scope");
        QTest::addColumn<bool>("keepsRows");
        QTest::addColumn<QStringList>("expected");
        const QList<CountItem> before{item("a", 5), item("b", 3)};
        QTest::newRow("unchanged") << before << Scope::week << true << QStringList{"a=5", "b=3"};
        QTest::newRow("a count grows") << QList<CountItem>{item("a", 6), item("b", 3)} << Scope::week << true
                                       << QStringList{"a=6", "b=3"};
        QTest::newRow("order flips") << QList<CountItem>{item("b", 6), item("a", 5)} << Scope::week << false
                                     << QStringList{"b=6", "a=5"};
        QTest::newRow("new entry") << QList<CountItem>{item("a", 5), item("b", 3), item("c", 1)}
                                   << Scope::week << false << QStringList{"a=5", "b=3", "c=1"};
        QTest::newRow("other scope") << before << Scope::month << false << QStringList{"a=5", "b=3"};
        QTest::newRow("none left") << QList<CountItem>{} << Scope::week << false << QStringList{};
    }
    void triggerRows()
    {
        QFETCH(QList<CountItem>, next);
        QFETCH(Scope, scope);
        QFETCH(bool, keepsRows);
        QFETCH(QStringList, expected);
        TopTriggersCard card;
        card.setItems({item("a", 5), item("b", 3)}, Scope::week);
        const QList<BarRow *> first = bars(card);
        QCOMPARE(first.size(), 2);

        card.setItems(next, scope);
        QCOMPARE(shown(card), expected);
        QCOMPARE(card.rows(), next);
        QCOMPARE(bars(card) == first, keepsRows);
        if (!next.isEmpty()) {
            // The largest count fills the bar; the first row is highlighted.
            QCOMPARE(bars(card).first()->fraction(), 1.0);
            QVERIFY(bars(card).first()->highlight());
            QCOMPARE(bars(card).last()->fraction(), double(next.last().count) / next.first().count);
        }
    }

    // An application's share of all is its detail: a new total changes every row's share in place.
    void appSharesFollowTheTotal()
    {
        TopAppsCard card;
        card.setItems({item("Slack", 3, QStringLiteral("slack")), item("Zoom", 1)}, Scope::week);
        const QList<BarRow *> first = bars(card);
        QCOMPARE(shown(card), (QStringList{"Slack=3 75%", "Zoom=1 25%"}));

        card.setItems({item("Slack", 3, QStringLiteral("slack")), item("Zoom", 3)}, Scope::week);
        QCOMPARE(bars(card), first);
        QCOMPARE(shown(card), (QStringList{"Slack=3 50%", "Zoom=3 50%"}));

        // Another icon means another row.
        card.setItems({item("Slack", 3, QStringLiteral("other")), item("Zoom", 3)}, Scope::week);
        QVERIFY(bars(card) != first);
    }
};

QTEST_MAIN(TestOverviewCards)
#include "tst_overviewcards.moc"

#include "features/triggers/EmojiPool.h"
#include "features/triggers/TriggerCounts.h"
#include "features/triggers/TriggerDraft.h"
#include "features/triggers/TriggerOrder.h"
#include "features/triggers/TriggerRowState.h"
#include "features/triggers/TriggerTexts.h"
#include "support/IncidentFixtures.h"
#include "ui/TextBounds.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTextBoundaryFinder>
#include <QtTest>
#include <climits>

// The triggers page's rules, without a display: the add card's name and emoji, the grid, the
// counts, the renumbering of a move and what each row's buttons offer.
class TestTriggerLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void trimmedName_data();
    void trimmedName();
    void draftNeedsANameAndFallsBackToAnEmoji();
    void nameLengthCountsCharacters_data();
    void nameLengthCountsCharacters();
    void firstGrapheme_data();
    void firstGrapheme();
    void pickerTable();
    void refillsComeFromTheFirstRow();
    void counts();
    void move_data();
    void move();
    void rowState_data();
    void rowState();
    void deleteTitle_data();
    void deleteTitle();
    void singleLine();
};

void TestTriggerLogic::trimmedName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain blanks") << " Jira  "
                                  << "Jira";
    QTest::newRow("tabs") << "\tJira\t"
                          << "Jira";
    QTest::newRow("no-break space") << "\u00A0Jira\u00A0"
                                    << "Jira";
    QTest::newRow("ideographic space") << "\u3000Jira\u3000"
                                       << "Jira";
    QTest::newRow("em and thin spaces") << "\u2003\u2009Jira\u202F"
                                        << "Jira";
    QTest::newRow("inner blanks stay") << "  Build  server "
                                       << "Build  server";
    QTest::newRow("newlines stay") << "\nJira\n"
                                   << "\nJira\n";
    QTest::newRow("blank then newline") << " \n Jira"
                                        << "\n Jira";
    QTest::newRow("zero-width space stays") << "\u200BJira\u200B"
                                            << "\u200BJira\u200B";
    QTest::newRow("only blanks and tabs") << " \t\u00A0\u3000 "
                                          << "";
    QTest::newRow("only a zero-width space") << "\u200B"
                                             << "\u200B";
    QTest::newRow("emoji only") << " \U0001F921 "
                                << "\U0001F921";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTriggerLogic::trimmedName()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(TriggerDraft::trimmedName(typed), stored);
}

void TestTriggerLogic::draftNeedsANameAndFallsBackToAnEmoji()
{
    using TriggerDraft::NewTrigger;
    QCOMPARE(TriggerDraft::make(QStringLiteral(" \t "), QStringLiteral("\U0001F921")), std::nullopt);
    QCOMPARE(TriggerDraft::make(QStringLiteral(" Jira "), QString()),
             (NewTrigger{QStringLiteral("Jira"), QStringLiteral("\U0001F4A2")}));
    // The emoji is taken as chosen, blanks and all.
    QCOMPARE(TriggerDraft::make(QStringLiteral("Jira"), QStringLiteral(" ")),
             (NewTrigger{QStringLiteral("Jira"), QStringLiteral(" ")}));
    QCOMPARE(TriggerDraft::make(QStringLiteral("\nJira"), QStringLiteral("\U0001F5D3\uFE0F")),
             (NewTrigger{QStringLiteral("\nJira"), QStringLiteral("\U0001F5D3\uFE0F")}));
}

void TestTriggerLogic::nameLengthCountsCharacters_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("prefix");
    // Each character repeated to the limit fits; one more does not.
    QTest::newRow("letter") << QStringLiteral("N") << QString();
    QTest::newRow("emoji") << QStringLiteral("\U0001F921") << QString();
    QTest::newRow("skin tone") << QStringLiteral("\U0001F44D\U0001F3FD") << QString();
    QTest::newRow("flag") << QStringLiteral("\U0001F1E9\U0001F1EA") << QString();
    QTest::newRow("joined family") << QStringLiteral(
                                          "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466")
                                   << QString();
    QTest::newRow("keycap") << QStringLiteral("1\uFE0F\u20E3") << QString();
    QTest::newRow("letter with two accents") << QStringLiteral("e\u0301\u0323") << QString();
    QTest::newRow("Hangul syllable from jamo") << QStringLiteral("\u1100\u1161\u11A8") << QString();
    QTest::newRow("CR LF") << QStringLiteral("\r\n") << QString();
    QTest::newRow("mixed, behind a word") << QStringLiteral("a\U0001F921\u00E9") << QStringLiteral("Jira");
}

void TestTriggerLogic::nameLengthCountsCharacters()
{
    QFETCH(QString, character);
    QFETCH(QString, prefix);
    const qsizetype perCharacter = TextBounds::countGraphemes(character);
    const QString atLimit =
        prefix + character.repeated((TriggerDraft::maxNameLength - prefix.size()) / perCharacter);
    QCOMPARE(TextBounds::countGraphemes(atLimit), TriggerDraft::maxNameLength);
    QVERIFY(TriggerDraft::fitsNameLength(atLimit));
    QVERIFY(!TriggerDraft::fitsNameLength(atLimit + character.left(1)));
    QVERIFY(!TriggerDraft::fitsNameLength(atLimit + character));
    // A megabyte is refused without counting all of it (linear up to the limit; no timing here).
    QVERIFY(!TriggerDraft::fitsNameLength(character.repeated(1'000'000 / character.size())));
}

void TestTriggerLogic::firstGrapheme_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("two emoji") << "\U0001F921\U0001F4A2"
                               << "\U0001F921";
    QTest::newRow("flag") << "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7"
                          << "\U0001F1E9\U0001F1EA";
    QTest::newRow("skin tone") << "\U0001F44D\U0001F3FD\U0001F44D"
                               << "\U0001F44D\U0001F3FD";
    QTest::newRow("family") << "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466!"
                            << "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
    QTest::newRow("variation selector") << "\u2615\uFE0F\U0001F355"
                                        << "\u2615\uFE0F";
    QTest::newRow("keycap") << "1\uFE0F\u20E3x"
                            << "1\uFE0F\u20E3";
    QTest::newRow("combining accent") << "e\u0301t"
                                      << "e\u0301";
    QTest::newRow("leading blank") << " \U0001F921"
                                   << " ";
    QTest::newRow("letters") << "Jira"
                             << "J";
}

void TestTriggerLogic::firstGrapheme()
{
    QFETCH(QString, typed);
    QFETCH(QString, first);
    QCOMPARE(EmojiPool::firstGrapheme(typed), first);
}

void TestTriggerLogic::pickerTable()
{
    const QStringList &emojis = EmojiPool::picker();
    QCOMPARE(emojis.size(), 36);
    QCOMPARE(QSet<QString>(emojis.begin(), emojis.end()).size(), 36);
    QCOMPARE(emojis.first(), QStringLiteral("\U0001F921"));
    QCOMPARE(emojis.last(), QStringLiteral("\U0001F996"));
    int selectors = 0;
    for (const QString &emoji : emojis) {
        // Each cell is one character, so a pick stores exactly what the cell shows.
        QCOMPARE(EmojiPool::firstGrapheme(emoji), emoji);
        selectors += emoji.endsWith(QChar(0xFE0F)) ? 1 : 0;
    }
    QCOMPARE(selectors, 3);
    QCOMPARE(emojis.at(8), QStringLiteral("\U0001F5D3\uFE0F"));
    QCOMPARE(emojis.at(28), QStringLiteral("\u2615\uFE0F"));
    QCOMPARE(emojis.at(33), QStringLiteral("\U0001F5A8\uFE0F"));
    QCOMPARE(EmojiPool::first(), QStringLiteral("\U0001F921"));
}

void TestTriggerLogic::refillsComeFromTheFirstRow()
{
    const QStringList refills = EmojiPool::refills();
    QCOMPARE(refills, EmojiPool::picker().mid(0, 6));
    QRandomGenerator random(16);
    QSet<QString> seen;
    for (int i = 0; i < 400; ++i) {
        const QString emoji = EmojiPool::randomRefill(random);
        QVERIFY(refills.contains(emoji));
        seen.insert(emoji);
    }
    QCOMPARE(seen.size(), 6);
}

void TestTriggerLogic::counts()
{
    const QTimeZone zone("Europe/Berlin");
    const QDateTime t = Fixtures::at(zone, 2026, 12, 9, 10);
    const QList<VorpEvent> events = {
        Fixtures::incident(t, QStringLiteral("bug")),
        Fixtures::incident(t.addDays(-400), QStringLiteral("bug")),
        Fixtures::incident(t, QStringLiteral("meeting")),
        Fixtures::incident(t),
        Fixtures::incident(t, QStringLiteral("gone-for-good")),
        Fixtures::incident(t, QString()),
    };
    const QHash<QString, int> counts = incidentCountsByTrigger(events);
    QCOMPARE(counts.value(QStringLiteral("bug")), 2);
    QCOMPARE(counts.value(QStringLiteral("meeting")), 1);
    QCOMPARE(counts.value(QStringLiteral("email"), 0), 0);
    QVERIFY(!counts.contains(QStringLiteral("email")));
    // The counts only serve lookups by a trigger's key; a key no trigger has is never shown.
    QCOMPARE(counts.value(QStringLiteral("gone-for-good")), 1);
    int total = 0;
    for (int n : counts)
        total += n;
    QCOMPARE(total, 5); // the incident without a key is not counted
    QVERIFY(incidentCountsByTrigger({}).isEmpty());
}

namespace {

QList<Trigger> triggersWithOrders(const QList<int> &orders)
{
    QList<Trigger> list;
    for (int i = 0; i < orders.size(); ++i) {
        Trigger t = Trigger::make(QString(QChar(u'a' + i)), QString(QChar(u'A' + i)), QStringLiteral("x"),
                                  orders[i], false);
        t.id = i + 1;
        list << t;
    }
    return list;
}

} // namespace

void TestTriggerLogic::move_data()
{
    QTest::addColumn<QList<int>>("orders");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("keys"); // empty: nothing moves
    QTest::newRow("gap closes, up") << QList<int>{0, 1, 2, 5} << 3 << -1 << "abdc";
    QTest::newRow("gap closes, down") << QList<int>{0, 1, 2, 5} << 0 << 1 << "bacd";
    QTest::newRow("ties") << QList<int>{1, 1, 1} << 1 << 1 << "acb";
    QTest::newRow("negative orders") << QList<int>{-3, 7, 40} << 2 << -1 << "acb";
    QTest::newRow("first up") << QList<int>{0, 1, 2} << 0 << -1 << "";
    QTest::newRow("last down") << QList<int>{0, 1, 2} << 2 << 1 << "";
    QTest::newRow("single") << QList<int>{4} << 0 << 1 << "";
    QTest::newRow("position past the end") << QList<int>{0, 1} << 2 << -1 << "";
    QTest::newRow("negative position") << QList<int>{0, 1} << -1 << 1 << "";
    QTest::newRow("offset overflow") << QList<int>{0, 1} << 1 << INT_MAX << "";
    QTest::newRow("empty") << QList<int>{} << 0 << 1 << "";
}

void TestTriggerLogic::move()
{
    QFETCH(QList<int>, orders);
    QFETCH(int, position);
    QFETCH(int, offset);
    QFETCH(QString, keys);
    const auto moved = movedTriggers(triggersWithOrders(orders), position, offset);
    if (keys.isEmpty()) {
        QVERIFY(!moved);
        return;
    }
    QVERIFY(moved);
    QString order;
    for (int i = 0; i < moved->size(); ++i) {
        order += moved->at(i).key;
        QCOMPARE(moved->at(i).sortOrder, i);
        // Only the order changes; the records stay who they were.
        QCOMPARE(moved->at(i).name, moved->at(i).key.toUpper());
        QCOMPARE(moved->at(i).id, qint64(moved->at(i).key.at(0).unicode() - u'a' + 1));
    }
    QCOMPARE(order, keys);
}

void TestTriggerLogic::rowState_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("builtIn");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("hideSymbol");
    QTest::addColumn<QString>("hideHelp");
    QTest::addColumn<bool>("deleteShown");
    QTest::newRow("alone") << 0 << 1 << true << false << false << false << "eye"
                           << "Hide from chips" << false;
    QTest::newRow("first of many") << 0 << 5 << false << false << false << true << "eye"
                                   << "Hide from chips" << true;
    QTest::newRow("middle, hidden built-in") << 2 << 5 << true << true << true << true << "eye.slash"
                                             << "Show as chip" << false;
    QTest::newRow("last, hidden custom") << 4 << 5 << false << true << true << false << "eye.slash"
                                         << "Show as chip" << true;
}

void TestTriggerLogic::rowState()
{
    QFETCH(int, position);
    QFETCH(int, count);
    QFETCH(bool, builtIn);
    QFETCH(bool, hidden);
    const TriggerRowState state = TriggerRowState::of(position, count, builtIn, hidden);
    QTEST(state.upEnabled, "up");
    QTEST(state.downEnabled, "down");
    QTEST(state.hideSymbol, "hideSymbol");
    QTEST(state.hideHelp, "hideHelp");
    QTEST(state.deleteShown, "deleteShown");
}

void TestTriggerLogic::deleteTitle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "Jira"
                           << "Delete \u201CJira\u201D?";
    QTest::newRow("quotes and emoji") << "\"Sync\" \u201Cmeeting\u201D \U0001F921"
                                      << "Delete \u201C\"Sync\" \u201Cmeeting\u201D \U0001F921\u201D?";
    QTest::newRow("right to left") << "\u05D1\u05D0\u05D2"
                                   << "Delete \u201C\u2068\u05D1\u05D0\u05D2\u2069\u201D?";
    QTest::newRow("override control") << "a\u202Eb"
                                      << "Delete \u201C\u2068a\u202Eb\u2069\u201D?";
    QTest::newRow("line break") << "two\nlines"
                                << "Delete \u201Ctwo lines\u201D?";
}

void TestTriggerLogic::deleteTitle()
{
    QFETCH(QString, name);
    QTEST(TriggerTexts::deleteTitle(name), "title");
}

void TestTriggerLogic::singleLine()
{
    QCOMPARE(TriggerTexts::singleLine(QStringLiteral("a\nb\tc\r\u2028d\u0007")), QStringLiteral("a b c  d "));
    const QString emojiName = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    QCOMPARE(TriggerTexts::singleLine(emojiName), emojiName);

    // A very long name is cut at a character boundary, never inside a surrogate pair or a family.
    QString longName;
    for (int i = 0; i < 5000; ++i)
        longName += QStringLiteral("\U0001F468\u200D\U0001F469");
    const QString title = TriggerTexts::deleteTitle(longName, 60);
    QVERIFY(title.endsWith(QStringLiteral("\u2026\u201D?")));
    const QString shown = title.mid(8, title.size() - 8 - 3);
    QCOMPARE(shown.size(), 60 * 5);
    QVERIFY(longName.startsWith(shown));
    const QString exact = QString(60, u'x');
    QCOMPARE(TriggerTexts::deleteTitle(exact, 60),
             QStringLiteral("Delete \u201C") + exact + QStringLiteral("\u201D?"));
}

QTEST_GUILESS_MAIN(TestTriggerLogic)
#include "tst_triggerlogic.moc"

#include "features/history/HistoryDays.h"
#include "features/history/HistoryFilter.h"
#include "features/history/HistoryKeys.h"
#include "features/history/HistoryListLayout.h"
#include "features/history/IncidentText.h"
#include "support/IncidentFixtures.h"
#include "support/TriggerFixtures.h"

#include <QtTest>

Q_DECLARE_METATYPE(HistoryKeys::State)
Q_DECLARE_METATYPE(HistoryKeys::Action)
Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(std::optional<QString>)

using Fixtures::at;
using Fixtures::incident;

// The history page's rules without a display: filter and search, day grouping and titles, the
// key decision, the row texts, and the list's pinned header and scrolling numbers.
class TestHistoryLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void filterOptions();
    void filterAndSearch_data();
    void filterAndSearch();
    void fastSearchEqualsHaystack_data();
    void fastSearchEqualsHaystack();
    void searchTypedOnTestsOnlyWhatItFoundBefore_data();
    void searchTypedOnTestsOnlyWhatItFoundBefore();

    void grouping_data();
    void grouping();
    void groupsKeepDayHeadersApartWhenTheClockGoesBack();
    void dayTitles_data();
    void dayTitles();

    void keyDecision_data();
    void keyDecision();
    void stepTarget_data();
    void stepTarget();

    void noteLine_data();
    void noteLine();
    void shownNoteLineReadsABoundedPart_data();
    void shownNoteLineReadsABoundedPart();
    void storedNote();
    void shortTimes_data();
    void shortTimes();
    void sources_data();
    void sources();
    void offeredTriggersAndPicks();

    void pinnedHeaderAndScrolling();

private:
    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    QList<Trigger> m_triggers;
    QList<VorpEvent> m_events; // oldest first, as the store holds them
};

void TestHistoryLogic::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_triggers = Fixtures::builtInTriggers();
    m_triggers[2].isHidden = true; // "build"
    // 0 no trigger, app only; 1 meeting with a note; 2 hidden trigger; 3 a deleted trigger's key;
    // 4 no trigger, no app, a note; 5 email, app with different case; 6 nothing at all.
    m_events = {
        incident(at(m_zone, 2026, 12, 1, 9), std::nullopt, QStringLiteral("Slack")),
        incident(at(m_zone, 2026, 12, 1, 10), QStringLiteral("meeting"), QStringLiteral("Zoom"), std::nullopt,
                 QStringLiteral("standup ran long")),
        incident(at(m_zone, 2026, 12, 2, 11), QStringLiteral("build"), QStringLiteral("Terminal")),
        incident(at(m_zone, 2026, 12, 3, 12), QStringLiteral("custom-gone"), QStringLiteral("Figma")),
        incident(at(m_zone, 2026, 12, 4, 13), std::nullopt, std::nullopt, std::nullopt,
                 QStringLiteral("Printer on fire")),
        incident(at(m_zone, 2026, 12, 5, 14), QStringLiteral("email"), QStringLiteral("THUNDERBIRD")),
        incident(at(m_zone, 2026, 12, 6, 15)),
    };
}

void TestHistoryLogic::filterOptions()
{
    const QList<GXOption> options = HistoryFilter::options(m_triggers);
    QCOMPARE(options.size(), 2 + m_triggers.size());
    QCOMPARE(options[0].value.toString(), QStringLiteral("_all"));
    QCOMPARE(options[0].label, QStringLiteral("All triggers"));
    QCOMPARE(options[0].emoji, QStringLiteral("\u2731"));
    QCOMPARE(options[1].value.toString(), QStringLiteral("_none"));
    QCOMPARE(options[1].label, QStringLiteral("Uncategorized"));
    QCOMPARE(options[1].emoji, QStringLiteral("\U0001FAE5"));
    QVERIFY(!options[0].dividerBefore && !options[1].dividerBefore);
    for (qsizetype i = 0; i < m_triggers.size(); ++i) {
        const GXOption &o = options[2 + i];
        QCOMPARE(o.value.toString(), m_triggers[i].key); // the hidden one too
        QCOMPARE(o.label, m_triggers[i].name);
        QCOMPARE(o.emoji, m_triggers[i].emoji);
        QCOMPARE(o.dividerBefore, i == 0);
    }
}

void TestHistoryLogic::filterAndSearch_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QList<qsizetype>>("expected"); // newest first

    using L = QList<qsizetype>;
    QTest::newRow("everything") << "_all"
                                << "" << L{6, 5, 4, 3, 2, 1, 0};
    QTest::newRow("no trigger") << "_none"
                                << "" << L{6, 4, 0};
    QTest::newRow("one key") << "meeting"
                             << "" << L{1};
    QTest::newRow("hidden trigger filters too") << "build"
                                                << "" << L{2};
    QTest::newRow("key of a deleted trigger") << "custom-gone"
                                              << "" << L{3};
    QTest::newRow("key with no incidents") << "bug"
                                           << "" << L{};
    QTest::newRow("app, other case") << "_all"
                                     << "thunderbird" << L{5};
    QTest::newRow("note") << "_all"
                          << "ON FIRE" << L{4};
    QTest::newRow("trigger name without a note") << "_all"
                                                 << "email" << L{5};
    QTest::newRow("hidden trigger's name") << "_all"
                                           << "build" << L{2};
    QTest::newRow("uncategorized by name") << "_all"
                                           << "uncategorized" << L{6, 4, 0};
    QTest::newRow("deleted trigger by name") << "_all"
                                             << "Deleted trigger" << L{3};
    QTest::newRow("across app and note") << "_all"
                                         << "zoom standup" << L{1};
    QTest::newRow("across note and trigger name") << "_all"
                                                  << "long Meeting" << L{1};
    QTest::newRow("leading space is kept") << "_all"
                                           << " slack" << L{};
    QTest::newRow("trailing space reaches the next field") << "_all"
                                                           << "slack " << L{0};
    QTest::newRow("only spaces is a search") << "_all"
                                             << "  " << L{};
    QTest::newRow("one space matches every joined haystack") << "_all"
                                                             << " " << L{5, 4, 3, 2, 1, 0};
    QTest::newRow("diacritics count") << "_all"
                                      << "fíre" << L{};
    QTest::newRow("filter and search together") << "_none"
                                                << "slack" << L{0};
    QTest::newRow("filter excludes what the search finds") << "meeting"
                                                           << "slack" << L{};
}

void TestHistoryLogic::filterAndSearch()
{
    QFETCH(QString, filter);
    QFETCH(QString, search);
    QFETCH(QList<qsizetype>, expected);
    QCOMPARE(HistoryFilter::filter(spanOf(m_events), m_triggers, filter, search), expected);
}

void TestHistoryLogic::fastSearchEqualsHaystack_data()
{
    QTest::addColumn<QString>("search");
    for (const char *s : {"a", "E", "er", "r T", "k Z", "m", "Uncat", "ed t", "ire", "IRD e", "  "})
        QTest::newRow(s) << QString::fromUtf8(s);
    // As long as the whole haystack, and one longer: the length that no haystack can hold.
    QTest::newRow("a whole haystack") << QStringLiteral("zoom STANDUP ran long meeting");
    QTest::newRow("a whole haystack, uncategorized") << QStringLiteral("Printer on fire Uncategorized");
    QTest::newRow("one longer than any") << QStringLiteral("Zoom standup ran long Meeting!");
    QTest::newRow("a pasted megabyte") << QStringLiteral("standup ran long ").repeated(60'000);
}

void TestHistoryLogic::fastSearchEqualsHaystack()
{
    QFETCH(QString, search);
    QList<qsizetype> expected;
    for (qsizetype i = m_events.size() - 1; i >= 0; --i)
        if (HistoryFilter::matchesSearch(HistoryFilter::haystack(m_events[i], m_triggers), search))
            expected << i;
    QCOMPARE(HistoryFilter::filter(spanOf(m_events), m_triggers, QStringLiteral("_all"), search), expected);
}

void TestHistoryLogic::searchTypedOnTestsOnlyWhatItFoundBefore_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("narrows");
    QTest::newRow("a letter typed at the end") << QStringLiteral("s") << QStringLiteral("st") << true;
    QTest::newRow("a word typed on across fields")
        << QStringLiteral("long") << QStringLiteral("long meeting") << true;
    QTest::newRow("a letter typed at the start")
        << QStringLiteral("hunder") << QStringLiteral("thunder") << true;
    QTest::newRow("held in the middle") << QStringLiteral("ran") << QStringLiteral("up ran lo") << true;
    QTest::newRow("erased: finds more") << QStringLiteral("standup") << QStringLiteral("standu") << false;
    QTest::newRow("a letter put inside") << QStringLiteral("stadup") << QStringLiteral("standup") << false;
    QTest::newRow("other case is not held") << QStringLiteral("ZOOM") << QStringLiteral("zoom s") << false;
    QTest::newRow("from nothing") << QString() << QStringLiteral("a") << false;
    QTest::newRow("unchanged") << QStringLiteral("ab") << QStringLiteral("ab") << false;
}

void TestHistoryLogic::searchTypedOnTestsOnlyWhatItFoundBefore()
{
    QFETCH(QString, previous);
    QFETCH(QString, search);
    QFETCH(bool, narrows);
    QCOMPARE(HistoryFilter::narrows(previous, search), narrows);
    const EventSpan events = spanOf(m_events);
    for (const QString &filter :
         {QStringLiteral("_all"), QStringLiteral("_none"), QStringLiteral("meeting")}) {
        const QList<qsizetype> before = HistoryFilter::filter(events, m_triggers, filter, previous);
        const QList<qsizetype> full = HistoryFilter::filter(events, m_triggers, filter, search);
        if (narrows)
            QCOMPARE(HistoryFilter::filter(events, m_triggers, filter, search, &before), full);
        // Given every incident, it is the full search.
        const QList<qsizetype> everything = HistoryFilter::filter(events, m_triggers, filter, QString());
        QCOMPARE(HistoryFilter::filter(events, m_triggers, filter, search, &everything), full);
    }
}

void TestHistoryLogic::grouping_data()
{
    QTest::addColumn<QList<QDateTime>>("times"); // oldest first
    QTest::addColumn<QList<QDate>>("days");
    QTest::addColumn<QList<int>>("sizes");

    const QTimeZone berlin("Europe/Berlin");
    QTest::newRow("a minute apart across midnight")
        << QList<QDateTime>{at(berlin, 2026, 12, 8, 23, 59, 30), at(berlin, 2026, 12, 9, 0, 0, 30)}
        << QList<QDate>{QDate(2026, 12, 9), QDate(2026, 12, 8)} << QList<int>{1, 1};
    QTest::newRow("spring forward day is one day")
        << QList<QDateTime>{at(berlin, 2026, 3, 29, 0, 30), at(berlin, 2026, 3, 29, 1, 59),
                            at(berlin, 2026, 3, 29, 3, 0), at(berlin, 2026, 3, 29, 23, 59)}
        << QList<QDate>{QDate(2026, 3, 29)} << QList<int>{4};
    QTest::newRow("fall back day is one day, next midnight splits")
        << QList<QDateTime>{at(berlin, 2026, 10, 25, 2, 30), at(berlin, 2026, 10, 25, 2, 30).addSecs(3600),
                            at(berlin, 2026, 10, 25, 23, 59), at(berlin, 2026, 10, 26, 0, 0)}
        << QList<QDate>{QDate(2026, 10, 26), QDate(2026, 10, 25)} << QList<int>{1, 3};
    QTest::newRow("empty") << QList<QDateTime>{} << QList<QDate>{} << QList<int>{};
}

void TestHistoryLogic::grouping()
{
    QFETCH(QList<QDateTime>, times);
    QFETCH(QList<QDate>, days);
    QFETCH(QList<int>, sizes);
    QList<VorpEvent> events;
    QList<qsizetype> all;
    for (const QDateTime &t : times) {
        events << incident(t.toUTC());
        all.prepend(all.size());
    }
    const Calendar calendar(m_zone);
    const QList<DayGroup> groups = HistoryDays::group(spanOf(events), all, calendar);
    QCOMPARE(groups.size(), days.size());
    qsizetype next = events.size() - 1;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        QCOMPARE(groups[g].date, days[g]);
        QCOMPARE(groups[g].day, calendar.startOfDay(days[g]));
        QCOMPARE(groups[g].events.size(), sizes[g]);
        for (const qsizetype e : groups[g].events)
            QCOMPARE(e, next--); // newest first within and across groups
    }
}

void TestHistoryLogic::groupsKeepDayHeadersApartWhenTheClockGoesBack()
{
    // A zone whose clock went back across midnight (Sao Paulo, 2018-02-18 00:00 back to 17th
    // 23:00): a later incident falls on the earlier day and joins that day's group.
    const QTimeZone zone("America/Sao_Paulo");
    const Calendar calendar(zone);
    const QDateTime first = QDateTime(QDate(2018, 2, 18), QTime(1, 50), QTimeZone::utc()); // 23:50 -02
    QList<VorpEvent> events{incident(first), incident(first.addSecs(20 * 60)),
                            incident(first.addSecs(80 * 60))};
    QCOMPARE(calendar.date(events[1].timestamp), QDate(2018, 2, 17)); // past the 18th's 00:00 back to 23:10
    QCOMPARE(calendar.date(events[2].timestamp), QDate(2018, 2, 18));
    // The 17th: 23:50 before the change, 23:10 after it.
    const QList<DayGroup> groups = HistoryDays::group(spanOf(events), {2, 1, 0}, calendar);
    QCOMPARE(groups.size(), 2);
    QCOMPARE(groups[0].date, QDate(2018, 2, 18));
    QCOMPARE(groups[0].events, (QList<qsizetype>{2}));
    QCOMPARE(groups[1].date, QDate(2018, 2, 17));
    QCOMPARE(groups[1].events, (QList<qsizetype>{1, 0}));
}

void TestHistoryLogic::dayTitles_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    const QTimeZone berlin("Europe/Berlin");
    const QDateTime wed = at(berlin, 2026, 12, 9, 15);
    QTest::newRow("today") << QDate(2026, 12, 9) << wed << "en_US"
                           << "TODAY";
    QTest::newRow("yesterday") << QDate(2026, 12, 8) << wed << "en_US"
                               << "YESTERDAY";
    QTest::newRow("two days ago") << QDate(2026, 12, 7) << wed << "en_US"
                                  << "MONDAY, DEC 7";
    QTest::newRow("just after midnight") << QDate(2026, 12, 8) << at(berlin, 2026, 12, 9, 0, 0, 1) << "en_US"
                                         << "YESTERDAY";
    QTest::newRow("last year") << QDate(2025, 12, 9) << wed << "en_US"
                               << "TUESDAY, DEC 9";
    QTest::newRow("german order") << QDate(2026, 12, 7) << wed << "de_DE"
                                  << "MONTAG, 7. DEZ.";
    QTest::newRow("tomorrow is a date") << QDate(2026, 12, 10) << wed << "en_US"
                                        << "THURSDAY, DEC 10";
}

void TestHistoryLogic::dayTitles()
{
    QFETCH(QDate, day);
    QFETCH(QDateTime, now);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(HistoryDays::title(day, now, Calendar(m_zone), QLocale(locale)), expected);
}

void TestHistoryLogic::keyDecision_data()
{
    using A = HistoryKeys::Action;
    using S = HistoryKeys::State;
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<S>("state");
    QTest::addColumn<A>("expected");

    const S idle{};
    const S chosen{false, false, false, true, true};
    const S chosenGone{false, false, false, true, false};
    const auto none = Qt::KeyboardModifiers();
    QTest::newRow("down") << int(Qt::Key_Down) << none << idle << A::StepDown;
    QTest::newRow("up") << int(Qt::Key_Up) << none << chosen << A::StepUp;
    QTest::newRow("shift+down still steps")
        << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::ShiftModifier) << chosen << A::StepDown;
    QTest::newRow("keypad down steps")
        << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::KeypadModifier) << idle << A::StepDown;
    QTest::newRow("ctrl+down passes")
        << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::ControlModifier) << chosen << A::PassOn;
    QTest::newRow("alt+up passes") << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::AltModifier) << chosen
                                   << A::PassOn;
    QTest::newRow("super+backspace passes")
        << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::MetaModifier) << chosen << A::PassOn;
    QTest::newRow("backspace asks") << int(Qt::Key_Backspace) << none << chosen << A::AskDelete;
    QTest::newRow("delete asks") << int(Qt::Key_Delete) << none << chosen << A::AskDelete;
    QTest::newRow("shift+delete asks")
        << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << chosen << A::AskDelete;
    QTest::newRow("delete without selection passes") << int(Qt::Key_Delete) << none << idle << A::PassOn;
    QTest::newRow("delete of a gone incident passes")
        << int(Qt::Key_Backspace) << none << chosenGone << A::PassOn;
    QTest::newRow("escape clears") << int(Qt::Key_Escape) << none << chosen << A::ClearSelection;
    QTest::newRow("escape clears a gone selection")
        << int(Qt::Key_Escape) << none << chosenGone << A::ClearSelection;
    QTest::newRow("escape without selection passes") << int(Qt::Key_Escape) << none << idle << A::PassOn;
    QTest::newRow("other key passes") << int(Qt::Key_Return) << none << chosen << A::PassOn;
    QTest::newRow("letter passes") << int(Qt::Key_J) << none << chosen << A::PassOn;
    QTest::newRow("typing in a field")
        << int(Qt::Key_Down) << none << S{true, false, false, true, true} << A::PassOn;
    QTest::newRow("backspace in a field")
        << int(Qt::Key_Backspace) << none << S{true, false, false, true, true} << A::PassOn;
    QTest::newRow("menu open") << int(Qt::Key_Down) << none << S{false, true, false, true, true} << A::PassOn;
    QTest::newRow("dialog open, escape")
        << int(Qt::Key_Escape) << none << S{false, false, true, true, true} << A::PassOn;
    QTest::newRow("dialog open, delete")
        << int(Qt::Key_Delete) << none << S{false, false, true, true, true} << A::PassOn;
}

void TestHistoryLogic::keyDecision()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(HistoryKeys::State, state);
    QFETCH(HistoryKeys::Action, expected);
    QCOMPARE(HistoryKeys::decide(key, modifiers, state), expected);
}

void TestHistoryLogic::stepTarget_data()
{
    QTest::addColumn<QList<qint64>>("rows");
    QTest::addColumn<std::optional<qint64>>("selection");
    QTest::addColumn<int>("offset");
    QTest::addColumn<std::optional<qsizetype>>("expected");

    const QList<qint64> rows{40, 30, 20, 10};
    using O = std::optional<qint64>;
    using T = std::optional<qsizetype>;
    QTest::newRow("no selection, down: top") << rows << O() << 1 << T(0);
    QTest::newRow("no selection, up: top") << rows << O() << -1 << T(0);
    QTest::newRow("down") << rows << O(30) << 1 << T(2);
    QTest::newRow("up") << rows << O(30) << -1 << T(0);
    QTest::newRow("down on the last row stays") << rows << O(10) << 1 << T(3);
    QTest::newRow("up on the first row stays") << rows << O(40) << -1 << T(0);
    QTest::newRow("hidden selection goes to the top") << rows << O(99) << -1 << T(0);
    QTest::newRow("empty list") << QList<qint64>{} << O(30) << 1 << T();
}

void TestHistoryLogic::stepTarget()
{
    QFETCH(QList<qint64>, rows);
    QFETCH(std::optional<qint64>, selection);
    QFETCH(int, offset);
    QFETCH(std::optional<qsizetype>, expected);
    QCOMPARE(HistoryKeys::stepTarget(rows, selection, offset), expected);
}

void TestHistoryLogic::noteLine_data()
{
    QTest::addColumn<std::optional<QString>>("note");
    QTest::addColumn<std::optional<QString>>("expected");
    using O = std::optional<QString>;
    QTest::newRow("absent") << O() << O();
    QTest::newRow("empty") << O(QString()) << O();
    QTest::newRow("blanks") << O(QStringLiteral("  \n\t ")) << O();
    QTest::newRow("only quotes and apostrophes") << O(QStringLiteral(" \"\u201C'\u201D ")) << O();
    QTest::newRow("curly quoted with blanks")
        << O(QStringLiteral("  \u201Chi\u201D  ")) << O(QStringLiteral("\u201Chi\u201D"));
    QTest::newRow("inner quotes stay")
        << O(QStringLiteral("'it's \"fine\"'")) << O(QStringLiteral("\u201Cit's \"fine\u201D"));
    QTest::newRow("plain") << O(QStringLiteral("build broke"))
                           << O(QStringLiteral("\u201Cbuild broke\u201D"));
}

void TestHistoryLogic::noteLine()
{
    QFETCH(std::optional<QString>, note);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(IncidentText::noteLine(note), expected);
    QCOMPARE(IncidentText::shownNoteLine(note), expected); // a short note is shown whole
    QCOMPARE(IncidentText::hasNoteLine(note), expected.has_value());
}

void TestHistoryLogic::shownNoteLineReadsABoundedPart_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fits the limit") << QStringLiteral(" \"abcd\" ") << qsizetype(4)
                                    << QStringLiteral("\u201Cabcd\u201D");
    QTest::newRow("one more: cut, an ellipsis, no closing quote")
        << QStringLiteral("abcde\"") << qsizetype(4) << QStringLiteral("\u201Cabcd\u2026");
    QTest::newRow("a megabyte") << QString(1 << 20, u'm') << qsizetype(512)
                                << QStringLiteral("\u201C") + QString(512, u'm') + QChar(0x2026);
    QTest::newRow("never half an emoji")
        << QStringLiteral("abc\U0001F921def") << qsizetype(4) << QStringLiteral("\u201Cabc\u2026");
    QTest::newRow("line breaks read as blanks") << QStringLiteral("a\nb\r\nc\u2028d\u2029e") << qsizetype(512)
                                                << QStringLiteral("\u201Ca b  c d e\u201D");
}

void TestHistoryLogic::shownNoteLineReadsABoundedPart()
{
    QFETCH(QString, note);
    QFETCH(qsizetype, limit);
    QFETCH(QString, expected);
    QCOMPARE(IncidentText::shownNoteLine(note, limit), std::optional(expected));
}

void TestHistoryLogic::storedNote()
{
    QCOMPARE(IncidentText::storedNote(QString()), std::optional<QString>());
    QCOMPARE(IncidentText::storedNote(QStringLiteral("   ")), std::optional<QString>(QStringLiteral("   ")));
    QCOMPARE(IncidentText::storedNote(QStringLiteral("x\n")), std::optional<QString>(QStringLiteral("x\n")));
}

void TestHistoryLogic::shortTimes_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("C drops the seconds") << "C"
                                         << "21:07";
    QTest::newRow("en_US") << "en_US"
                           << "9:07 PM";
    QTest::newRow("de_DE") << "de_DE"
                           << "21:07";
}

void TestHistoryLogic::shortTimes()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const QLocale l(locale);
    QCOMPARE(l.toString(QTime(21, 7, 45), IncidentText::shortTimeFormat(l)), expected);
}

void TestHistoryLogic::sources_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("label");
    QTest::newRow("menuBar") << "menuBar"
                             << "menubar.rectangle"
                             << "Tray";
    QTest::newRow("shortcut") << "shortcut"
                              << "keyboard"
                              << "Keyboard shortcut";
    QTest::newRow("dashboard") << "dashboard"
                               << "macwindow"
                               << "Dashboard";
    QTest::newRow("url") << "url"
                         << "link"
                         << "URL / automation";
    QTest::newRow("physical") << "physical"
                              << "button.programmable"
                              << "Physical button";
    QTest::newRow("demo") << "demo"
                          << "wand.and.stars"
                          << "Demo data";
    QTest::newRow("unknown") << "toaster"
                             << "menubar.rectangle"
                             << "Tray";
    QTest::newRow("wrong case") << "Demo"
                                << "menubar.rectangle"
                                << "Tray";
}

void TestHistoryLogic::sources()
{
    QFETCH(QString, raw);
    QFETCH(QString, symbol);
    QFETCH(QString, label);
    const IncidentText::SourceDisplay shown = IncidentText::source(raw);
    QCOMPARE(shown.symbol, symbol);
    QCOMPARE(shown.label, label);
}

void TestHistoryLogic::offeredTriggersAndPicks()
{
    const auto keys = [](const QList<Trigger> &list) {
        QStringList k;
        for (const Trigger &t : list)
            k << t.key;
        return k;
    };
    QStringList visible = keys(m_triggers);
    visible.removeAll(QStringLiteral("build"));
    QCOMPARE(keys(IncidentText::offeredTriggers(m_triggers, std::nullopt)), visible);
    QCOMPARE(keys(IncidentText::offeredTriggers(m_triggers, QStringLiteral("email"))), visible);
    // A hidden trigger is offered, in its place, only while the incident has it.
    QCOMPARE(keys(IncidentText::offeredTriggers(m_triggers, QStringLiteral("build"))), keys(m_triggers));

    QCOMPARE(IncidentText::pickedKey(QStringLiteral("bug"), std::nullopt),
             std::optional(QStringLiteral("bug")));
    QCOMPARE(IncidentText::pickedKey(QStringLiteral("bug"), QStringLiteral("email")),
             std::optional(QStringLiteral("bug")));
    QCOMPARE(IncidentText::pickedKey(QStringLiteral("bug"), QStringLiteral("bug")), std::optional<QString>());
}

void TestHistoryLogic::pinnedHeaderAndScrolling()
{
    // Two days: three rows of 40 under a 30 header, then one row.
    QList<DayGroup> groups{{QDate(2026, 12, 9), {}, {0, 1, 2}}, {QDate(2026, 12, 8), {}, {3}}};
    const HistoryListLayout layout(groups, 5, 30, [](qsizetype) { return 40.0; });
    const auto &items = layout.items();
    QCOMPARE(items.size(), 6);
    // Header 0..30, rows at 32, 74, 116 (to 156), header at 158..188, row at 190..230, 8 below.
    QCOMPARE(items[1].y, 32.0);
    QCOMPARE(items[3].y, 116.0);
    QCOMPARE(items[4].y, 158.0);
    QCOMPARE(layout.height(), 238.0);
    QCOMPARE(layout.itemOfEvent(3), 5);
    QCOMPARE(layout.itemOfEvent(4), -1); // not listed
    QCOMPARE(layout.itemAt(0), 0);
    QCOMPARE(layout.itemAt(31), 1); // the gap belongs to the next item
    QCOMPARE(layout.itemAt(500), -1);

    // The first header stays on top, then the end of its section pushes it up, then the next
    // header takes over.
    QCOMPARE(layout.pinned(0)->group, 0);
    QCOMPARE(layout.pinned(50)->y, 50.0);
    QCOMPARE(layout.pinned(140)->y, 126.0); // 156 - 30
    QCOMPARE(layout.pinned(140)->group, 0);
    QCOMPARE(layout.pinned(160)->group, 1);
    QCOMPARE(layout.pinned(160)->y, 160.0);
    QCOMPARE(layout.pinned(210)->y, 200.0); // pushed by its own last row: 230 - 30

    // Scrolling the least: a row below comes up to the bottom edge, a row above goes just below
    // the pinned header, a row in view stays.
    QCOMPARE(layout.scrollToShow(5, 0, 100), 130.0); // bottom 230 - 100
    QCOMPARE(layout.scrollToShow(2, 40, 100), 40.0); // 74..114 shows below the header at 40..70
    QCOMPARE(layout.scrollToShow(2, 60, 100), 44.0); // 74 hides under the header at 60..90
    QCOMPARE(layout.scrollToShow(1, 60, 100), 2.0);  // top 32 goes under a 30 header: 32 - 30
    QCOMPARE(layout.scrollToShow(3, 0, 100), 56.0);  // bottom 156 - 100
    QCOMPARE(layout.scrollToShow(1, 0, 100), 0.0);
}

QTEST_GUILESS_MAIN(TestHistoryLogic)
#include "tst_historylogic.moc"

#include "features/report/ReportTheme.h"
#include "features/report/cards/IncidentFormValues.h"
#include "features/report/cards/PosterStyle.h"
#include "features/report/cards/PosterValues.h"
#include "features/report/cards/ReceiptValues.h"
#include "features/report/cards/ReportPieces.h"
#include "features/report/cards/TabloidValues.h"

#include <QtTest>

namespace {

const QTimeZone kZone("Europe/Berlin");
const QString kDash = QStringLiteral("\u2014");

DayBucket bucket(const QDate &date, int count, bool future = false)
{
    return DayBucket{date.startOfDay(kZone), count, false, future};
}

// A week from `monday` with the given counts; days from `firstFuture` on lie ahead. The worst day is
// the first busiest past day, as the report builds it.
WeeklyReport week(const QDate &monday, const QList<int> &counts, int firstFuture = 7)
{
    WeeklyReport r;
    r.interval = {monday.startOfDay(kZone), monday.addDays(7).startOfDay(kZone)};
    for (int i = 0; i < counts.size(); ++i) {
        r.days.append(bucket(monday.addDays(i), counts.at(i), i >= firstFuture));
        r.total += counts.at(i);
        if (i < firstFuture && counts.at(i) >= 1 && (!r.worstDay || counts.at(i) > r.worstDay->count))
            r.worstDay = r.days.last();
    }
    return r;
}

CountItem item(const QString &name, int count, std::optional<QString> emoji = std::nullopt)
{
    return CountItem{name.toLower(), name, emoji, std::nullopt, count};
}

const QDate kMonday(2026, 6, 1); // week 23

} // namespace

class TestReportCardValues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void themes_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("position"); // in allCases, -1 for no theme
        QTest::addColumn<QString>("title");
        QTest::newRow("midnight") << "midnight" << 0 << "Midnight";
        QTest::newRow("paper") << "paper" << 1 << "Paper";
        QTest::newRow("hazard") << "hazard" << 2 << "Hazard";
        QTest::newRow("receipt") << "receipt" << 3 << "Receipt";
        QTest::newRow("tabloid") << "tabloid" << 4 << "Tabloid";
        QTest::newRow("synthwave") << "synthwave" << 5 << "Synthwave";
        QTest::newRow("blueprint") << "blueprint" << 6 << "Blueprint";
        QTest::newRow("incident form") << "incident" << 7 << "Incident Form";
        QTest::newRow("empty") << "" << -1 << "";
        QTest::newRow("case matters") << "Receipt" << -1 << "";
        QTest::newRow("the title is not a raw value") << "Incident Form" << -1 << "";
    }
    void themes()
    {
        QFETCH(QString, raw);
        QFETCH(int, position);
        const std::optional<ReportTheme> theme = ReportThemes::fromRawValue(raw);
        QCOMPARE(ReportThemes::allCases().size(), 8);
        if (position < 0) {
            QVERIFY(!theme);
            return;
        }
        QVERIFY(theme);
        QCOMPARE(ReportThemes::allCases().at(position), *theme);
        QCOMPARE(ReportThemes::rawValue(*theme), raw);
        QTEST(ReportThemes::title(*theme), "title");
    }

    void palettes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("bg");
        QTest::addColumn<QColor>("accent");
        QTest::addColumn<QColor>("barIdle");
        QTest::addColumn<QColor>("stripeA");
        QTest::addColumn<QColor>("glow");       // invalid: none
        QTest::addColumn<QColor>("tileBorder"); // invalid: none
        QTest::addColumn<QColor>("grid");       // invalid: none
        auto rgba = [](int r, int g, int b, qreal a = 1.0) {
            QColor c(r, g, b);
            c.setAlphaF(a);
            return c;
        };
        const QColor none;
        const QColor red(0xE8, 0x32, 0x2B);
        QTest::newRow("midnight") << "midnight" << rgba(20, 18, 17) << red << rgba(245, 238, 228, 0.35)
                                  << QColor(0xFF, 0xC2, 0x1A) << rgba(0xE8, 0x32, 0x2B, 0.28) << none << none;
        QTest::newRow("paper") << "paper" << rgba(243, 236, 226) << red << rgba(23, 20, 18, 0.75) << red
                               << none << rgba(23, 20, 18) << none;
        QTest::newRow("hazard") << "hazard" << rgba(255, 194, 26) << rgba(211, 22, 15)
                                << rgba(20, 18, 17, 0.8) << rgba(20, 18, 17) << none << none << none;
        QTest::newRow("synthwave") << "synthwave" << rgba(26, 7, 51) << rgba(255, 45, 180)
                                   << rgba(35, 230, 255, 0.55) << rgba(255, 45, 180)
                                   << rgba(255, 45, 180, 0.35) << rgba(255, 45, 180, 0.6) << none;
        QTest::newRow("blueprint") << "blueprint" << rgba(29, 78, 137) << rgba(255, 212, 71)
                                   << rgba(242, 247, 255, 0.7) << rgba(242, 247, 255) << none
                                   << rgba(242, 247, 255, 0.7) << rgba(242, 247, 255, 0.08);
    }
    void palettes()
    {
        QFETCH(QString, name);
        const QMap<QString, const PosterStyle *> styles{
            {QStringLiteral("midnight"), &PosterStyle::midnight()},
            {QStringLiteral("paper"), &PosterStyle::paper()},
            {QStringLiteral("hazard"), &PosterStyle::hazard()},
            {QStringLiteral("synthwave"), &PosterStyle::synthwave()},
            {QStringLiteral("blueprint"), &PosterStyle::blueprint()},
        };
        const PosterStyle &s = *styles.value(name);
        auto same = [](const QColor &a, const QColor &b) {
            return a.rgb() == b.rgb() && qAbs(a.alphaF() - b.alphaF()) < 0.002;
        };
        auto optional = [&](const std::optional<QColor> &value, const QColor &expected) {
            return expected.isValid() ? value.has_value() && same(*value, expected) : !value.has_value();
        };
        QFETCH(QColor, bg);
        QFETCH(QColor, accent);
        QFETCH(QColor, barIdle);
        QFETCH(QColor, stripeA);
        QFETCH(QColor, glow);
        QFETCH(QColor, tileBorder);
        QFETCH(QColor, grid);
        QVERIFY(same(s.bg, bg));
        QVERIFY(same(s.accent, accent));
        QVERIFY(same(s.barIdle, barIdle));
        QVERIFY(same(s.stripeA, stripeA));
        QVERIFY(optional(s.glow, glow));
        QVERIFY(optional(s.tileBorder, tileBorder));
        QVERIFY(optional(s.grid, grid));
        // One shared value per palette.
        QCOMPARE(styles.value(name), styles.value(name));
        QVERIFY(&PosterStyle::midnight() == &PosterStyle::midnight());
    }

    void changeChip_data()
    {
        QTest::addColumn<std::optional<int>>("change");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<QString>("text");
        QTest::newRow("no earlier week") << std::optional<int>() << false << false << "";
        QTest::newRow("no change") << std::optional<int>(0) << false << false << "";
        QTest::newRow("up 12") << std::optional<int>(12) << true << true << "\u2191 12% from last week";
        QTest::newRow("down 30") << std::optional<int>(-30) << true << false << "\u2193 30% from last week";
        QTest::newRow("empty week after a busy one")
            << std::optional<int>(-100) << true << false << "\u2193 100% from last week";
    }
    void changeChip()
    {
        QFETCH(std::optional<int>, change);
        QFETCH(bool, shown);
        const auto chip = PosterValues::changeChip(change);
        QCOMPARE(chip.has_value(), shown);
        if (!chip)
            return;
        QTEST(chip->rising, "rising");
        QTEST(chip->text, "text");
    }

    void barHeights_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<qreal>>("poster");
        QTest::addColumn<QList<qreal>>("tabloid");
        QTest::newRow("busiest 9") << QList<int>{9, 3, 0} << QList<qreal>{90, 30, 4}
                                   << QList<qreal>{80, 80.0 / 3, 2};
        QTest::newRow("a single incident of 45 is lifted to the floor")
            << QList<int>{45, 1} << QList<qreal>{90, 4} << QList<qreal>{80, 2};
        QTest::newRow("empty week") << QList<int>{0, 0} << QList<qreal>{4, 4} << QList<qreal>{2, 2};
        QTest::newRow("one incident") << QList<int>{0, 1} << QList<qreal>{4, 90} << QList<qreal>{2, 80};
        QTest::newRow("a thousand") << QList<int>{1000, 10, 20} << QList<qreal>{90, 4, 4}
                                    << QList<qreal>{80, 2, 2};
    }
    void barHeights()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QList<qreal>, poster);
        QFETCH(QList<qreal>, tabloid);
        const WeeklyReport r = week(kMonday, counts);
        for (int i = 0; i < counts.size(); ++i) {
            QCOMPARE(PosterValues::barHeight(counts.at(i), PosterValues::maxCount(r.days)), poster.at(i));
            QCOMPARE(TabloidValues::barHeight(counts.at(i), TabloidValues::maxCount(r.days)), tabloid.at(i));
        }
        QCOMPARE(PosterValues::maxCount({}), 1);
        QCOMPARE(TabloidValues::maxCount({}), 1);
    }

    void barFills()
    {
        // Wednesday is today and busiest so far; Thursday to Sunday lie ahead.
        WeeklyReport r = week(kMonday, {2, 0, 5, 0, 0, 0, 0}, 3);
        r.days[2].isToday = true;
        r.worstDay = r.days.at(2);
        const QList<PosterValues::BarFill> expected{
            PosterValues::BarFill::Idle,   PosterValues::BarFill::Idle,   PosterValues::BarFill::Worst,
            PosterValues::BarFill::Future, PosterValues::BarFill::Future, PosterValues::BarFill::Future,
            PosterValues::BarFill::Future};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(PosterValues::barFill(r, r.days.at(i)), expected.at(i));
        QCOMPARE(PosterValues::countLabel(0), QString());
        QCOMPARE(PosterValues::countLabel(5), QStringLiteral("5"));

        // Without a worst day nothing is highlighted, today included.
        r.worstDay.reset();
        QCOMPARE(PosterValues::barFill(r, r.days.at(2)), PosterValues::BarFill::Idle);
    }

    void tiles_data()
    {
        QTest::addColumn<WeeklyReport>("report");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("notes"); // "-" for no note

        WeeklyReport empty = week(kMonday, QList<int>(7, 0));
        empty.calmestDay = empty.days.at(0);
        QTest::newRow("empty week") << empty << QStringList{kDash, "Monday", kDash, kDash, kDash}
                                    << QStringList{"-", "Zero. Frame it.", "-", "-", "-"};

        WeeklyReport busy = week(kMonday, {3, 2, 9, 1, 4, 0, 0});
        busy.calmestDay = busy.days.at(1);
        busy.peakTime = QStringLiteral("14:37");
        busy.topTrigger = item(QStringLiteral("Meeting"), 1, QStringLiteral("\U0001F4C5"));
        busy.topApp = item(QStringLiteral("Slack"), 7);
        QTest::newRow("busy week") << busy
                                   << QStringList{"Wednesday", "Tuesday", "14:37", "\U0001F4C5 Meeting",
                                                  "Slack"}
                                   << QStringList{"9 incidents", "Only 2", "-", "1 incidents", "7 incidents"};

        WeeklyReport bare = busy;
        bare.topTrigger = item(QStringLiteral("Custom"), 4);
        bare.calmestDay.reset();
        QTest::newRow("trigger without emoji, no calmest day")
            << bare << QStringList{"Wednesday", kDash, "14:37", " Custom", "Slack"}
            << QStringList{"9 incidents", "-", "-", "4 incidents", "7 incidents"};
    }
    void tiles()
    {
        QFETCH(WeeklyReport, report);
        QFETCH(QStringList, values);
        QFETCH(QStringList, notes);
        const QList<PosterValues::Tile> tiles = PosterValues::tiles(report, QLocale(QLocale::English));
        const QStringList labels{"Worst day", "Calmest day", "Peak grumblix", "Top offender",
                                 "Most dangerous app"};
        QCOMPARE(tiles.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(tiles.at(i).label, labels.at(i));
            QCOMPARE(tiles.at(i).value, values.at(i));
            QCOMPARE(tiles.at(i).note.value_or(QStringLiteral("-")), notes.at(i));
        }
    }

    void gridLines()
    {
        QCOMPARE(PosterValues::gridLines(440).size(), 23);
        QCOMPARE(PosterValues::gridLines(440).last(), 440.0);
        QCOMPARE(PosterValues::gridLines(439).last(), 420.0);
        QCOMPARE(PosterValues::gridLines(0), QList<qreal>{0.0});
    }

    void receiptItems_data()
    {
        QTest::addColumn<WeeklyReport>("report");
        QTest::addColumn<QStringList>("lines"); // "label|value"
        QTest::addColumn<int>("rest");

        QTest::newRow("empty week") << week(kMonday, QList<int>(7, 0)) << QStringList{} << 0;

        WeeklyReport untriggered = week(kMonday, {5, 0, 0, 0, 0, 0, 0});
        QTest::newRow("nothing carries a trigger") << untriggered << QStringList{"MISC. UNEXPLAINED|x5"} << 5;

        WeeklyReport ten = week(kMonday, {30, 12, 0, 0, 0, 0, 0});
        for (int i = 0; i < 10; ++i)
            ten.triggers.append(item(QStringLiteral("T%1").arg(i), 4,
                                     i == 0 ? std::nullopt : std::optional(QStringLiteral("\u2615"))));
        QStringList tenLines{" T0|x4"};
        for (int i = 1; i < 7; ++i)
            tenLines << QStringLiteral("\u2615 T%1|x4").arg(i);
        // 42 incidents, 40 of them carry one of the ten triggers: only two are unexplained.
        tenLines << "MISC. UNEXPLAINED|x2";
        QTest::newRow("ten triggers: seven lines, the hidden three are not unexplained")
            << ten << tenLines << 2;

        WeeklyReport all = week(kMonday, {3, 0, 0, 0, 0, 0, 0});
        all.triggers = {item(QStringLiteral("Meeting"), 2, QStringLiteral("\U0001F4C5")),
                        item(QStringLiteral("bug"), 1, QStringLiteral("\U0001F41B"))};
        QTest::newRow("every incident explained")
            << all << QStringList{"\U0001F4C5 MEETING|x2", "\U0001F41B BUG|x1"} << 0;
    }
    void receiptItems()
    {
        QFETCH(WeeklyReport, report);
        QFETCH(QStringList, lines);
        QFETCH(int, rest);
        QStringList actual;
        for (const ReceiptValues::Line &l : ReceiptValues::items(report))
            actual << l.label + QLatin1Char('|') + l.value;
        QCOMPARE(actual, lines);
        QCOMPARE(ReceiptValues::unexplainedRest(report), rest);
    }

    void receiptLines()
    {
        WeeklyReport r = week(kMonday, {1, 4, 2, 0, 0, 0, 0}, 3);
        QStringList days;
        for (const ReceiptValues::Line &l : ReceiptValues::days(r, QLocale(QLocale::English)))
            days << l.label + QLatin1Char('|') + l.value;
        QCOMPARE(days, (QStringList{"MON|1", "TUE  \u2190 WORST|4", "WED|2", "THU|" + kDash, "FRI|" + kDash,
                                    "SAT|" + kDash, "SUN|" + kDash}));

        QCOMPARE(ReceiptValues::cashier(r), QStringLiteral("CASHIER: YOU     TERMINAL: LINUX"));
        QCOMPARE(ReceiptValues::summary(r),
                 (QList<ReceiptValues::Line>{{"PEAK HOUR", kDash}, {"TOP SUSPECT", kDash}}));

        r.topApp = item(QStringLiteral("Visual Studio Code"), 3);
        r.peakTime = QStringLiteral("09:05");
        r.previousTotal = 8; // 7 now: -12.5 rounds away from zero
        QCOMPARE(ReceiptValues::cashier(r), QStringLiteral("CASHIER: YOU     TERMINAL: VISUAL STUDIO CODE"));
        QCOMPARE(ReceiptValues::summary(r), (QList<ReceiptValues::Line>{{"PEAK HOUR", "09:05"},
                                                                        {"TOP SUSPECT", "VISUAL STUDIO CODE"},
                                                                        {"CHANGE VS LAST WEEK", "-13%"}}));
        QCOMPARE(ReceiptValues::change(12), QStringLiteral("+12%"));
        QCOMPARE(ReceiptValues::change(0), QStringLiteral("0%"));
        QCOMPARE(ReceiptValues::change(-12), QStringLiteral("-12%"));

        // No worst day: no day is marked.
        r.worstDay.reset();
        for (const ReceiptValues::Line &l : ReceiptValues::days(r, QLocale(QLocale::English)))
            QVERIFY(!l.label.contains(QStringLiteral("WORST")));
    }

    void numbers_data()
    {
        QTest::addColumn<QDate>("monday");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("week");
        QTest::addColumn<QString>("receipt");
        QTest::addColumn<QString>("caseNo");
        QTest::addColumn<qint64>("seed");
        QTest::newRow("week 23, 42 incidents") << kMonday << 42 << 23 << "23-0042-GX"
                                               << "23-0042" << qint64(42 * 31 + 23);
        QTest::newRow("empty week") << kMonday << 0 << 23 << "23-0000-GX"
                                    << "23-0000" << qint64(23);
        QTest::newRow("five digits are not cut") << kMonday << 12345 << 23 << "23-12345-GX"
                                                 << "23-12345" << qint64(12345 * 31 + 23);
        QTest::newRow("four days in the new year: week 1") << QDate(2025, 12, 29) << 7 << 1 << "1-0007-GX"
                                                           << "1-0007" << qint64(7 * 31 + 1);
        QTest::newRow("week 53 of 2026") << QDate(2026, 12, 28) << 1 << 53 << "53-0001-GX"
                                         << "53-0001" << qint64(31 + 53);
        QTest::newRow("week 53 of 2020") << QDate(2020, 12, 28) << 0 << 53 << "53-0000-GX"
                                         << "53-0000" << qint64(53);
    }
    void numbers()
    {
        QFETCH(QDate, monday);
        QFETCH(int, total);
        WeeklyReport r = week(monday, QList<int>(7, 0));
        r.total = total;
        // A locale whose weeks start on Sunday numbers the same.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTEST(ReportPieces::weekNumber(r), "week");
        QTEST(ReceiptValues::receiptNumber(r), "receipt");
        QTEST(IncidentFormValues::caseNumber(r), "caseNo");
        QTEST(ReceiptValues::barcodeSeed(r), "seed");
    }

    void barcode_data()
    {
        QTest::addColumn<qint64>("seed");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QList<bool>>("filled");
        QTest::newRow("seed 0 starts from 7919")
            << qint64(0) << QList<int>{0, 4, 8, 12, 15, 19, 23, 26} << QList<int>{3, 3, 3, 2, 2, 2, 1, 3}
            << QList<bool>{false, true, true, true, true, true, true, true};
        // -1 + 7919 wraps to 7918, made odd: the same bars as seed 0.
        QTest::newRow("seed -1 wraps onto seed 0")
            << qint64(-1) << QList<int>{0, 4, 8, 12, 15, 19, 23, 26} << QList<int>{3, 3, 3, 2, 2, 2, 1, 3}
            << QList<bool>{false, true, true, true, true, true, true, true};
        QTest::newRow("week 23, 42 incidents")
            << qint64(1325) << QList<int>{0, 5, 9, 14, 17, 22, 24, 28} << QList<int>{3, 2, 3, 2, 3, 1, 2, 3}
            << QList<bool>{true, true, true, true, true, false, false, false};
        QTest::newRow("largest seed wraps past 2^64")
            << std::numeric_limits<qint64>::max() << QList<int>{0, 4, 7, 10, 12, 17, 22, 27}
            << QList<int>{3, 2, 2, 1, 3, 3, 3, 3}
            << QList<bool>{true, true, false, false, false, true, true, true};
        QTest::newRow("smallest seed")
            << std::numeric_limits<qint64>::min() << QList<int>{0, 4, 7, 10, 12, 17, 22, 27}
            << QList<int>{3, 2, 2, 1, 3, 3, 3, 3}
            << QList<bool>{true, true, false, false, false, true, true, true};
    }
    void barcode()
    {
        QFETCH(qint64, seed);
        QFETCH(QList<int>, xs);
        QFETCH(QList<int>, widths);
        QFETCH(QList<bool>, filled);
        const QList<ReceiptValues::BarSlot> bars = ReceiptValues::barcode(seed, 268);
        QVERIFY(bars.size() > xs.size());
        for (int i = 0; i < xs.size(); ++i) {
            QCOMPARE(bars.at(i).x, qreal(xs.at(i)));
            QCOMPARE(bars.at(i).width, widths.at(i));
            QCOMPARE(bars.at(i).filled, filled.at(i));
        }
        // Slots run until the width is reached, each followed by a gap of 1 or 2.
        QVERIFY(bars.last().x < 268);
        for (int i = 1; i < bars.size(); ++i) {
            const qreal gap = bars.at(i).x - bars.at(i - 1).x - bars.at(i - 1).width;
            QVERIFY(gap == 1 || gap == 2);
        }
        QCOMPARE(ReceiptValues::barcode(seed, 268), bars);
        QVERIFY(ReceiptValues::barcode(seed, 0).isEmpty());
        QVERIFY(ReceiptValues::barcode(seed, -5).isEmpty());
    }

    void tornEdges_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("teeth");
        QTest::newRow("the card: 42 teeth") << QSizeF(380, 900) << 42;
        QTest::newRow("whole teeth only") << QSizeF(26.9, 50) << 2;
        QTest::newRow("narrower than a tooth") << QSizeF(5, 50) << 0;
    }
    void tornEdges()
    {
        QFETCH(QSizeF, size);
        QFETCH(int, teeth);
        const QPainterPath path = ReceiptValues::tornEdges(size, 9);
        int top = 0, bottom = 0;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            QVERIFY(e.x >= 0 && e.x <= size.width() && e.y >= 0 && e.y <= size.height());
            top += e.y == 0;
            bottom += e.y == size.height();
        }
        QCOMPARE(top, teeth);
        QCOMPARE(bottom, teeth);
        QCOMPARE(path.elementAt(0).x, 0.0);
        QCOMPARE(path.elementAt(0).y, 4.5);
        if (teeth == 0) {
            QCOMPARE(path.elementAt(1).x, size.width());
            QCOMPARE(path.elementAt(1).y, size.height() - 4.5);
        } else {
            const qreal step = size.width() / teeth;
            QCOMPARE(path.elementAt(1).x, step / 2); // the first point, halfway along the first tooth
            QCOMPARE(path.elementAt(2).x, step);
            QCOMPARE(path.elementAt(2).y, 4.5);
        }
    }

    void story_data()
    {
        QTest::addColumn<WeeklyReport>("report");
        QTest::addColumn<QString>("story");

        QTest::newRow("empty week")
            << week(kMonday, QList<int>(7, 0))
            << "Sources report a completely uneventful week. No builds failed, no calls were "
               "quick. Authorities remain suspicious.";

        WeeklyReport one = week(kMonday, {0, 0, 1, 0, 0, 0, 0});
        one.calmestDay = one.days.at(0);
        QTest::newRow("one incident keeps the plural; a calm day at 0 is pleasant")
            << one
            << "The worst of it hit on Wednesday, with 1 separate incidents logged by a visibly tired "
               "witness. "
               "Monday was, by comparison, almost pleasant.";

        WeeklyReport full = week(kMonday, {4, 4, 2, 0, 0, 0, 0});
        full.calmestDay = full.days.at(1); // as many as the worst day: left out
        full.topTrigger = item(QStringLiteral("Meeting"), 3, QStringLiteral("\U0001F4C5"));
        full.topApp = item(QStringLiteral("Zoom"), 5);
        QTest::newRow("calmest day as busy as the worst is left out")
            << full
            << "The worst of it hit on Monday, with 4 separate incidents logged by a visibly tired witness. "
               "Meetings "
               "were named in 3 of them. Zoom was at the scene 5 times and has not responded to requests for "
               "comment.";

        WeeklyReport plural = full;
        plural.worstDay.reset();
        plural.calmestDay.reset();
        plural.topTrigger = item(QStringLiteral("Builds"), 2);
        plural.topApp = item(QStringLiteral("%1 %2 app"), 1);
        QTest::newRow("names are kept as stored, even with placeholders")
            << plural
            << "Buildss were named in 2 of them. %1 %2 app was at the scene 1 times and has not responded to "
               "requests for comment.";
    }
    void story()
    {
        QFETCH(WeeklyReport, report);
        QTEST(TabloidValues::story(report, QLocale(QLocale::English)), "story");
    }

    void peakChip()
    {
        WeeklyReport r = week(kMonday, QList<int>(7, 0));
        QVERIFY(!TabloidValues::peakChip(r));
        r.peakTime = QStringLiteral("14:37");
        QCOMPARE(TabloidValues::peakChip(r), std::optional<QString>(QStringLiteral("PEAK: 14:37")));
    }

    void severity_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("0") << 0 << "Mild";
        QTest::newRow("5") << 5 << "Mild";
        QTest::newRow("6") << 6 << "Annoying";
        QTest::newRow("15") << 15 << "Annoying";
        QTest::newRow("16") << 16 << "Severe";
        QTest::newRow("30") << 30 << "Severe";
        QTest::newRow("31") << 31 << "On fire";
        QTest::newRow("12345") << 12345 << "On fire";
    }
    void severity()
    {
        QFETCH(int, total);
        QTEST(IncidentFormValues::severityNames().at(IncidentFormValues::severity(total)), "ticked");
    }

    void formFields()
    {
        WeeklyReport r = week(kMonday, QList<int>(7, 0));
        QList<QList<IncidentFormValues::Field>> rows = IncidentFormValues::fieldRows(r);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).at(1).value, QStringLiteral("23-0000"));
        QCOMPARE(rows.at(1).at(0).value, QStringLiteral("Me, obviously"));
        QCOMPARE(rows.at(1).at(1).value, QStringLiteral("0"));
        QCOMPARE(rows.at(2).at(0), (IncidentFormValues::Field{"Primary cause", "Unknown"}));
        QCOMPARE(rows.at(2).at(1), (IncidentFormValues::Field{"Location of incident", "Unknown"}));
        QCOMPARE(IncidentFormValues::peakHour(r), QStringLiteral("Peak hour: ") + kDash);

        r.topTrigger = item(QStringLiteral("Custom"), 2);
        r.topApp = item(QStringLiteral("Terminal"), 2);
        r.peakTime = QStringLiteral("16:02");
        rows = IncidentFormValues::fieldRows(r);
        QCOMPARE(rows.at(2).at(0).value, QStringLiteral(" Custom"));
        QCOMPARE(rows.at(2).at(1).value, QStringLiteral("Terminal"));
        QCOMPARE(IncidentFormValues::peakHour(r), QStringLiteral("Peak hour: 16:02"));
    }

    void dailyLog()
    {
        // A past week shows numbers in all seven cells, zeros included; the current one dashes.
        const WeeklyReport past = week(kMonday, {0, 3, 0, 0, 1, 0, 0});
        QStringList counts;
        for (const IncidentFormValues::DailyCell &cell :
             IncidentFormValues::dailyLog(past, QLocale(QLocale::English)))
            counts << cell.count + (cell.worst ? QStringLiteral("!") : QString());
        QCOMPARE(counts, (QStringList{"0", "3!", "0", "0", "1", "0", "0"}));

        const WeeklyReport current = week(kMonday, {0, 3, 0, 0, 1, 0, 0}, 2);
        const QList<IncidentFormValues::DailyCell> cells =
            IncidentFormValues::dailyLog(current, QLocale(QLocale::English));
        QCOMPARE(cells.at(0).weekday, QStringLiteral("MON"));
        QCOMPARE(cells.at(1).count, QStringLiteral("3"));
        for (int i = 2; i < 7; ++i)
            QCOMPARE(cells.at(i).count, kDash);
    }

    void dashedLineStartsAtZero()
    {
        const QPainterPath path = ReportPieces::dashedLinePath(QRectF(50, 10, 100, 1));
        QCOMPARE(path.elementCount(), 2);
        QCOMPARE(QPointF(path.elementAt(0)), QPointF(0, 10.5));
        QCOMPARE(QPointF(path.elementAt(1)), QPointF(150, 10.5));
    }

    void verdictIsOneParagraph()
    {
        WeeklyReport r;
        r.verdict = QStringLiteral("Line one.\nLine two.");
        QCOMPARE(ReportPieces::verdictParagraph(r), QStringLiteral("Line one. Line two."));
    }
};

QTEST_GUILESS_MAIN(TestReportCardValues)
#include "tst_reportcardvalues.moc"

#include "features/report/ReportCard.h"
#include "features/report/cards/IncidentFormCard.h"
#include "features/report/cards/PosterStyle.h"
#include "features/report/cards/ReceiptCard.h"
#include "features/report/cards/ReceiptValues.h"
#include "support/IncidentFixtures.h"
#include "support/TriggerFixtures.h"
#include "ui/Fonts.h"
#include "ui/Theme.h"

#include <QFontInfo>
#include <QPainter>
#include <QtTest>

using Fixtures::at;
using Fixtures::incident;

namespace {

const QTimeZone kZone("Europe/Berlin");
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
constexpr qreal kScale = 2;
constexpr qreal kPad = 24; // the room the export leaves around a card

// A card drawn as the export draws it: on a transparent image with 24 points around it, at scale 2.
struct Rendered
{
    QImage image;

    QPoint device(QPointF point) const
    {
        return QPoint(int((point.x() + kPad) * kScale), int((point.y() + kPad) * kScale));
    }
    QColor at(QPointF point) const { return image.pixelColor(device(point)); }
};

Rendered render(const ReportCard &card)
{
    const QSizeF size = card.size();
    QImage image(qCeil((size.width() + 2 * kPad) * kScale), qCeil((size.height() + 2 * kPad) * kScale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kScale);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        card.paint(p, QPointF(kPad, kPad));
    }
    image.setDevicePixelRatio(1);
    return {image.convertToFormat(QImage::Format_ARGB32)};
}

QColor over(const QColor &under, const QColor &top)
{
    const qreal a = top.alphaF();
    return QColor::fromRgbF(under.redF() * (1 - a) + top.redF() * a,
                            under.greenF() * (1 - a) + top.greenF() * a,
                            under.blueF() * (1 - a) + top.blueF() * a);
}

bool near(const QColor &a, const QColor &b, int tolerance = 4)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("%1,%2,%3,%4").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

// A point inside `rect` that lies on none of the blueprint grid's lines.
QPointF clearOfGrid(const QRectF &rect)
{
    auto pick = [](qreal from, qreal to) {
        qreal best = (from + to) / 2, distance = -1;
        for (qreal v = from + 0.75; v <= to - 0.75; v += 0.5) {
            const qreal d = qAbs(std::remainder(v, 20.0));
            if (d > distance) {
                distance = d;
                best = v;
            }
        }
        return best;
    };
    return {pick(rect.left(), rect.right()), pick(rect.top(), rect.bottom())};
}

const QDateTime kNow = at(kZone, 2026, 6, 3, 15); // a Wednesday afternoon, week 23

// The built-in triggers and a custom one with a 200-character name.
QList<Trigger> triggers()
{
    QList<Trigger> list = Fixtures::builtInTriggers();
    list << Trigger::make(QStringLiteral("long"),
                          QString(QStringLiteral("Meetings ")).repeated(22) + QStringLiteral("ab"),
                          QStringLiteral("\U0001F4CE"), 20, false);
    return list;
}

WeeklyReport build(const QList<VorpEvent> &events, int weekOffset = 0, const QDateTime &now = kNow)
{
    return WeeklyReport::build(events, triggers(), weekOffset, now, Calendar(kZone));
}

// `count` incidents on each given day of the week of 1 June 2026.
QList<VorpEvent> onDays(const QList<int> &counts, const std::optional<QString> &trigger = std::nullopt,
                        const std::optional<QString> &app = std::nullopt)
{
    QList<VorpEvent> events;
    for (int d = 0; d < counts.size(); ++d)
        for (int i = 0; i < counts.at(d); ++i)
            events << incident(at(kZone, 2026, 6, 1 + d, 9 + i % 8, i % 60), trigger, app);
    return events;
}

// A lively week: triggers, applications, a note or two, last week for the change.
QList<VorpEvent> demoWeek()
{
    const QStringList triggers{"meeting", "email", "build", "code", "bug", "meeting", "people", "meeting"};
    const QStringList apps{"Slack", "Zoom", "Terminal", "Firefox", "Slack"};
    QList<VorpEvent> events;
    const QList<int> counts{6, 11, 3, 8, 5, 2, 0};
    int n = 0;
    for (int d = 0; d < counts.size(); ++d)
        for (int i = 0; i < counts.at(d); ++i, ++n)
            events << incident(at(kZone, 2026, 5, 25 + d, 9 + (n * 5) % 9, (n * 17) % 60),
                               n % 6 == 5 ? std::nullopt : std::optional(triggers.at(n % triggers.size())),
                               apps.at(n % apps.size()));
    for (int i = 0; i < 24; ++i)
        events << incident(at(kZone, 2026, 5, 18 + i % 5, 10 + i % 6), QStringLiteral("email"));
    return events;
}

const PosterStyle &styleOf(ReportTheme theme)
{
    switch (theme) {
    case ReportTheme::paper:
        return PosterStyle::paper();
    case ReportTheme::hazard:
        return PosterStyle::hazard();
    case ReportTheme::synthwave:
        return PosterStyle::synthwave();
    case ReportTheme::blueprint:
        return PosterStyle::blueprint();
    default:
        return PosterStyle::midnight();
    }
}

} // namespace

class TestReportCards : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(kEnglish);
        // As the export draws: light.
        m_light = std::make_unique<Theme::ScopedScheme>(ColorScheme::Light);
    }
    void cleanupTestCase() { m_light.reset(); }

    void faces_data()
    {
        QTest::addColumn<int>("design");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("family");
        QTest::newRow("condensed") << int(Fonts::Design::Condensed) << int(QFont::Black) << "Bebas Neue";
        QTest::newRow("serif") << int(Fonts::Design::Serif) << int(QFont::Black) << "Vollkorn";
        QTest::newRow("serif italic") << int(Fonts::Design::Serif) << int(QFont::DemiBold) << "Vollkorn";
        QTest::newRow("monospaced") << int(Fonts::Design::Monospaced) << int(QFont::ExtraBold)
                                    << "JetBrains Mono";
        QTest::newRow("handwriting") << int(Fonts::Design::Marker) << int(QFont::Normal) << "Comic Neue";
    }
    void faces()
    {
        QFETCH(int, design);
        QFETCH(int, weight);
        const QFont font = Fonts::font(20, QFont::Weight(weight), Fonts::Design(design));
        QTEST(QFontInfo(font).family(), "family");
    }

    void posterBars_data()
    {
        QTest::addColumn<QString>("theme");
        for (const char *name : {"midnight", "paper", "hazard", "synthwave", "blueprint"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void posterBars()
    {
        QFETCH(QString, theme);
        const ReportTheme t = *ReportThemes::fromRawValue(theme);
        // Tuesday is the worst day; Wednesday is today; Thursday on lie ahead.
        const WeeklyReport report = build(onDays({2, 5, 1}));
        const ReportCard card(report, t, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const CardDrawing &d = card.drawing();
        const PosterStyle &s = styleOf(t);

        QCOMPARE(card.size().width(), 440.0);
        QCOMPARE(d.part("bar.1").height(), 90.0);
        QCOMPARE(d.part("bar.0").height(), 36.0);
        QCOMPARE(d.part("bar.4").height(), 4.0);
        // Every bar stands on the same line.
        for (int i = 1; i < 7; ++i)
            QCOMPARE(d.part(QStringLiteral("bar.%1").arg(i)).bottom(), d.part("bar.0").bottom());

        const QColor worst = r.at(clearOfGrid(d.part("bar.1")));
        QVERIFY2(near(worst, s.accent), qPrintable(describe(worst)));
        const QColor today = r.at(clearOfGrid(d.part("bar.2")));
        const QColor expectedIdle = over(s.bg, s.barIdle);
        QVERIFY2(near(today, expectedIdle), qPrintable(describe(today) + " vs " + describe(expectedIdle)));
        QColor quarter = s.barIdle;
        quarter.setAlphaF(s.barIdle.alphaF() * 0.25);
        const QColor future = r.at(clearOfGrid(d.part("bar.5")));
        QVERIFY2(near(future, over(s.bg, quarter)), qPrintable(describe(future)));
    }

    // The total's digits are monospaced: totals of as many digits are as wide.
    void posterTotalHasFixedDigits()
    {
        auto totalWidth = [](int count) {
            const ReportCard card(build(onDays({count})), ReportTheme::paper, ButtonSkin::classic, kEnglish);
            return card.drawing().part("total").width();
        };
        const qreal ones = totalWidth(111);
        QVERIFY(ones > 100);
        QCOMPARE(totalWidth(888), ones);
        QCOMPARE(totalWidth(404), ones);
        QVERIFY(totalWidth(11) < ones);
    }

    void posterBackground_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("glow");
        QTest::addColumn<bool>("grid");
        QTest::newRow("midnight") << "midnight" << true << false;
        QTest::newRow("paper") << "paper" << false << false;
        QTest::newRow("hazard") << "hazard" << false << false;
        QTest::newRow("synthwave") << "synthwave" << true << false;
        QTest::newRow("blueprint") << "blueprint" << false << true;
    }
    void posterBackground()
    {
        QFETCH(QString, theme);
        QFETCH(bool, glow);
        QFETCH(bool, grid);
        const ReportTheme t = *ReportThemes::fromRawValue(theme);
        const ReportCard card(build({}), t, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const QRectF band = card.drawing().part("stripes.top");
        const QRectF content = card.drawing().part("content");
        QVERIFY(band.bottom() < 20 && content.top() > 40); // the bare background between them
        const QColor bg = styleOf(t).bg;
        // Off the grid lines: the background itself, unless the glow lies over it.
        QCOMPARE(near(r.at({30, 30}), bg, 6), !glow);
        const QColor centre = r.at({230, 30});
        QCOMPARE(!near(centre, bg, 6), glow);

        // The blueprint's lines every 20 points, both ways, the width's own edge included.
        int lines = 0;
        for (int x = 20; x < 440; x += 20) {
            const bool onLine = !near(r.at({qreal(x), 30}), r.at({qreal(x) + 10, 30}), 4);
            lines += onLine;
        }
        QCOMPARE(lines, grid ? 21 : 0);
        QCOMPARE(!near(r.at({30, 20}), r.at({30, 30}), 4), grid);
    }

    void receiptTeeth()
    {
        const ReportCard card(build(onDays({1, 2})), ReportTheme::receipt, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        QCOMPARE(card.size().width(), 380.0);
        auto runs = [&](qreal y) {
            int count = 0;
            bool inside = false;
            for (int x = r.device({0, y}).x(); x < r.device({380, y}).x(); ++x) {
                const bool paper = r.image.pixelColor(x, r.device({0, y}).y()).alpha() >= 250;
                count += paper && !inside;
                inside = paper;
            }
            return count;
        };
        QCOMPARE(runs(1), 42);
        QCOMPARE(runs(card.size().height() - 1), 42);
        // Between the teeth only the soft shadow shows.
        QVERIFY(r.at({0.5, 0.5}).alpha() < 60);
    }

    void receiptBarcode_data()
    {
        QTest::addColumn<int>("incidents");
        QTest::newRow("empty week") << 0;
        QTest::newRow("42 incidents") << 42;
    }
    void receiptBarcode()
    {
        QFETCH(int, incidents);
        QList<VorpEvent> events;
        for (int i = 0; i < incidents; ++i)
            events << incident(at(kZone, 2026, 6, 1, 8 + i % 10, i));
        const WeeklyReport report = build(events);
        const ReportCard card(report, ReportTheme::receipt, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const QRectF rect = card.drawing().part("barcode");
        QCOMPARE(rect.width(), 268.0);
        QCOMPARE(rect.height(), 46.0);
        const QList<ReceiptValues::BarSlot> bars =
            ReceiptValues::barcode(ReceiptValues::barcodeSeed(report), rect.width());
        QVERIFY(bars.size() > 40);
        const QColor paper(251, 250, 245);
        const int y = r.device({0, rect.center().y()}).y();
        for (const ReceiptValues::BarSlot &slot : bars) {
            const int x = r.device({rect.left() + slot.x, 0}).x();
            const QColor inSlot = r.image.pixelColor(x + slot.width, y);
            QVERIFY2(near(inSlot, slot.filled ? ReceiptCard::barColor() : paper, 8),
                     qPrintable(QStringLiteral("slot at %1: %2").arg(slot.x).arg(describe(inSlot))));
            const int gap = r.device({rect.left() + slot.x + slot.width, 0}).x();
            if (gap < r.device({rect.right(), 0}).x())
                QVERIFY2(near(r.image.pixelColor(gap, y), paper, 8), qPrintable(QString::number(slot.x)));
        }
    }

    void formSeverityTick_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("ticked");
        QTest::newRow("5") << 5 << 0;
        QTest::newRow("6") << 6 << 1;
        QTest::newRow("15") << 15 << 1;
        QTest::newRow("16") << 16 << 2;
        QTest::newRow("30") << 30 << 2;
        QTest::newRow("31") << 31 << 3;
    }
    void formSeverityTick()
    {
        QFETCH(int, total);
        QFETCH(int, ticked);
        QList<VorpEvent> events;
        for (int i = 0; i < total; ++i)
            events << incident(at(kZone, 2026, 5, 26, 8 + i % 12, i));
        const ReportCard card(build(events, -1), ReportTheme::incident, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        for (int i = 0; i < 4; ++i) {
            const QRectF box =
                card.drawing().part(QStringLiteral("check.%1").arg(i)).adjusted(2.5, 2.5, -2.5, -2.5);
            QVERIFY(!box.isEmpty());
            int pen = 0;
            for (int y = r.device(box.topLeft()).y(); y < r.device(box.bottomRight()).y(); ++y)
                for (int x = r.device(box.topLeft()).x(); x < r.device(box.bottomRight()).x(); ++x) {
                    const QColor c = r.image.pixelColor(x, y);
                    pen += c.blue() - c.red() > 60; // the pen's blue, far from the paper
                }
            QCOMPARE(pen > 0, i == ticked);
        }
    }

    // The tick is written by hand over its box, spilling out of the square, and never left to a
    // fallback face's neat X (no handwriting face has the ballot X).
    void formTickOverflowsItsBox()
    {
        const ReportCard card(build(onDays({3})), ReportTheme::incident, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const CardDrawing &d = card.drawing();
        const QRectF box = d.part("check.0");
        const QRectF tick = d.part("tick");
        QVERIFY(box.contains(tick.center()));
        QVERIFY2(tick.top() < box.top() - 1 && tick.right() > box.right(),
                 qPrintable(QStringLiteral("tick %1,%2 %3x%4")
                                .arg(tick.left())
                                .arg(tick.top())
                                .arg(tick.width())
                                .arg(tick.height())));
        for (const CardText &t : d.texts())
            QVERIFY2(!t.text.contains(QChar(0x2717)), "the tick is left to a font");
        auto pen = [](const QColor &c) { return c.blue() - c.red() > 60; };
        auto penIn = [&](const QRectF &rect) {
            int n = 0;
            for (int y = r.device(rect.topLeft()).y(); y < r.device(rect.bottomRight()).y(); ++y)
                for (int x = r.device(rect.topLeft()).x(); x < r.device(rect.bottomRight()).x(); ++x)
                    n += pen(r.image.pixelColor(x, y));
            return n;
        };
        // Ink inside the square, across its middle, and in the strip above it.
        QVERIFY(penIn(box.adjusted(3, 3, -3, -3)) > 0);
        QVERIFY(penIn(QRectF(box.left(), tick.top(), box.width() + 3, box.top() - 0.8 - tick.top())) > 0);
    }

    void formStampTurned()
    {
        const ReportCard card(build(onDays({3})), ReportTheme::incident, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const QRectF stamp = card.drawing().part("stamp");
        QVERIFY(stamp.width() > 60);
        QTransform turn;
        turn.translate(stamp.center().x(), stamp.center().y());
        turn.rotate(IncidentFormCard::kStampAngle);
        turn.translate(-stamp.center().x(), -stamp.center().y());
        auto red = [](const QColor &c) { return c.red() - c.blue() > 80 && c.red() - c.green() > 80; };
        // The frame's corners moved: the turned ones are red, the upright ones are not.
        for (const QPointF corner : {QPointF(stamp.left() + 2.5, stamp.top() + 2.5),
                                     QPointF(stamp.right() - 2.5, stamp.bottom() - 2.5)}) {
            QVERIFY2(red(r.at(turn.map(corner))), qPrintable(describe(r.at(turn.map(corner)))));
            QVERIFY2(!red(r.at(corner)), qPrintable(describe(r.at(corner))));
        }
        // It stays within the room the export leaves.
        const QRectF turned = turn.mapRect(stamp);
        QVERIFY(turned.right() < card.size().width() + kPad && turned.bottom() < card.size().height() + kPad);
    }

    void formDailyCells()
    {
        // The current week: Tuesday is worst; Thursday on lie ahead.
        const ReportCard card(build(onDays({1, 4, 2})), ReportTheme::incident, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const CardDrawing &d = card.drawing();
        const QRectF table = d.part("daily");
        for (int i = 0; i < 7; ++i) {
            const QRectF cell = d.part(QStringLiteral("daily.%1").arg(i));
            QVERIFY(table.contains(cell.center()));
            QCOMPARE(cell.width(), table.width() / 7);
        }
        auto inkOf = [&](const QRectF &rect, auto predicate) {
            int n = 0;
            for (int y = r.device(rect.topLeft()).y(); y < r.device(rect.bottomRight()).y(); ++y)
                for (int x = r.device(rect.topLeft()).x(); x < r.device(rect.bottomRight()).x(); ++x)
                    n += predicate(r.image.pixelColor(x, y));
            return n;
        };
        auto red = [](const QColor &c) { return c.red() - c.blue() > 100; };
        QVERIFY(inkOf(d.part("daily.1.count"), red) > 0);
        QCOMPARE(inkOf(d.part("daily.0.count"), red), 0);
        QCOMPARE(inkOf(d.part("daily.2.count"), red), 0);
    }

    void dayLettersFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("letters");
        const QStringList english{"M", "T", "W", "T", "F", "S", "S"};
        QTest::newRow("C") << QLocale::c() << english;
        QTest::newRow("POSIX") << QLocale(QStringLiteral("POSIX")) << english;
        QTest::newRow("en_US") << kEnglish << english;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << QStringList{"M", "D", "M", "D", "F", "S", "S"};
        QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France)
                               << QStringList{"L", "M", "M", "J", "V", "S", "D"};
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan)
                               << QStringList{"月", "火", "水", "木", "金", "土", "日"};
    }
    // The letters under the poster's and the tabloid's bars, Monday first.
    void dayLettersFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, letters);
        const WeeklyReport report = build(onDays({2, 5, 1}));
        for (ReportTheme theme : {ReportTheme::midnight, ReportTheme::tabloid}) {
            const ReportCard card(report, theme, ButtonSkin::classic, locale);
            const CardDrawing &d = card.drawing();
            const QRectF chart = d.part("chart");
            QStringList found;
            for (int i = 0; i < 7; ++i) {
                const QRectF bar = d.part(QStringLiteral("bar.%1").arg(i));
                for (const CardText &t : d.texts())
                    if (chart.contains(t.rect.center()) && t.rect.top() >= bar.bottom() &&
                        t.rect.center().x() >= bar.left() - 2 && t.rect.center().x() <= bar.right() + 2)
                        found << t.text;
            }
            QCOMPARE(found, letters);
        }
    }

    void cLocaleWritesEnglish_data()
    {
        QTest::addColumn<QString>("theme");
        for (ReportTheme t : ReportThemes::allCases())
            QTest::newRow(qPrintable(ReportThemes::rawValue(t))) << ReportThemes::rawValue(t);
    }
    // LANG=C.UTF-8 (containers, minimal systems): every date text on a card reads as in English;
    // no day or month turns into a number.
    void cLocaleWritesEnglish()
    {
        QFETCH(QString, theme);
        const ReportTheme t = *ReportThemes::fromRawValue(theme);
        const QList<VorpEvent> events = demoWeek();
        auto texts = [&](const QLocale &locale) {
            QLocale::setDefault(locale);
            const ReportCard card(build(events, -1), t, ButtonSkin::classic, locale);
            QStringList list;
            for (const CardText &text : card.drawing().texts())
                list << text.text;
            QLocale::setDefault(kEnglish);
            return list;
        };
        const QStringList english = texts(kEnglish);
        QVERIFY(english.size() > 20);
        QCOMPARE(texts(QLocale::c()), english);
    }

    void tabloidChart()
    {
        // One incident, on Monday of last week.
        const ReportCard card(build(onDays({1}), 0, at(kZone, 2026, 6, 9, 12)).days.isEmpty()
                                  ? build({})
                                  : build(onDays({1}), -1, at(kZone, 2026, 6, 9, 12)),
                              ReportTheme::tabloid, ButtonSkin::classic, kEnglish);
        const Rendered r = render(card);
        const CardDrawing &d = card.drawing();
        QCOMPARE(card.size().width(), 460.0);
        QCOMPARE(d.part("bar.0").height(), 80.0);
        QVERIFY2(near(r.at(d.part("bar.0").center()), QColor(0xE8, 0x32, 0x2B)),
                 qPrintable(describe(r.at(d.part("bar.0").center()))));
        QColor ink(20, 20, 20);
        ink.setAlphaF(0.8);
        for (int i = 1; i < 7; ++i) {
            const QRectF bar = d.part(QStringLiteral("bar.%1").arg(i));
            QCOMPARE(bar.height(), 2.0);
            QCOMPARE(bar.bottom(), d.part("bar.0").bottom());
            QVERIFY(near(r.at(bar.center()), over(QColor(242, 238, 227), ink), 8));
        }
        QVERIFY(d.part("chart").contains(d.part("bar.0")));
        QVERIFY(d.hasPart("peak"));
        QVERIFY(!ReportCard(build({}), ReportTheme::tabloid).drawing().hasPart("peak"));
    }

    void watermark()
    {
        const ReportCard card(build({}), ReportTheme::midnight, ButtonSkin::toxic, kEnglish);
        const CardDrawing &d = card.drawing();
        const QRectF button = d.part("watermark.button");
        QVERIFY(qAbs(button.width() - 20.15) < 1e-9);
        QVERIFY(qAbs(button.height() - 20.15) < 1e-9);
        bool found = false;
        for (const CardText &t : d.texts()) {
            if (t.text == QLatin1String("GRUMBLIX") && d.part("watermark").contains(t.rect.center())) {
                found = true;
                QCOMPARE(t.rect.left(), button.right() + 6);
                QCOMPARE(t.size, 13.0);
                QVERIFY(qAbs(t.rect.center().y() - button.center().y()) < 0.01);
            }
        }
        QVERIFY(found);
        // The user's skin: another skin draws another button.
        const ReportCard classic(build({}), ReportTheme::midnight, ButtonSkin::classic, kEnglish);
        const Rendered a = render(card), b = render(classic);
        const QRect px(a.device(button.topLeft()), a.device(button.bottomRight()));
        QVERIFY(a.image.copy(px) != b.image.copy(px));

        // Laid out while the app is dark, painted where the export forces light: drawn light.
        std::optional<ReportCard> early;
        {
            const Theme::ScopedScheme dark(ColorScheme::Dark);
            early.emplace(build({}), ReportTheme::midnight, ButtonSkin::toxic, kEnglish);
            early->size();
        }
        QCOMPARE(render(*early).image.copy(px), a.image.copy(px));
    }

    void anyWeekFits_data()
    {
        QTest::addColumn<QList<VorpEvent>>("events");
        QTest::addColumn<int>("weekOffset");
        QTest::addColumn<QDateTime>("now");
        QTest::newRow("empty") << QList<VorpEvent>{} << 0 << kNow;
        QTest::newRow("one incident") << onDays({0, 1}) << 0 << kNow;
        QTest::newRow("a thousand on one day")
            << onDays({1000}, QStringLiteral("meeting"), QStringLiteral("Slack")) << 0 << kNow;
        QList<VorpEvent> ten;
        const QStringList keys{"meeting", "email",      "build",      "code", "people",
                               "bug",     "management", "production", "wtf",  "other"};
        for (int i = 0; i < keys.size(); ++i)
            ten << onDays({i + 1}, keys.at(i), QStringLiteral("App %1").arg(i));
        QTest::newRow("ten triggers") << ten << 0 << kNow;
        const QString longName = QString(200, QLatin1Char('W'));
        QTest::newRow("200-character names")
            << onDays({3, 2}, QStringLiteral("deleted-trigger-") + QString(184, QLatin1Char('x')), longName)
            << 0 << kNow;
        QTest::newRow("200-character name with spaces")
            << onDays({3}, std::nullopt, QString(QStringLiteral("Wide Name ")).repeated(20)) << 0 << kNow;
        QTest::newRow("right-to-left app names")
            << onDays({2, 1}, QStringLiteral("code"),
                      QStringLiteral("\u05D3\u05E4\u05D3\u05E4\u05DF \u05D7\u05D3\u05E9"))
            << 0 << kNow;
        QTest::newRow("arabic app name")
            << onDays({1}, std::nullopt, QStringLiteral("\u0645\u062A\u0635\u0641\u062D")) << 0 << kNow;
        QTest::newRow("week 53") << QList<VorpEvent>{incident(at(kZone, 2026, 12, 30, 10),
                                                              QStringLiteral("bug"))}
                                 << 0 << at(kZone, 2027, 1, 2, 10);
        QTest::newRow("future days") << onDays({4, 1, 2}) << 0 << kNow;
        QTest::newRow("demo week") << demoWeek() << -1 << kNow;
    }
    void anyWeekFits()
    {
        QFETCH(QList<VorpEvent>, events);
        QFETCH(int, weekOffset);
        QFETCH(QDateTime, now);
        const WeeklyReport report = build(events, weekOffset, now);
        for (ReportTheme t : ReportThemes::allCases()) {
            const ReportCard card(report, t, ButtonSkin::classic, kEnglish);
            const QSizeF size = card.size();
            const QString name = ReportThemes::rawValue(t);
            QVERIFY2(size.height() > 400 && size.height() < 2000, qPrintable(name));
            const QRectF bounds = QRectF(QPointF(0, 0), size).adjusted(-0.5, -0.5, 0.5, 0.5);
            for (const CardText &text : card.drawing().texts())
                QVERIFY2(
                    bounds.contains(text.rect),
                    qPrintable(name + ": " + text.text.left(40) +
                               QStringLiteral(" at %1..%2").arg(text.rect.left()).arg(text.rect.right())));
            for (auto it = card.drawing().parts().cbegin(); it != card.drawing().parts().cend(); ++it)
                QVERIFY2(bounds.contains(it.value()), qPrintable(name + ": " + it.key()));
            const Rendered r = render(card);
            // Kept beside the demo week's looks for a person to check.
            const QString dir = QStringLiteral(GRUMBLIX_BINARY_DIR "/report-cards/weeks");
            QDir().mkpath(dir);
            r.image.save(dir + QStringLiteral("/%1-%2.png")
                                   .arg(QString::fromLatin1(QTest::currentDataTag())
                                            .replace(QLatin1Char(' '), QLatin1Char('-')),
                                        name));
            // Nothing is drawn beyond the room the export leaves; the corners stay clear.
            QCOMPARE(r.image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(r.image.pixelColor(r.image.width() - 1, r.image.height() - 1).alpha(), 0);
        }
    }

    void themesPickTheirCards_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QString>("part"); // a part only that card has
        QTest::newRow("midnight") << "midnight" << 440.0 << "tile.4";
        QTest::newRow("paper") << "paper" << 440.0 << "tile.4";
        QTest::newRow("hazard") << "hazard" << 440.0 << "tile.4";
        QTest::newRow("receipt") << "receipt" << 380.0 << "barcode";
        QTest::newRow("tabloid") << "tabloid" << 460.0 << "masthead";
        QTest::newRow("synthwave") << "synthwave" << 440.0 << "tile.4";
        QTest::newRow("blueprint") << "blueprint" << 440.0 << "tile.4";
        QTest::newRow("incident") << "incident" << 460.0 << "stamp";
    }
    void themesPickTheirCards()
    {
        QFETCH(QString, theme);
        const ReportCard card(build(demoWeek(), -1), *ReportThemes::fromRawValue(theme), ButtonSkin::classic,
                              kEnglish);
        QTEST(card.size().width(), "width");
        QFETCH(QString, part);
        QVERIFY(card.drawing().hasPart(part));
    }

    void valuesShrinkBeforeTheyElide()
    {
        // A long application name fits its tile and form box: shrunk to 60 %, then cut.
        const WeeklyReport report =
            build(onDays({2}, std::nullopt, QString(QStringLiteral("Slack ")).repeated(12)));
        const ReportCard poster(report, ReportTheme::paper, ButtonSkin::classic, kEnglish);
        const ReportCard form(report, ReportTheme::incident, ButtonSkin::classic, kEnglish);
        auto valueText = [](const ReportCard &card, const QString &part) {
            for (const CardText &t : card.drawing().texts())
                if (card.drawing().part(part).contains(t.rect.center()) && t.rect.height() > 10)
                    return t;
            return CardText{};
        };
        const CardText tile = valueText(poster, "tile.4.value");
        QVERIFY(tile.text.endsWith(QChar(0x2026)));
        QCOMPARE(tile.size, 19 * 0.6);
        QVERIFY(tile.rect.right() <= poster.drawing().part("tile.4").right() - 12 + 0.01);
        const CardText box = valueText(form, "field.5.value");
        QVERIFY(box.text.endsWith(QChar(0x2026)));
        QCOMPARE(box.size, 19 * 0.6);

        // A name that fits at a smaller size is shrunk, not cut.
        const WeeklyReport medium =
            build(onDays({2}, std::nullopt, QStringLiteral("Visual Studio Code Insiders")));
        const CardText fitted = valueText(
            ReportCard(medium, ReportTheme::incident, ButtonSkin::classic, kEnglish), "field.5.value");
        QCOMPARE(fitted.text, QStringLiteral("Visual Studio Code Insiders"));
        QVERIFY(fitted.size < 19 && fitted.size >= 19 * 0.6);
    }

    void demoWeekLooks()
    {
        // Every look of a lively week, written for a person to compare with the design.
        const QString dir = QStringLiteral(GRUMBLIX_BINARY_DIR "/report-cards");
        QVERIFY(QDir().mkpath(dir));
        const WeeklyReport report = build(demoWeek(), -1);
        for (ReportTheme t : ReportThemes::allCases()) {
            const ReportCard card(report, t, ButtonSkin::classic, kEnglish);
            const Rendered r = render(card);
            QVERIFY(
                r.image.save(dir + QLatin1Char('/') + ReportThemes::rawValue(t) + QStringLiteral(".png")));
        }
    }

private:
    std::unique_ptr<Theme::ScopedScheme> m_light;
};

QTEST_MAIN(TestReportCards)
#include "tst_reportcards.moc"

#include "features/report/cards/TabloidCard.h"

#include "features/report/cards/CardText.h"
#include "features/report/cards/ReportPieces.h"
#include "features/report/cards/TabloidValues.h"
#include "services/Copy.h"
#include "services/DateSkeleton.h"
#include "ui/Theme.h"

#include <QPainter>
#include <algorithm>

namespace {

using Fonts::Design;
using ReportPieces::faded;

constexpr qreal kInset = 26;
constexpr qreal kSpacing = 12;
constexpr qreal kLeftColumn = 170;

CardFont serif(qreal size, QFont::Weight weight, bool italic = false, qreal kerning = 0)
{
    return CardFont::make(size, weight, Design::Serif, kerning, italic);
}

} // namespace

TabloidCard::TabloidCard(const WeeklyReport &report, const QColor &ink, const QColor &newsprint,
                         ButtonSkin skin, const QLocale &locale)
    : m_report(report), m_ink(ink), m_newsprint(newsprint), m_skin(skin), m_locale(locale)
{
}

CardDrawing TabloidCard::layout() const
{
    const qreal x = kInset;
    const qreal w = kWidth - 2 * kInset;
    const QColor ink = m_ink;
    CardDrawing c;
    qreal y = kInset;

    // 1. Masthead
    {
        const qreal from = y;
        ReportPieces::fill(c, QRectF(x, y, w, 3), ink);
        y += 3 + 4;
        y += CardType::wrapped(c, serif(42, QFont::Black), ink, QStringLiteral("The Daily Grind"), x, y, w,
                               Qt::AlignHCenter);
        y += 4;
        const CardFont font = serif(9, QFont::Bold);
        const QString vol = QStringLiteral("VOL. ") + QString::number(ReportPieces::weekNumber(m_report));
        const QString price = QStringLiteral("PRICE: YOUR SANITY");
        const qreal h = font.height() + 6;
        const auto left = CardType::fit(font, vol, w / 3, 0.7);
        const auto right = CardType::fit(font, price, w / 3, 0.7);
        const qreal room = w - left.width - right.width - 16;
        const auto middle = CardType::fit(font, m_report.rangeText(), room, 0.7);
        CardType::line(c, left, ink, QPointF(x, y + 3));
        CardType::line(c, right, ink, QPointF(x + w - right.width, y + 3));
        // Equal spacers either side: centred between the two outer texts.
        const qreal gapLeft = x + left.width, gapRight = x + w - right.width;
        CardType::line(c, middle, ink, QPointF((gapLeft + gapRight - middle.width) / 2, y + 3));
        ReportPieces::fill(c, QRectF(x, y, w, 1), ink);
        ReportPieces::fill(c, QRectF(x, y + h - 1, w, 1), ink);
        y += h;
        c.setPart(QStringLiteral("masthead"), QRectF(x, from, w, y - from));
    }
    y += kSpacing;

    // 2.–4. Headline, subhead, rule
    {
        const qreal from = y;
        y += CardType::wrapped(c, CardFont::make(52, QFont::Black, Design::Condensed), ink,
                               Copy::headline(m_report), x, y, w, Qt::AlignLeft, -6);
        c.setPart(QStringLiteral("headline"), QRectF(x, from, w, y - from));
    }
    y += kSpacing;
    y += CardType::wrapped(c, serif(16, QFont::DemiBold, true), ink, Copy::subhead(m_report), x, y, w,
                           Qt::AlignLeft);
    y += kSpacing;
    ReportPieces::fill(c, QRectF(x, y, w, 1), ink);
    y += 1 + kSpacing;

    // 5. Chart and caption beside the story
    {
        const QRectF box(x, y, kLeftColumn, 110 + 16);
        ReportPieces::frame(c, box, 1, ink);
        c.setPart(QStringLiteral("chart"), box);
        const QRectF plot = box.adjusted(8, 8, -8, -8);
        const int days = int(m_report.days.size());
        const qreal colW = days > 0 ? (plot.width() - 5.0 * (days - 1)) / days : plot.width();
        const int most = TabloidValues::maxCount(m_report.days);
        const CardFont letterFont = serif(9, QFont::Bold);
        for (int i = 0; i < days; ++i) {
            const DayBucket &day = m_report.days.at(i);
            const qreal left = plot.left() + i * (colW + 5);
            const qreal letterTop = plot.bottom() - letterFont.height();
            const qreal h = TabloidValues::barHeight(day.count, most);
            const QRectF bar(left, letterTop - 3 - h, colW, h);
            const bool worst = m_report.worstDay && m_report.worstDay->date == day.date;
            ReportPieces::fill(c, bar, worst ? Theme::red.resolve(ColorScheme::Light) : faded(ink, 0.8));
            c.setPart(QStringLiteral("bar.%1").arg(i), bar);
            const auto letter = CardType::fit(
                letterFont, narrowDayName(day.date.date().dayOfWeek(), m_locale), colW + 4, 0.6);
            CardType::line(c, letter, ink, QPointF(left + (colW - letter.width) / 2, letterTop));
        }
        qreal leftBottom = box.bottom() + 6;
        leftBottom += CardType::wrapped(c, serif(9, QFont::Normal, true), ink,
                                        QStringLiteral("FIG. 1 \u2014 Suffering by day."), x, leftBottom,
                                        kLeftColumn, Qt::AlignLeft);

        const qreal rx = x + kLeftColumn + 16;
        const qreal rw = w - kLeftColumn - 16;
        qreal right = y;
        const qreal storyHeight =
            CardType::wrapped(c, serif(12, QFont::Normal), ink, TabloidValues::story(m_report, m_locale), rx,
                              right, rw, Qt::AlignLeft, 2);
        c.setPart(QStringLiteral("story"), QRectF(rx, right, rw, storyHeight));
        right += storyHeight;
        if (const auto chip = TabloidValues::peakChip(m_report)) {
            right += 8;
            const CardFont font = serif(11, QFont::Black);
            const auto text = CardType::fit(font, *chip, rw - 12, 0.7);
            const QRectF rect(rx, right, text.width + 12, font.height() + 6);
            ReportPieces::fill(c, rect, Theme::hazard.resolve(ColorScheme::Light));
            CardType::line(
                c, text, ink,
                QPointF(rect.left() + 6, rect.top() + 3 + (font.height() - text.font.height()) / 2));
            c.setPart(QStringLiteral("peak"), rect);
            right += rect.height();
        }
        y = qMax(leftBottom, right);
    }
    y += kSpacing;

    // 6. The boxed verdict
    {
        const qreal from = y;
        const qreal inner = w - 24;
        qreal iy = y + 12;
        iy += CardType::wrapped(c, serif(10, QFont::Black, false, 2), ink, QStringLiteral("FINAL VERDICT"),
                                x + 12, iy, inner, Qt::AlignHCenter);
        iy += 6;
        iy += CardType::wrapped(c, serif(17, QFont::DemiBold, true), ink,
                                QStringLiteral("\u201C") + ReportPieces::verdictParagraph(m_report) +
                                    QStringLiteral("\u201D"),
                                x + 12, iy, inner, Qt::AlignHCenter);
        y = iy + 12;
        const QRectF box(x, from, w, y - from);
        ReportPieces::frame(c, box, 2, ink);
        c.setPart(QStringLiteral("verdict"), box);
    }
    y += kSpacing;

    // 7. Footer, under a rule in the gap above it
    {
        ReportPieces::fill(c, QRectF(x, y - 6, w, 1), ink);
        y += 2;
        const CardFont byFont = serif(10, QFont::Normal, true);
        const CardFont byeFont = CardFont::make(14, QFont::Normal, Design::Marker);
        const QSizeF mark = ReportPieces::watermarkSize(12);
        const qreal h = std::max({byFont.height(), byeFont.height(), mark.height()});
        const QString by = QStringLiteral("Brought to you by");
        const qreal byW = byFont.width(by);
        CardType::line(c, byFont, ink, by, QPointF(x, y + (h - byFont.height()) / 2));
        ReportPieces::watermark(c, QPointF(x + byW + 8, y + (h - mark.height()) / 2), 12, ink, m_skin);
        const auto bye =
            CardType::fit(byeFont, QStringLiteral("See you Monday."), w - byW - mark.width() - 24, 0.7);
        CardType::line(c, bye, ink, QPointF(x + w - bye.width, y + (h - byeFont.height()) / 2));
        c.setPart(QStringLiteral("footer"), QRectF(x, y - 2, w, h + 2));
        y += h;
    }

    CardDrawing d = ReportPieces::paperSheet(QSizeF(kWidth, y + kInset), m_newsprint, faded(ink, 0.85));
    d.append(c);
    return d;
}

#include "features/report/cards/PosterCard.h"

#include "features/report/cards/CardText.h"
#include "features/report/cards/PosterValues.h"
#include "features/report/cards/ReportPieces.h"
#include "services/DateSkeleton.h"
#include "ui/HazardStripes.h"
#include "ui/Paint.h"

#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace {

using Fonts::Design;

constexpr qreal kBand = 14;
constexpr qreal kInset = 32;
constexpr qreal kRadius = 24;
constexpr qreal kBlockSpacing = 24;
constexpr qreal kChartHeight = 130;

using ReportPieces::faded;

// A centred line that wraps rather than leave the column.
qreal centred(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, qreal x,
              qreal y, qreal width)
{
    return CardType::wrapped(d, font, color, text, x, y, width, Qt::AlignHCenter);
}

constexpr qreal kGlowRadius = 360;
constexpr qreal kGridStep = 20;

// One 20-point cell of the grid at the device's resolution, its lines 1 wide centred on the cell's
// edges, crossings drawn once. Filling the card with it as a pattern draws every line of the grid,
// cut to the rounded corners, in one pass; stroking each line took longer than the rest of the card.
QBrush gridBrush(const QColor &color, qreal scale)
{
    const int n = qMax(1, qRound(kGridStep * scale));
    QImage cell(n, n, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    {
        QPainter cp(&cell);
        cp.setRenderHint(QPainter::Antialiasing);
        cp.setCompositionMode(QPainter::CompositionMode_Source);
        cp.scale(qreal(n) / kGridStep, qreal(n) / kGridStep);
        QPainterPath lines;
        lines.addRect(0, 0, 0.5, kGridStep);
        lines.addRect(kGridStep - 0.5, 0, 0.5, kGridStep);
        lines.addRect(0, 0, kGridStep, 0.5);
        lines.addRect(0, kGridStep - 0.5, kGridStep, 0.5);
        lines.setFillRule(Qt::WindingFill);
        cp.fillPath(lines.simplified(), color);
    }
    QBrush brush(cell);
    brush.setTransform(QTransform::fromScale(kGridStep / n, kGridStep / n));
    return brush;
}

} // namespace

PosterCard::PosterCard(const WeeklyReport &report, const PosterStyle &style, ButtonSkin skin,
                       const QLocale &locale)
    : m_report(report), m_style(style), m_skin(skin), m_locale(locale)
{
}

CardDrawing PosterCard::layout() const
{
    const PosterStyle &s = m_style;
    const qreal x = kInset;
    const qreal w = kWidth - 2 * kInset;
    CardDrawing c;
    qreal y = kBand + kInset;
    const qreal top = y;

    // Header
    y += centred(c, CardFont::make(12, QFont::ExtraBold, Design::Monospaced, 3), s.muted,
                 QStringLiteral("YOUR WEEK IN"), x, y, w);
    y += 6;
    y += centred(c, CardFont::make(54, QFont::Black, Design::Condensed), s.accent, QStringLiteral("GRUMBLIX"),
                 x, y, w);
    y += 6;
    y += centred(c, CardFont::make(12, QFont::Bold, Design::Monospaced, 2), faded(s.fg, 0.8),
                 m_report.rangeText(), x, y, w);
    y += kBlockSpacing;

    // Total and change
    {
        // Monospaced digits; a number too wide for the column is shrunk (a count is never cut).
        const CardFont totalFont = CardFont::make(96, QFont::Black, Design::Rounded);
        const QString number = QString::number(m_report.total);
        const qreal natural = CardType::figuresWidth(totalFont, number);
        const CardFont font = natural > w ? totalFont.scaled(qMax(0.4, w / natural)) : totalFont;
        const qreal width = CardType::figuresWidth(font, number);
        CardType::figures(c, font, s.fg, number,
                          QPointF(x + (w - width) / 2, y + (totalFont.height() - font.height()) / 2));
        c.setPart(QStringLiteral("total"), QRectF(x + (w - width) / 2, y, width, totalFont.height()));
        y += totalFont.height() + 8;
        y += centred(c, CardFont::make(11, QFont::ExtraBold, Design::Monospaced, 2.5), s.muted,
                     QStringLiteral("GRUMBLIX MOMENTS"), x, y, w);
        if (const auto chip = PosterValues::changeChip(m_report.changePercent())) {
            y += 8;
            const QColor color = chip->rising ? s.accent : s.good;
            const CardFont font = CardFont::make(12, QFont::Bold, Design::Rounded);
            const auto text = CardType::fit(font, chip->text, w - 20, 1.0);
            const QRectF rect(x + (w - text.width - 20) / 2, y, text.width + 20, font.height() + 8);
            ReportPieces::fill(c, rect, faded(color, 0.15), rect.height() / 2);
            CardType::line(c, text, color, QPointF(rect.left() + 10, rect.top() + 4));
            c.setPart(QStringLiteral("chip"), rect);
            y += rect.height();
        }
    }
    y += kBlockSpacing;

    // Day chart: columns share the width and stand on the chart's bottom edge.
    {
        const qreal bottom = y + kChartHeight;
        const int days = int(m_report.days.size());
        const qreal colW = days > 0 ? (w - 10.0 * (days - 1)) / days : w;
        const int most = PosterValues::maxCount(m_report.days);
        const CardFont countFont = CardFont::make(10, QFont::Bold, Design::Rounded);
        const CardFont letterFont = CardFont::make(11, QFont::ExtraBold, Design::Monospaced);
        for (int i = 0; i < days; ++i) {
            const DayBucket &day = m_report.days.at(i);
            const qreal left = x + i * (colW + 10);
            const bool worst = PosterValues::isWorst(m_report, day);
            const qreal letterTop = bottom - letterFont.height();
            const qreal h = PosterValues::barHeight(day.count, most);
            const QRectF bar(left, letterTop - 6 - h, colW, h);
            QColor fill = s.barIdle;
            switch (PosterValues::barFill(m_report, day)) {
            case PosterValues::BarFill::Worst:
                fill = s.accent;
                break;
            case PosterValues::BarFill::Future:
                fill = faded(s.barIdle, 0.25);
                break;
            case PosterValues::BarFill::Idle:
                break;
            }
            ReportPieces::fill(c, bar, fill, 5);
            c.setPart(QStringLiteral("bar.%1").arg(i), bar);
            const auto count = CardType::fit(countFont, PosterValues::countLabel(day.count), colW, 0.6);
            CardType::line(c, count, s.muted,
                           QPointF(left + (colW - count.width) / 2, bar.top() - 6 - countFont.height()));
            const auto letter =
                CardType::fit(letterFont, narrowDayName(day.date.date().dayOfWeek(), m_locale), colW, 0.6);
            CardType::line(c, letter, worst ? s.accent : s.muted,
                           QPointF(left + (colW - letter.width) / 2, letterTop));
        }
        c.setPart(QStringLiteral("chart"), QRectF(x, y, w, kChartHeight));
        y = bottom;
    }
    y += kBlockSpacing;

    // Tiles: two per row, the last across both columns; tiles of a row share its height.
    {
        const QList<PosterValues::Tile> tiles = PosterValues::tiles(m_report, m_locale);
        const CardFont labelFont = CardFont::make(9, QFont::ExtraBold, Design::Monospaced, 1.5);
        const CardFont valueFont = CardFont::make(19, QFont::ExtraBold, Design::Rounded);
        const CardFont noteFont = CardFont::make(11, QFont::Medium, Design::Rounded);
        auto tileHeight = [&](const PosterValues::Tile &t) {
            return 24 + labelFont.height() + 4 + valueFont.height() + (t.note ? 4 + noteFont.height() : 0);
        };
        const QList<QList<int>> rows{{0, 1}, {2, 3}, {4}};
        const qreal half = (w - 10) / 2;
        for (const QList<int> &row : rows) {
            qreal rowH = 0;
            for (int i : row)
                rowH = qMax(rowH, tileHeight(tiles.at(i)));
            for (int k = 0; k < row.size(); ++k) {
                const int i = row.at(k);
                const PosterValues::Tile &t = tiles.at(i);
                const QRectF rect(row.size() == 1 ? x : x + k * (half + 10), y, row.size() == 1 ? w : half,
                                  rowH);
                const QColor border = s.tileBorder.value_or(QColor());
                c.add([rect, fill = s.tileBg, border, hasBorder = s.tileBorder.has_value()](QPainter &p) {
                    Paint::roundedBox(p, rect, 12, fill, border, hasBorder ? 1.5 : 0);
                });
                const qreal inner = rect.width() - 24;
                qreal ty = rect.top() + 12;
                CardType::line(c, CardType::fit(labelFont, t.label.toUpper(), inner, 1.0), s.tileMuted,
                               QPointF(rect.left() + 12, ty));
                ty += labelFont.height() + 4;
                const auto value = CardType::fit(valueFont, t.value, inner, 0.6);
                const QRectF valueRect = CardType::line(
                    c, value, s.tileFg,
                    QPointF(rect.left() + 12, ty + (valueFont.height() - value.font.height()) / 2));
                c.setPart(QStringLiteral("tile.%1.value").arg(i), valueRect);
                ty += valueFont.height();
                if (t.note) {
                    ty += 4;
                    CardType::line(c, CardType::fit(noteFont, *t.note, inner, 1.0), s.tileMuted,
                                   QPointF(rect.left() + 12, ty));
                }
                c.setPart(QStringLiteral("tile.%1").arg(i), rect);
            }
            y += rowH + (row.size() == 1 ? 0 : 10);
        }
    }
    y += kBlockSpacing;

    // Verdict between dashed rules
    {
        const QColor rule = faded(s.muted, 0.5);
        const qreal from = y;
        ReportPieces::dashed(c, QRectF(x, y, w, 1), rule, {4, 4});
        y += 1 + 10;
        y += centred(c, CardFont::make(10, QFont::ExtraBold, Design::Monospaced, 2.5), s.muted,
                     QStringLiteral("FINAL VERDICT"), x, y, w);
        y += 10;
        y += centred(c, CardFont::make(22, QFont::DemiBold, Design::Serif, 0, true), s.fg,
                     QStringLiteral("\u201C") + m_report.verdict + QStringLiteral("\u201D"), x, y, w);
        y += 10;
        ReportPieces::dashed(c, QRectF(x, y, w, 1), rule, {4, 4});
        y += 1;
        c.setPart(QStringLiteral("verdict"), QRectF(x, from, w, y - from));
    }
    y += kBlockSpacing;

    // Footer
    {
        const CardFont font = CardFont::make(17, QFont::Normal, Design::Marker);
        const QSizeF mark = ReportPieces::watermarkSize(13);
        const qreal h = qMax(font.height(), mark.height());
        const auto bye = CardType::fit(font, QStringLiteral("See you Monday."), w - mark.width() - 8, 0.7);
        CardType::line(c, bye, faded(s.fg, 0.85), QPointF(x, y + (h - font.height()) / 2));
        ReportPieces::watermark(c, QPointF(x + w - mark.width(), y + (h - mark.height()) / 2), 13, s.muted,
                                m_skin);
        y += h;
    }
    c.setPart(QStringLiteral("content"), QRectF(x, top, w, y - top));

    const QSizeF size(kWidth, y + kInset + kBand);
    CardDrawing d;
    d.setSize(size);
    const QRectF card(QPointF(0, 0), size);
    const QPainterPath shape = Paint::roundedRect(card, kRadius);
    const QRectF topBand(0, 0, size.width(), kBand);
    const QRectF bottomBand(0, size.height() - kBand, size.width(), kBand);
    // Everything is cut to the rounded card without a clip path over the whole card, which would
    // cost more than the rest of the card together at scale 2.
    d.add([shape, card, s](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(s.bg);
        p.drawPath(shape);
        if (s.grid) {
            p.setPen(Qt::NoPen);
            p.setBrush(gridBrush(*s.grid, std::sqrt(qAbs(p.deviceTransform().determinant()))));
            p.drawPath(shape);
        }
        if (s.glow) {
            QRadialGradient glow(QPointF(card.width() / 2, 0), kGlowRadius);
            glow.setColorAt(0, *s.glow);
            glow.setColorAt(1, faded(*s.glow, 0));
            p.setClipRect(QRectF(0, 0, card.width(), kGlowRadius));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawPath(shape);
            p.setClipping(false);
        }
    });
    // The bands are the same on every card of a palette: drawn once, cut to the rounded corners.
    for (const QRectF &band : {topBand, bottomBand}) {
        const bool top = band.top() == 0;
        const QString key =
            QStringLiteral("poster-band:%1:%2:%3").arg(s.stripeA.rgba()).arg(s.stripeB.rgba()).arg(top);
        ReportPieces::cached(d, band, key, [band, s, top](QPainter &p) {
            // Only the band's own two corners matter: a card as tall as the band twice over.
            const QRectF corners(0, top ? 0 : band.bottom() - 2 * kRadius - band.height(), band.width(),
                                 2 * kRadius + band.height());
            p.setClipPath(Paint::roundedRect(corners, kRadius));
            paintHazardStripes(p, band, 12, s.stripeA, s.stripeB);
        });
    }
    d.setPart(QStringLiteral("stripes.top"), QRectF(0, 0, size.width(), kBand));
    d.setPart(QStringLiteral("stripes.bottom"), QRectF(0, size.height() - kBand, size.width(), kBand));
    d.append(c);
    d.add([size, border = s.border](QPainter &p) {
        p.setPen(QPen(border, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(Paint::roundedRect(QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1), kRadius - 1));
    });
    return d;
}

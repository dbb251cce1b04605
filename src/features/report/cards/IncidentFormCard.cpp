#include "features/report/cards/IncidentFormCard.h"

#include "features/report/cards/CardText.h"
#include "features/report/cards/IncidentFormValues.h"
#include "features/report/cards/ReportPieces.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {

using Fonts::Design;
using ReportPieces::faded;

constexpr qreal kInset = 28;
constexpr qreal kSpacing = 14;

CardFont mono(qreal size, QFont::Weight weight, qreal kerning = 0)
{
    return CardFont::make(size, weight, Design::Monospaced, kerning);
}

CardFont hand(qreal size)
{
    return CardFont::make(size, QFont::Normal, Design::Marker);
}

CardFont labelFont()
{
    return mono(8.5, QFont::Bold, 1.2);
}

// The tick over a check box: a hand-written ✗ as the handwriting face would write it at 17 points,
// raised by 1 and overflowing the 13-point square. No handwriting face has U+2717, and a fallback
// face draws a neat, upright X inside the box, so the mark is drawn as two pen strokes: a short
// one down to the right and a longer, swept one down to the left. Returns the rectangle it covers.
QRectF tickMark(CardDrawing &c, const QRectF &box, const QColor &pen)
{
    constexpr qreal kStroke = 1.9;
    const QPointF o = box.center() + QPointF(0.3, -1.5);
    QPainterPath marks;
    marks.moveTo(o + QPointF(-5.6, -5.8));
    marks.quadTo(o + QPointF(1.2, -1.2), o + QPointF(5.2, 6.6));
    marks.moveTo(o + QPointF(6.6, -8.4));
    marks.quadTo(o + QPointF(-1.2, -2.2), o + QPointF(-6.0, 6.9));
    c.add([marks, pen](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pen, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(marks);
    });
    const qreal half = kStroke / 2;
    return marks.boundingRect().adjusted(-half, -half, half, half);
}

} // namespace

IncidentFormCard::IncidentFormCard(const WeeklyReport &report, ButtonSkin skin, const QLocale &locale)
    : m_report(report), m_skin(skin), m_locale(locale)
{
}

CardDrawing IncidentFormCard::layout() const
{
    const qreal x = kInset;
    const qreal w = kWidth - 2 * kInset;
    const QColor ink = IncidentFormCard::ink();
    const QColor pen = IncidentFormCard::pen();
    const QColor red = Theme::red.resolve(ColorScheme::Light);
    CardDrawing c;
    qreal y = kInset;

    auto label = [&](const QString &text, qreal lx, qreal ly, qreal width) {
        return CardType::line(c, CardType::fit(labelFont(), text.toUpper(), width, 0.7), faded(ink, 0.75),
                              QPointF(lx, ly));
    };
    int fieldIndex = 0;
    auto fieldRow = [&](const QList<IncidentFormValues::Field> &row) {
        const qreal boxW = (w - 10.0 * (row.size() - 1)) / row.size();
        const CardFont valueFont = hand(19);
        const qreal h = 12 + labelFont().height() + 3 + valueFont.height();
        for (int k = 0; k < row.size(); ++k) {
            const QRectF box(x + k * (boxW + 10), y, boxW, h);
            label(row.at(k).label, box.left() + 8, box.top() + 6, boxW - 16);
            const auto value = CardType::fit(valueFont, row.at(k).value, boxW - 16, 0.6);
            const qreal vy = box.top() + 6 + labelFont().height() + 3;
            const QRectF valueRect = CardType::line(
                c, value, pen, QPointF(box.left() + 8, vy + (valueFont.height() - value.font.height()) / 2));
            ReportPieces::frame(c, box, 1.2, ink);
            c.setPart(QStringLiteral("field.%1").arg(fieldIndex), box);
            c.setPart(QStringLiteral("field.%1.value").arg(fieldIndex), valueRect);
            ++fieldIndex;
        }
        y += h;
    };
    const QList<QList<IncidentFormValues::Field>> rows = IncidentFormValues::fieldRows(m_report);

    // 1. Header, with the mark at the top right
    {
        const QSizeF mark = ReportPieces::watermarkSize(12);
        const qreal textW = w - mark.width() - 8;
        qreal ty = y;
        const CardFont dept = mono(9, QFont::Bold, 1.5);
        CardType::line(c, CardType::fit(dept, QStringLiteral("DEPARTMENT OF MINOR CATASTROPHES"), textW, 0.7),
                       ink, QPointF(x, ty));
        ty += dept.height() + 2;
        const CardFont title = CardFont::make(32, QFont::Bold, Design::Serif);
        CardType::line(c, CardType::fit(title, QStringLiteral("Incident Report"), textW, 0.7), ink,
                       QPointF(x, ty));
        ty += title.height() + 2;
        const CardFont form = mono(8.5, QFont::Medium, 1);
        CardType::line(
            c,
            CardType::fit(form, QStringLiteral("FORM GX-27B \u00B7 WEEKLY SUMMARY \u00B7 FILE IN TRIPLICATE"),
                          textW, 0.7),
            ink, QPointF(x, ty));
        ty += form.height();
        ReportPieces::watermark(c, QPointF(x + w - mark.width(), y), 12, ink, m_skin);
        y = qMax(ty, y + mark.height());
    }
    y += kSpacing;

    // 2. Rule
    ReportPieces::fill(c, QRectF(x, y, w, 2), ink);
    y += 2 + kSpacing;

    // 3.–4. Field rows
    fieldRow(rows.at(0));
    y += kSpacing;
    fieldRow(rows.at(1));
    y += kSpacing;

    // 5. Severity
    {
        label(QStringLiteral("Severity (check one)"), x, y, w);
        y += labelFont().height() + 6;
        const CardFont nameFont = mono(11, QFont::Medium);
        const qreal h = qMax<qreal>(13, nameFont.height());
        const int ticked = IncidentFormValues::severity(m_report.total);
        qreal ex = x;
        const QStringList names = IncidentFormValues::severityNames();
        for (int i = 0; i < names.size(); ++i) {
            const QRectF box(ex, y + (h - 13) / 2, 13, 13);
            ReportPieces::frame(c, box, 1.2, ink);
            c.setPart(QStringLiteral("check.%1").arg(i), box);
            const QRectF name = CardType::line(c, nameFont, ink, names.at(i),
                                               QPointF(box.right() + 5, y + (h - nameFont.height()) / 2));
            if (i == ticked)
                c.setPart(QStringLiteral("tick"), tickMark(c, box, pen));
            ex = name.right() + 14;
        }
        y += h;
    }
    y += kSpacing;

    // 6. Field row
    fieldRow(rows.at(2));
    y += kSpacing;

    // 7. Daily log
    {
        label(QStringLiteral("Daily log"), x, y, w);
        y += labelFont().height() + 6;
        const QList<IncidentFormValues::DailyCell> cells = IncidentFormValues::dailyLog(m_report, m_locale);
        const CardFont dayFont = mono(9, QFont::Bold);
        const CardFont countFont = hand(20);
        const qreal h = 12 + dayFont.height() + 4 + countFont.height();
        const int n = int(cells.size());
        const qreal cellW = n > 0 ? w / n : w;
        for (int i = 0; i < n; ++i) {
            const IncidentFormValues::DailyCell &cell = cells.at(i);
            const QRectF rect(x + i * cellW, y, cellW, h);
            const auto day = CardType::fit(dayFont, cell.weekday, cellW - 4, 0.7);
            CardType::line(c, day, ink, QPointF(rect.center().x() - day.width / 2, rect.top() + 6));
            const auto count = CardType::fit(countFont, cell.count, cellW - 4, 0.5);
            const QRectF countRect =
                CardType::line(c, count, cell.worst ? red : pen,
                               QPointF(rect.center().x() - count.width / 2,
                                       rect.top() + 6 + dayFont.height() + 4 +
                                           (countFont.height() - count.font.height()) / 2));
            ReportPieces::fill(c, QRectF(rect.right() - 1, rect.top(), 1, h), faded(ink, 0.5));
            c.setPart(QStringLiteral("daily.%1").arg(i), rect);
            c.setPart(QStringLiteral("daily.%1.count").arg(i), countRect);
        }
        const QRectF table(x, y, w, h);
        ReportPieces::frame(c, table, 1.2, ink);
        c.setPart(QStringLiteral("daily"), table);
        y += h;
    }
    y += kSpacing;

    // 8. Statement over three ruled lines
    {
        label(QStringLiteral("Statement of the reporting party"), x, y, w);
        y += labelFont().height() + 6;
        for (int i = 0; i < 3; ++i)
            ReportPieces::fill(c, QRectF(x, y + 24 + i * 24, w, 1), faded(ink, 0.25));
        const qreal h = CardType::wrapped(c, hand(19), pen, ReportPieces::verdictParagraph(m_report), x, y, w,
                                          Qt::AlignLeft, 4);
        const QRectF box(x, y, w, qMax<qreal>(64, h));
        c.setPart(QStringLiteral("statement"), box);
        y += box.height();
    }
    y += kSpacing;

    // 9. Signature and stamp, on one bottom line
    {
        const CardFont peakFont = hand(17);
        const CardFont caption = mono(7.5, QFont::Medium);
        const qreal signatureH = peakFont.height() + 2 + 1 + 2 + caption.height();
        const CardFont stampFont = mono(30, QFont::Black, 4);
        const QString filed = QStringLiteral("FILED");
        const QSizeF stampSize(stampFont.width(filed) + 24, stampFont.height() + 8);
        const qreal h = qMax(signatureH, stampSize.height());
        qreal sy = y + h - signatureH;
        const qreal signatureW = w - stampSize.width() - 8;
        CardType::line(c, CardType::fit(peakFont, IncidentFormValues::peakHour(m_report), signatureW, 0.7),
                       pen, QPointF(x, sy));
        sy += peakFont.height() + 2;
        ReportPieces::fill(c, QRectF(x, sy, 150, 1), ink);
        sy += 1 + 2;
        CardType::line(c, caption, ink, QStringLiteral("SIGNATURE OF A VERY TIRED PERSON"), QPointF(x, sy));
        c.setPart(QStringLiteral("signature"), QRectF(x, y + h - signatureH, signatureW, signatureH));

        const QRectF stamp(QPointF(x + w - stampSize.width(), y + h - stampSize.height()), stampSize);
        CardDrawing upright;
        const QColor ink80 = faded(red, 0.8);
        CardType::line(upright, stampFont, ink80, filed, QPointF(stamp.left() + 12, stamp.top() + 4));
        ReportPieces::frame(upright, stamp, 3, ink80, 4);
        c.add([stamp, upright](QPainter &p) {
            p.translate(stamp.center());
            p.rotate(kStampAngle);
            p.translate(-stamp.center());
            upright.paint(p, QPointF(0, 0));
        });
        c.setPart(QStringLiteral("stamp"), stamp);
        for (const CardText &t : upright.texts())
            c.addText(t);
        y += h;
    }

    CardDrawing d = ReportPieces::paperSheet(QSizeF(kWidth, y + kInset), paper(), faded(ink, 0.6));
    d.append(c);
    return d;
}

#include "features/report/cards/ReceiptCard.h"

#include "features/report/cards/CardText.h"
#include "features/report/cards/ReceiptValues.h"
#include "features/report/cards/ReportPieces.h"

#include <QPainter>

namespace {

using Fonts::Design;

constexpr qreal kSideInset = 26;
constexpr qreal kEndInset = 18;
constexpr qreal kSpacing = 10;

CardFont mono(qreal size, QFont::Weight weight, qreal kerning = 0)
{
    return CardFont::make(size, weight, Design::Monospaced, kerning);
}

} // namespace

ReceiptCard::ReceiptCard(const WeeklyReport &report, const QColor &ink, const QColor &paper, ButtonSkin skin,
                         const QLocale &locale)
    : m_report(report), m_ink(ink), m_paper(paper), m_skin(skin), m_locale(locale)
{
}

CardDrawing ReceiptCard::layout() const
{
    const qreal x = kSideInset;
    const qreal w = kWidth - 2 * kSideInset;
    const QColor ink = m_ink;
    CardDrawing c;
    qreal y = kEndInset;
    bool first = true;
    // Every item of the column sits 10 below the one before.
    auto next = [&]() {
        if (!first)
            y += kSpacing;
        first = false;
    };
    auto centred = [&](const CardFont &font, const QString &text) {
        next();
        y += CardType::wrapped(c, font, ink, text, x, y, w, Qt::AlignHCenter);
    };
    auto rule = [&](bool heavy) {
        next();
        ReportPieces::dashed(c, QRectF(x, y, w, 1), heavy ? ink : ReportPieces::faded(ink, 0.6),
                             heavy ? QList<qreal>{2, 2} : QList<qreal>{4, 4});
        y += 1;
    };
    auto section = [&](const QString &title) {
        next();
        const CardFont font = mono(10, QFont::ExtraBold, 2);
        CardType::line(c, CardType::fit(font, title, w, 1.0), ink, QPointF(x, y));
        y += font.height();
    };
    // Label, dotted leader and value on one baseline; the label gives way first.
    auto line = [&](const ReceiptValues::Line &l, const QString &part) {
        next();
        const CardFont labelFont = mono(12, QFont::Medium);
        const CardFont valueFont = mono(12, QFont::Bold);
        const auto value = CardType::fit(valueFont, l.value, w / 2, 0.7);
        const qreal labelRoom = w - value.width - 8;
        const auto label = CardType::fit(labelFont, l.label, labelRoom, 0.7);
        const qreal baseline = y + labelFont.ascent();
        CardType::line(c, label, ink, QPointF(x, baseline - label.font.ascent()));
        const QRectF valueRect =
            CardType::line(c, value, ink, QPointF(x + w - value.width, baseline - value.font.ascent()));
        const qreal leaderLeft = x + label.width + 4;
        const qreal leaderRight = valueRect.left() - 4;
        if (leaderRight > leaderLeft)
            ReportPieces::dashed(c, QRectF(leaderLeft, baseline + 2, leaderRight - leaderLeft, 1),
                                 ReportPieces::faded(ink, 0.35), {1, 3});
        const qreal h = labelFont.height();
        c.setPart(part, QRectF(x, y, w, h));
        c.setPart(part + QStringLiteral(".value"), valueRect);
        y += h;
    };

    // 1–5: the shop's header
    y += 10;
    next();
    const QSizeF mark = ReportPieces::watermarkSize(18);
    ReportPieces::watermark(c, QPointF(x + (w - mark.width()) / 2, y), 18, ink, m_skin);
    y += mark.height();
    centred(mono(10, QFont::Medium), QStringLiteral("SUPPLY CO. \u00B7 EST. MONDAY \u00B7 NO REFUNDS"));
    rule(false);
    centred(mono(12, QFont::Bold), QStringLiteral("WEEK ") +
                                       QString::number(ReportPieces::weekNumber(m_report)) +
                                       QStringLiteral(" \u00B7 ") + m_report.rangeText());
    {
        next();
        const CardFont font = mono(10, QFont::Medium);
        const auto cashier = CardType::fit(font, ReceiptValues::cashier(m_report), w, 0.7);
        c.setPart(QStringLiteral("cashier"),
                  CardType::line(
                      c, cashier, ink,
                      QPointF(x + (w - cashier.width) / 2, y + (font.height() - cashier.font.height()) / 2)));
        y += font.height();
    }
    rule(false);

    // 7–9: items
    section(QStringLiteral("ITEMS"));
    if (m_report.triggers.isEmpty())
        centred(mono(12, QFont::Bold), QStringLiteral("NOTHING. SUSPICIOUS."));
    const QList<ReceiptValues::Line> items = ReceiptValues::items(m_report);
    for (int i = 0; i < items.size(); ++i)
        line(items.at(i), QStringLiteral("item.%1").arg(i));
    rule(false);

    // 11–12: days
    section(QStringLiteral("DAILY BREAKDOWN"));
    const QList<ReceiptValues::Line> days = ReceiptValues::days(m_report, m_locale);
    for (int i = 0; i < days.size(); ++i)
        line(days.at(i), QStringLiteral("day.%1").arg(i));
    rule(false);

    // 14–16: summary
    const QList<ReceiptValues::Line> summary = ReceiptValues::summary(m_report);
    for (int i = 0; i < summary.size(); ++i)
        line(summary.at(i), QStringLiteral("summary.%1").arg(i));

    // 17–19: the total between heavy rules
    rule(true);
    {
        next();
        const CardFont labelFont = mono(15, QFont::ExtraBold);
        const CardFont totalFont = mono(24, QFont::ExtraBold);
        const qreal h = qMax(labelFont.height(), totalFont.height());
        const auto total = CardType::fit(totalFont, QString::number(m_report.total), w / 2, 0.5);
        const auto label =
            CardType::fit(labelFont, QStringLiteral("TOTAL VORPS GIVEN"), w - total.width - 8, 0.7);
        CardType::line(c, label, ink, QPointF(x, y + (h - label.font.height()) / 2));
        c.setPart(
            QStringLiteral("total"),
            CardType::line(c, total, ink, QPointF(x + w - total.width, y + (h - total.font.height()) / 2)));
        y += h;
    }
    rule(true);

    // 20: the verdict, 4 extra above and below
    {
        next();
        y += 4;
        const qreal from = y;
        y += CardType::wrapped(c, mono(11, QFont::Bold), ink,
                               ReportPieces::verdictParagraph(m_report).toUpper(), x, y, w, Qt::AlignHCenter);
        c.setPart(QStringLiteral("verdict"), QRectF(x, from, w, y - from));
        y += 4;
    }

    // 21–23: barcode, number and thanks
    {
        next();
        const QRectF rect(x + 30, y, w - 60, 46);
        const QList<ReceiptValues::BarSlot> bars =
            ReceiptValues::barcode(ReceiptValues::barcodeSeed(m_report), rect.width());
        c.add([rect, bars](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(barColor());
            for (const ReceiptValues::BarSlot &slot : bars) {
                if (slot.filled)
                    p.drawRect(QRectF(rect.left() + slot.x, rect.top(), slot.width, rect.height()));
            }
        });
        c.setPart(QStringLiteral("barcode"), rect);
        y += rect.height();
    }
    {
        next();
        const qreal from = y;
        y += CardType::wrapped(c, mono(9, QFont::Medium), ink, ReceiptValues::receiptNumber(m_report), x, y,
                               w, Qt::AlignHCenter);
        c.setPart(QStringLiteral("number"), QRectF(x, from, w, y - from));
    }
    {
        next();
        const CardFont font = mono(10, QFont::Bold);
        y += CardType::wrapped(c, font, ink, QStringLiteral("THANK YOU FOR YOUR PATIENCE"), x, y, w,
                               Qt::AlignHCenter);
        y += CardType::wrapped(c, font, ink, QStringLiteral("PLEASE COME AGAIN (YOU WILL)"), x, y, w,
                               Qt::AlignHCenter);
        y += 14;
    }

    const QSizeF size(kWidth, y + kEndInset);
    CardDrawing d;
    d.setSize(size);
    const QPainterPath paper = ReceiptValues::tornEdges(size, kTooth);
    ReportPieces::dropShadow(d, paper, size, QStringLiteral("receipt-shadow"));
    d.add([paper, fill = m_paper](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(paper);
    });
    d.setPart(QStringLiteral("paper"), QRectF(QPointF(0, 0), size));
    d.append(c);
    return d;
}

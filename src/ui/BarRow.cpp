#include "ui/BarRow.h"

#include "ui/FixedDigits.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal kSpacing = 8;
constexpr qreal kBarHeight = 5;
constexpr qreal kBarGap = 5;

QFont rankFont()
{
    return Fonts::mono(12, QFont::Bold);
}
QFont nameFont()
{
    return Fonts::rounded(13, QFont::DemiBold);
}
QFont detailFont()
{
    return Fonts::rounded(11, QFont::DemiBold);
}
QFont countFont()
{
    return Fonts::rounded(14, QFont::ExtraBold);
}

} // namespace

void paintRankBar(QPainter &p, const QRectF &rect, double fraction, bool highlight)
{
    const qreal r = rect.height() / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::grid.resolve());
    p.drawRoundedRect(rect, r, r);
    const qreal width = qMax<qreal>(rect.width() * fraction, 4);
    p.setBrush((highlight ? Theme::red : Theme::ink.opacity(0.75)).resolve());
    p.drawRoundedRect(QRectF(rect.left(), rect.top(), width, rect.height()), r, r);
    p.restore();
}

BarRow::BarRow(std::optional<int> rank, QWidget *leading, const QString &name, int count, double fraction,
               bool highlight, const std::optional<QString> &detail, QWidget *parent)
    : QWidget(parent), m_rank(rank), m_leading(leading), m_name(name), m_count(count), m_fraction(fraction),
      m_highlight(highlight), m_detail(detail)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (m_leading)
        m_leading->setParent(this);
}

qreal BarRow::lineHeight() const
{
    qreal h = QFontMetricsF(countFont()).height();
    h = qMax(h, QFontMetricsF(nameFont()).height());
    if (m_leading)
        h = qMax<qreal>(h, m_leading->sizeHint().height());
    return h;
}

BarRow::Layout BarRow::layoutFor(qreal width) const
{
    Layout l;
    const qreal line = lineHeight();
    qreal x = 0;
    if (m_rank) {
        l.rank = QRectF(x, 0, 20, line);
        x += 20 + kSpacing;
    }
    if (m_leading) {
        const QSize s = m_leading->sizeHint();
        l.leading = QRectF(x, (line - s.height()) / 2, s.width(), s.height());
        x += s.width() + kSpacing;
    }
    const QString countText = QString::number(m_count);
    const qreal countWidth = FixedDigits::layout(countFont(), countText).width;
    l.count = QRectF(width - countWidth, 0, countWidth, line);
    // Spacing, the 4-point minimum spacer, spacing: never less than 20 between texts and count.
    const qreal textEnd = l.count.left() - kSpacing - 4 - kSpacing;
    const qreal detailWidth =
        m_detail ? qCeil(QFontMetricsF(detailFont()).horizontalAdvance(*m_detail)) : 0.0;
    const qreal nameWanted = qCeil(QFontMetricsF(nameFont()).horizontalAdvance(m_name));
    const qreal room = textEnd - x - (m_detail ? detailWidth + kSpacing : 0.0);
    const qreal nameWidth = qMax<qreal>(0, qMin(nameWanted, room));
    l.name = QRectF(x, 0, nameWidth, line);
    x += nameWidth;
    if (m_detail) {
        x += kSpacing;
        l.detail = QRectF(x, 0, qMax<qreal>(0, qMin(detailWidth, textEnd - x)), line);
    }
    l.bar = QRectF(0, line + kBarGap, width, kBarHeight);
    return l;
}

void BarRow::setValues(int count, double fraction, bool highlight, const std::optional<QString> &detail)
{
    if (count == m_count && fraction == m_fraction && highlight == m_highlight && detail == m_detail)
        return;
    m_count = count;
    m_fraction = fraction;
    m_highlight = highlight;
    m_detail = detail;
    update();
}

QRectF BarRow::nameRect() const
{
    return layoutFor(width()).name;
}
QRectF BarRow::countRect() const
{
    return layoutFor(width()).count;
}
QRectF BarRow::barRect() const
{
    return layoutFor(width()).bar;
}

QSize BarRow::sizeHint() const
{
    return QSize(280, qCeil(lineHeight() + kBarGap + kBarHeight));
}

QSize BarRow::minimumSizeHint() const
{
    return QSize(120, sizeHint().height());
}

void BarRow::resizeEvent(QResizeEvent *)
{
    if (m_leading)
        m_leading->setGeometry(layoutFor(width()).leading.toAlignedRect());
}

void BarRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Layout l = layoutFor(width());
    if (m_rank) {
        p.setFont(rankFont());
        p.setPen(Theme::dim.resolve());
        p.drawText(l.rank, Qt::AlignLeft | Qt::AlignVCenter, QString::number(*m_rank) + QLatin1Char('.'));
    }
    p.setFont(nameFont());
    p.setPen(Theme::ink.resolve());
    p.drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(nameFont()).elidedText(m_name, Qt::ElideRight, l.name.width() + 0.5));
    if (m_detail) {
        p.setFont(detailFont());
        p.setPen(Theme::dim.resolve());
        p.drawText(l.detail, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(detailFont()).elidedText(*m_detail, Qt::ElideRight, l.detail.width() + 0.5));
    }
    p.setFont(countFont());
    p.setPen(Theme::ink.resolve());
    FixedDigits::draw(p, l.count, Qt::AlignRight | Qt::AlignVCenter, QString::number(m_count));
    paintRankBar(p, l.bar, m_fraction, m_highlight);
}

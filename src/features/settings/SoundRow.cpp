#include "features/settings/SoundRow.h"

#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal kPadX = 10, kPadY = 7, kSpacing = 10, kRadio = 16, kSpeaker = 11;

QFont labelFont()
{
    return Fonts::rounded(13, QFont::Bold);
}

QFont subtitleFont()
{
    return Fonts::rounded(11, QFont::Medium);
}

} // namespace

qreal soundRowHeight()
{
    return kPadY + QFontMetricsF(labelFont()).height() + 1 + QFontMetricsF(subtitleFont()).height() + kPadY;
}

void paintSoundRow(QPainter &p, const QRectF &row, SoundChoice choice, bool selected)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (selected)
        Paint::roundedBox(p, row, 9, Theme::well, Qt::transparent, 0);

    const qreal midY = row.center().y();
    qreal x = row.left() + kPadX;
    Icons::paint(p, QRectF(x, midY - kRadio / 2, kRadio, kRadio),
                 selected ? QStringLiteral("largecircle.fill.circle") : QStringLiteral("circle"),
                 selected ? QColor(Theme::red) : QColor(Theme::faint));
    x += kRadio + kSpacing;

    qreal right = row.right() - kPadX;
    if (choice != SoundChoice::off) {
        Icons::paint(p, QRectF(right - kSpeaker, midY - kSpeaker / 2, kSpeaker, kSpeaker),
                     QStringLiteral("speaker.wave.2.fill"), Theme::faint);
        right -= kSpeaker + kSpacing;
    }

    const QFontMetricsF labelMetrics(labelFont());
    const QFontMetricsF subtitleMetrics(subtitleFont());
    const qreal width = std::max<qreal>(0, right - x);
    qreal y = row.top() + kPadY;
    p.setFont(labelFont());
    p.setPen(QColor(Theme::ink));
    p.drawText(QRectF(x, y, width, labelMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
               labelMetrics.elidedText(label(choice), Qt::ElideRight, width));
    y += labelMetrics.height() + 1;
    p.setFont(subtitleFont());
    p.setPen(QColor(Theme::dim));
    p.drawText(QRectF(x, y, width, subtitleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
               subtitleMetrics.elidedText(subtitle(choice), Qt::ElideRight, width));
    p.restore();
}

SoundRow::SoundRow(SoundChoice choice, bool selected, QWidget *parent)
    : HoverButton(parent), m_choice(choice), m_selected(selected)
{
    setAccessibleName(label(choice));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

void SoundRow::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

QSize SoundRow::sizeHint() const
{
    const qreal text = std::max(QFontMetricsF(labelFont()).horizontalAdvance(label(m_choice)),
                                QFontMetricsF(subtitleFont()).horizontalAdvance(subtitle(m_choice)));
    return {qCeil(kPadX + kRadio + kSpacing + text + kSpacing + kSpeaker + kPadX), qCeil(soundRowHeight())};
}

QSize SoundRow::minimumSizeHint() const
{
    return {qCeil(kPadX + kRadio + kSpacing + 60 + kPadX), qCeil(soundRowHeight())};
}

void SoundRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintSoundRow(p, QRectF(rect()), m_choice, m_selected);
    if (hasFocus())
        Paint::focusRing(p, QRectF(rect()), 9);
}

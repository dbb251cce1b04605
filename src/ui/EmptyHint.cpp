#include "ui/EmptyHint.h"

#include "ui/Fonts.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {
constexpr int kVertical = 18;
QFont hintFont()
{
    // The handwriting face stands in for a marker pen.
    return Fonts::marker(15, QFont::Bold);
}
} // namespace

EmptyHint::EmptyHint(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void EmptyHint::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

QSize EmptyHint::sizeHint() const
{
    const QFontMetricsF fm(hintFont());
    return QSize(qCeil(fm.horizontalAdvance(m_text)), qCeil(fm.height()) + 2 * kVertical);
}

int EmptyHint::heightForWidth(int width) const
{
    const QFontMetricsF fm(hintFont());
    const QRectF r =
        fm.boundingRect(QRectF(0, 0, qMax(1, width), 1e6), Qt::TextWordWrap | Qt::AlignHCenter, m_text);
    return qCeil(r.height()) + 2 * kVertical;
}

void EmptyHint::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(hintFont());
    p.setPen(QColor(Theme::dim));
    p.drawText(rect().adjusted(0, kVertical, 0, -kVertical), Qt::AlignCenter | Qt::TextWordWrap, m_text);
}

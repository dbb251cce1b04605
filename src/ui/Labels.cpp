#include "ui/Labels.h"

#include "ui/Fonts.h"
#include "ui/Paint.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

namespace {

QFont tapeFont()
{
    return Fonts::tracked(Fonts::mono(11, QFont::ExtraBold), 1.8);
}

QSizeF capSize(const QString &key, qreal size)
{
    const QFontMetricsF fm(Fonts::rounded(size, QFont::Bold));
    const qreal side = size * 1.7;
    const qreal pad = key.size() > 1 ? 4 : 0;
    return {qMax(side, fm.horizontalAdvance(key)) + 2 * pad, qMax(side, fm.height())};
}

} // namespace

QSizeF rotatedSize(const QSizeF &size, qreal degrees)
{
    const qreal r = qDegreesToRadians(degrees);
    const qreal c = qAbs(qCos(r)), s = qAbs(qSin(r));
    return {size.width() * c + size.height() * s, size.width() * s + size.height() * c};
}

QSizeF tapeLabelSize(const QString &text)
{
    const QFontMetricsF fm(tapeFont());
    const qreal textWidth = text.isEmpty() ? 0 : fm.horizontalAdvance(text.toUpper());
    return {textWidth + 18, fm.height() + 8};
}

void paintTapeLabel(QPainter &p, const QPointF &center, const QString &text, qreal tilt, const QColor &color)
{
    const QFont font = tapeFont();
    const QSizeF size = tapeLabelSize(text);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(center);
    p.rotate(tilt);
    const QRectF strip(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    const QPainterPath shape = Paint::roundedRect(strip, 3);
    p.fillPath(shape, color);
    QLinearGradient sheen(strip.topLeft(), strip.bottomLeft());
    sheen.setColorAt(0, QColor(255, 255, 255, 31));
    sheen.setColorAt(0.5, QColor(0, 0, 0, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 51));
    p.fillPath(shape, sheen);
    p.setFont(font);
    const QString upper = text.toUpper();
    const QRectF textRect = strip.adjusted(9, 0, 0, 0);
    p.setPen(QColor(255, 255, 255, 64));
    p.drawText(textRect.translated(0, -0.5), Qt::AlignLeft | Qt::AlignVCenter, upper);
    p.setPen(QColor(255, 255, 255, 240));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, upper);
    p.restore();
}

QSizeF keyCapsSize(const QStringList &keys, qreal size)
{
    qreal w = 0, h = size * 1.7;
    for (const QString &k : keys) {
        const QSizeF s = capSize(k, size);
        w += s.width();
        h = qMax(h, s.height());
    }
    if (keys.size() > 1)
        w += 3 * (keys.size() - 1);
    return {w, h + 2}; // + the slab below
}

void paintKeyCaps(QPainter &p, const QPointF &topLeft, const QStringList &keys, qreal size)
{
    const QFont font = Fonts::rounded(size, QFont::Bold);
    const qreal height = keyCapsSize(keys, size).height() - 2;
    qreal x = topLeft.x();
    p.save();
    p.setFont(font);
    for (const QString &k : keys) {
        const QSizeF s = capSize(k, size);
        const QRectF cap(x, topLeft.y() + (height - s.height()) / 2, s.width(), s.height());
        Paint::slab(p, cap, 5, QPointF(0, 2), Theme::shadow);
        Paint::roundedBox(p, cap, 5, Theme::well, Theme::stroke, 1);
        p.setPen(QColor(Theme::ink));
        p.drawText(cap, Qt::AlignCenter, k);
        x += s.width() + 3;
    }
    p.restore();
}

QFont captionFont()
{
    return Fonts::tracked(Fonts::mono(10, QFont::ExtraBold), 1.4);
}

TapeLabel::TapeLabel(const QString &text, qreal tilt, ThemeColor color, QWidget *parent)
    : SnugWidget(parent), m_text(text), m_tilt(tilt), m_color(color)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TapeLabel::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

void TapeLabel::setTilt(qreal tilt)
{
    m_tilt = tilt;
    updateGeometry();
    update();
}

void TapeLabel::setColor(ThemeColor color)
{
    m_color = color;
    update();
}

QSize TapeLabel::sizeHint() const
{
    const QSizeF turned = rotatedSize(tapeLabelSize(m_text), m_tilt);
    return QSize(qCeil(turned.width()) + 2, qCeil(turned.height()) + 2);
}

void TapeLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintTapeLabel(p, QRectF(rect()).center(), m_text, m_tilt, m_color);
}

KeyCaps::KeyCaps(const QStringList &keys, qreal size, QWidget *parent)
    : SnugWidget(parent), m_keys(keys), m_size(size)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KeyCaps::setKeys(const QStringList &keys)
{
    m_keys = keys;
    updateGeometry();
    update();
}

QSize KeyCaps::sizeHint() const
{
    const QSizeF s = keyCapsSize(m_keys, m_size);
    return QSize(qCeil(s.width()), qCeil(s.height()));
}

void KeyCaps::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintKeyCaps(p, QPointF(0, 0), m_keys, m_size);
}

Caption::Caption(const QString &text, QWidget *parent) : SnugWidget(parent), m_text(text)
{
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Caption::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

QSize Caption::sizeHint() const
{
    const QFontMetricsF fm(captionFont());
    return QSize(qCeil(fm.horizontalAdvance(m_text.toUpper())), qCeil(fm.height()));
}

void Caption::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(captionFont());
    p.setPen(QColor(Theme::dim));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_text.toUpper());
}

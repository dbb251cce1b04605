#include "ui/MiniButton.h"

#include "ui/Blur.h"
#include "ui/EStopDrawing.h"
#include "ui/Fonts.h"
#include "ui/HazardStripes.h"
#include "ui/HeavyText.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

void paintMiniButton(QPainter &p, const QRectF &rect, const ButtonSkin::Palette &palette, const QColor &ink)
{
    const qreal size = qMin(rect.width(), rect.height());
    if (size <= 0)
        return;
    const QRectF frame(rect.center().x() - size / 2, rect.center().y() - size / 2, size, size);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    // Ring
    paintHazardEllipse(p, frame, 0.12 * size, palette.collarA, palette.collarB);
    QPen outline(ink, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    outline.setMiterLimit(10);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(frame.adjusted(0.6, 0.6, -0.6, -0.6));

    // Cap with its soft shadow
    const qreal d = 0.66 * size;
    const QRectF cap(frame.center().x() - d / 2, frame.center().y() - d / 2, d, d);
    Blur::paintBlurred(
        p, cap.translated(0, 1), 1.0,
        [cap](QPainter &lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(QColor(0, 0, 0, qRound(0.35 * 255)));
            lp.drawEllipse(cap.translated(0, 1));
        },
        QStringLiteral("mini-cap-shadow"));
    p.setPen(Qt::NoPen);
    p.setBrush(capGradient(QPointF(cap.left() + 0.38 * d, cap.top() + 0.32 * d), 0.4 * size, palette));
    p.drawEllipse(cap);
    QPen capLine(QColor(0, 0, 0, qRound(0.4 * 255)), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(capLine);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(cap.adjusted(0.5, 0.5, -0.5, -0.5));

    // Mark, from a path so that fractional sizes keep their proportions
    constexpr qreal kBase = 100.0;
    const QFont font = Fonts::rounded(kBase, QFont::Black);
    // Thickening merges outlines, too costly for every frame; the mark never changes.
    static const QPainterPath mark = [&font] {
        QPainterPath letters;
        letters.addText(QPointF(0, 0), font, QStringLiteral("V!"));
        return HeavyText::thickened(letters, Fonts::syntheticStroke(font));
    }();
    const qreal k = 0.24 * size / kBase;
    const QFontMetricsF fm(font);
    const QRectF box(0, -fm.ascent(), fm.horizontalAdvance(QStringLiteral("V!")), fm.height());
    p.translate(frame.center());
    p.scale(k, k);
    p.translate(-box.center());
    p.setPen(Qt::NoPen);
    p.setBrush(palette.label);
    p.drawPath(mark);
    p.restore();
}

MiniButton::MiniButton(qreal size, ButtonSkin skin, QWidget *parent)
    : QWidget(parent), m_size(size), m_skin(skin)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(sizeHint());
}

void MiniButton::setSkin(ButtonSkin skin)
{
    if (m_skin == skin)
        return;
    m_skin = skin;
    update();
}

QSize MiniButton::sizeHint() const
{
    return QSize(qCeil(m_size), qCeil(m_size));
}

void MiniButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintMiniButton(p, QRectF(0, 0, m_size, m_size), m_skin.palette(), Theme::ink);
}

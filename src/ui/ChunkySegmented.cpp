#include "ui/ChunkySegmented.h"

#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {
QFont segmentFont()
{
    return Fonts::rounded(12, QFont::Bold);
}
} // namespace

ChunkySegmented::ChunkySegmented(const QStringList &labels, int selection, QWidget *parent)
    : QWidget(parent), m_labels(labels), m_selection(selection), m_blend(new SpringAnimator(0.5, 0.85, this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    m_blend->jumpTo(1.0);
    connect(m_blend, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
}

void ChunkySegmented::setLabels(const QStringList &labels)
{
    m_labels = labels;
    updateGeometry();
    update();
}

void ChunkySegmented::setSelection(int index)
{
    if (m_selection == index)
        return;
    m_selection = index;
    m_blend->jumpTo(1.0);
    update();
}

QList<QRectF> ChunkySegmented::segmentRects() const
{
    const QFontMetricsF fm(segmentFont());
    const qreal h = qCeil(fm.height()) + 12;
    QList<QRectF> rects;
    qreal x = 0;
    for (const QString &label : m_labels) {
        const qreal w = qCeil(fm.horizontalAdvance(label)) + 24;
        rects << QRectF(x, 0, w, h);
        x += w;
    }
    return rects;
}

QSize ChunkySegmented::sizeHint() const
{
    const QList<QRectF> rects = segmentRects();
    const qreal h = qCeil(QFontMetricsF(segmentFont()).height()) + 12;
    return QSize(qCeil(rects.isEmpty() ? 0 : rects.last().right()), qCeil(h));
}

void ChunkySegmented::choose(int index)
{
    if (index < 0 || index >= m_labels.size())
        return;
    if (index != m_selection) {
        m_previous = m_selection;
        m_selection = index;
        m_blend->jumpTo(0.0);
        m_blend->setTarget(1.0);
        Q_EMIT selectionChanged(index);
    }
    Q_EMIT activated(index);
}

void ChunkySegmented::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QList<QRectF> rects = segmentRects();
    for (int i = 0; i < rects.size(); ++i) {
        if (rects.at(i).contains(event->position())) {
            choose(i);
            return;
        }
    }
}

void ChunkySegmented::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Left && m_selection > 0)
        choose(m_selection - 1);
    else if (event->key() == Qt::Key_Right && m_selection + 1 < m_labels.size())
        choose(qMax(0, m_selection + 1));
    else
        QWidget::keyPressEvent(event);
}

void ChunkySegmented::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF strip = QRectF(QPointF(0, 0), QSizeF(sizeHint()));
    const QPainterPath shape = Paint::roundedRect(strip, 9);
    p.fillPath(shape, Theme::card.resolve());
    p.save();
    p.setClipPath(shape);
    p.setFont(segmentFont());
    const QList<QRectF> rects = segmentRects();
    const qreal t = qBound<qreal>(0.0, m_blend->value(), 1.0);
    for (int i = 0; i < rects.size(); ++i) {
        // How much of the ink block this segment shows: the new choice fades in as the old fades out.
        qreal chosen = 0;
        if (i == m_selection)
            chosen = t;
        else if (i == m_previous)
            chosen = 1.0 - t;
        if (chosen > 0) {
            QColor ink = Theme::ink;
            ink.setAlphaF(float(chosen));
            p.fillRect(rects.at(i), ink);
        }
        const QColor text = Paint::mix(Theme::ink, Theme::card, chosen);
        p.setPen(text);
        p.drawText(rects.at(i), Qt::AlignCenter, m_labels.at(i));
    }
    p.restore();
    Paint::roundedBox(p, strip, 9, Qt::transparent, Theme::stroke, 1.5);
    if (hasFocus())
        Paint::focusRing(p, strip, 9);
}

#include "ui/FlapCounter.h"

#include "ui/FixedDigits.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

QString flapCounterText(int value, int minDigits)
{
    // A negative width would left-justify with spaces; there is no such counter.
    return QString::asprintf("%0*d", qMax(0, minDigits), value);
}

QSizeF flapTileSize(qreal digitSize)
{
    return {digitSize * 0.78, digitSize * 1.3};
}

QSizeF flapCounterSize(const QString &text, qreal digitSize)
{
    const QSizeF tile = flapTileSize(digitSize);
    const qsizetype n = text.size();
    return {n * tile.width() + qMax<qsizetype>(0, n - 1) * digitSize * 0.1, tile.height()};
}

void paintFlapCounter(QPainter &p, const QPointF &topLeft, const QString &text, qreal digitSize,
                      const QColor &tint, const QString &previous, qreal progress)
{
    const QSizeF tileSize = flapTileSize(digitSize);
    const qreal radius = digitSize * 0.14;
    const QFont font = Fonts::rounded(digitSize, QFont::ExtraBold);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QRectF tile(topLeft.x() + i * (tileSize.width() + digitSize * 0.1), topLeft.y(),
                          tileSize.width(), tileSize.height());
        const QPainterPath shape = Paint::roundedRect(tile, radius);
        QLinearGradient face(tile.topLeft(), tile.bottomLeft());
        face.setColorAt(0, QColor(0x2C, 0x2A, 0x28));
        face.setColorAt(1, Theme::flap.resolve());
        p.fillPath(shape, face);

        p.save();
        p.setClipPath(shape);
        const QString now(text.at(i));
        const QString before = i < previous.size() ? QString(previous.at(i)) : QString();
        if (progress < 1.0 && !before.isEmpty() && before != now) {
            // The old character rolls up and out while the new one rises into place.
            const qreal shift = tile.height() * qBound<qreal>(-0.2, progress, 1.2);
            QColor old = tint;
            old.setAlphaF(old.alphaF() * float(qBound<qreal>(0.0, 1.0 - progress, 1.0)));
            p.setPen(old);
            FixedDigits::draw(p, tile.translated(0, -shift), Qt::AlignCenter, before);
            QColor fresh = tint;
            fresh.setAlphaF(fresh.alphaF() * float(qBound<qreal>(0.0, progress, 1.0)));
            p.setPen(fresh);
            FixedDigits::draw(p, tile.translated(0, tile.height() - shift), Qt::AlignCenter, now);
        } else {
            p.setPen(tint);
            FixedDigits::draw(p, tile, Qt::AlignCenter, now);
        }
        p.restore();

        // The split line across the middle and a faint edge.
        p.fillRect(QRectF(tile.left(), tile.center().y() - 0.6, tile.width(), 1.2), QColor(0, 0, 0, 140));
        p.setPen(QPen(QColor(255, 255, 255, 18), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(Paint::roundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
    }
    p.restore();
}

FlapCounter::FlapCounter(int value, qreal digitSize, int minDigits, ThemeColor tint, QWidget *parent)
    : QWidget(parent), m_value(value), m_digitSize(digitSize), m_minDigits(minDigits), m_tint(tint),
      m_roll(new SpringAnimator(0.35, 0.7, this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_roll->jumpTo(1.0);
    connect(m_roll, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
}

void FlapCounter::setValue(int value, bool roll)
{
    if (m_value == value)
        return;
    const QString before = text();
    m_value = value;
    if (before.size() != text().size())
        updateGeometry();
    m_previous = before;
    if (roll) {
        m_roll->jumpTo(0.0);
        m_roll->setTarget(1.0);
    } else {
        m_roll->jumpTo(1.0);
    }
    update();
    Q_EMIT valueChanged(value);
}

void FlapCounter::setDigitSize(qreal digitSize)
{
    m_digitSize = digitSize;
    updateGeometry();
    update();
}

void FlapCounter::setMinDigits(int minDigits)
{
    m_minDigits = minDigits;
    updateGeometry();
    update();
}

void FlapCounter::setTint(ThemeColor tint)
{
    m_tint = tint;
    update();
}

QSize FlapCounter::sizeHint() const
{
    const QSizeF s = flapCounterSize(text(), m_digitSize);
    return QSize(qCeil(s.width()), qCeil(s.height()));
}

void FlapCounter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintFlapCounter(p, QPointF(0, 0), text(), m_digitSize, m_tint, m_previous, m_roll->value());
}

#include "ui/ThemedText.h"

#include "ui/HeavyText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>
#include <QtMath>

ThemedText::ThemedText(const QString &text, const QFont &font, ThemeColor color, Qt::Alignment alignment,
                       QWidget *parent)
    : QWidget(parent), m_text(text), m_font(font), m_color(color), m_alignment(alignment)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ThemedText::setText(const QString &text)
{
    if (text == m_text)
        return;
    if (m_crossFade && isVisible()) {
        m_previous = m_text;
        if (!m_fade) {
            m_fade = new QVariantAnimation(this);
            m_fade->setDuration(350);
            m_fade->setEasingCurve(QEasingCurve::InOutQuad);
            connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
                m_progress = v.toReal();
                update();
            });
        }
        m_fade->stop();
        m_fade->setStartValue(0.0);
        m_fade->setEndValue(1.0);
        m_progress = 0.0;
        m_fade->start();
    }
    m_text = text;
    updateGeometry();
    update();
}

void ThemedText::setColor(ThemeColor color)
{
    m_color = color;
    update();
}

QSize ThemedText::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    const QRectF box =
        fm.boundingRect(QRectF(0, 0, 10000, 10000), int(m_alignment & Qt::AlignHorizontal_Mask),
                        m_text.isEmpty() ? QStringLiteral(" ") : m_text);
    return QSize(qCeil(box.width()), qCeil(box.height()));
}

QSize ThemedText::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

void ThemedText::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(m_font);
    p.setPen(QColor(m_color));
    if (m_progress < 1.0 && !m_previous.isEmpty()) {
        p.setOpacity(1.0 - m_progress);
        HeavyText::draw(p, rect(), int(m_alignment), m_previous);
        p.setOpacity(m_progress);
    }
    HeavyText::draw(p, rect(), int(m_alignment), m_text);
}

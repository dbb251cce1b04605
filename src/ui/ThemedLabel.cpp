#include "ui/ThemedLabel.h"

#include "ui/FixedDigits.h"
#include "ui/HeavyText.h"

#include <QPainter>
#include <QRegularExpression>
#include <QtMath>

ThemedLabel::ThemedLabel(const QString &text, const QFont &font, ThemeColor color, bool wrap, QWidget *parent)
    : QWidget(parent), m_text(text), m_font(font), m_color(color), m_wrap(wrap)
{
    QSizePolicy policy(QSizePolicy::Preferred, wrap ? QSizePolicy::Minimum : QSizePolicy::Fixed);
    policy.setHeightForWidth(wrap);
    setSizePolicy(policy);
    setFont(font);
}

void ThemedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void ThemedLabel::setColor(ThemeColor color)
{
    m_color = color;
    update();
}

void ThemedLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void ThemedLabel::setPreferredWidth(int width)
{
    m_preferredWidth = width;
    updateGeometry();
}

void ThemedLabel::setFixedDigits(bool on)
{
    m_fixedDigits = on;
    updateGeometry();
    update();
}

qreal ThemedLabel::textWidth(const QFont &font, const QString &text) const
{
    if (m_fixedDigits && !m_wrap)
        return FixedDigits::layout(font, text).width;
    return QFontMetricsF(font).horizontalAdvance(text);
}

void ThemedLabel::drawLine(QPainter &p, const QRectF &rect, Qt::Alignment alignment,
                           const QString &text) const
{
    if (m_fixedDigits)
        FixedDigits::draw(p, rect, alignment, text);
    else
        HeavyText::draw(p, rect, int(alignment), text);
}

QSize ThemedLabel::textSize() const
{
    const QFontMetricsF fm(m_font);
    const QRectF r = fm.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft, m_text);
    const qreal width = (m_fixedDigits && !m_wrap) ? textWidth(m_font, m_text) : r.width();
    return QSize(qCeil(width), qCeil(qMax(r.height(), fm.height())));
}

QSize ThemedLabel::sizeHint() const
{
    const QSize text = textSize();
    return QSize(qMax(text.width(), m_preferredWidth), text.height());
}

QSize ThemedLabel::minimumSizeHint() const
{
    if (m_wrap) {
        // As narrow as its widest word, so no word is ever cut; one line tall, as the layout
        // asks heightForWidth() for the height at the width it really gives.
        const QFontMetricsF fm(m_font);
        qreal widest = 0;
        for (const QString &word :
             m_text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widest = qMax(widest, fm.horizontalAdvance(word));
        return QSize(qMax(1, qCeil(widest)), qCeil(fm.height()));
    }
    if (m_preferredWidth > 0)
        return textSize();
    return QSize(qMin(sizeHint().width(), 24), sizeHint().height());
}

int ThemedLabel::heightForWidth(int width) const
{
    const QFontMetricsF fm(m_font);
    const QRectF r =
        fm.boundingRect(QRectF(0, 0, qMax(1, width), 1e6), Qt::AlignLeft | Qt::TextWordWrap, m_text);
    return qCeil(qMax(r.height(), fm.height()));
}

void ThemedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(m_font);
    p.setPen(m_color.resolve());
    if (m_wrap) {
        HeavyText::draw(p, rect(), int(m_alignment) | Qt::TextWordWrap, m_text);
    } else {
        const QFontMetricsF fm(m_font);
        if (!m_fixedDigits) {
            HeavyText::draw(p, rect(), int(m_alignment), fm.elidedText(m_text, Qt::ElideRight, width()));
            return;
        }
        // Fixed digits only widen a text, and a shorter text by no more than the whole one.
        const qreal extra = textWidth(m_font, m_text) - fm.horizontalAdvance(m_text);
        const QString shown = textWidth(m_font, m_text) <= width()
                                  ? m_text
                                  : fm.elidedText(m_text, Qt::ElideRight, qMax<qreal>(0, width() - extra));
        drawLine(p, rect(), m_alignment, shown);
    }
}

#include "ui/ThemedLabel.h"

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

QSize ThemedLabel::textSize() const
{
    const QFontMetricsF fm(m_font);
    const QRectF r = fm.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft, m_text);
    return QSize(qCeil(r.width()), qCeil(qMax(r.height(), fm.height())));
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
        HeavyText::draw(p, rect(), int(m_alignment), fm.elidedText(m_text, Qt::ElideRight, width()));
    }
}

#include "features/report/cards/CardDrawing.h"

#include <QPainter>

void CardDrawing::paint(QPainter &p, QPointF topLeft) const
{
    p.save();
    p.translate(topLeft);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const Step &step : m_steps) {
        p.save();
        step(p);
        p.restore();
    }
    p.restore();
}

void CardDrawing::append(const CardDrawing &other)
{
    m_steps.append(other.m_steps);
    for (auto it = other.m_parts.cbegin(); it != other.m_parts.cend(); ++it)
        m_parts.insert(it.key(), it.value());
    m_texts.append(other.m_texts);
}

#pragma once

#include <QList>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;

// One text as a card placed it: what it reads, where it lies and the size it was drawn at (after
// any shrinking).
struct CardText
{
    QString text;
    QRectF rect;
    qreal size = 0;
};

// A card laid out once: its size, the drawing steps in card coordinates, and the named rectangles
// of its parts. Measuring and painting share this one result, so a widget, a test and the exported
// image cannot disagree about where anything is.
class CardDrawing
{
public:
    using Step = std::function<void(QPainter &)>;

    QSizeF size() const { return m_size; }
    void setSize(const QSizeF &size) { m_size = size; }

    void add(Step step) { m_steps.append(std::move(step)); }
    void setPart(const QString &name, const QRectF &rect) { m_parts.insert(name, rect); }
    // A null rectangle when the card has no such part.
    QRectF part(const QString &name) const { return m_parts.value(name); }
    bool hasPart(const QString &name) const { return m_parts.contains(name); }
    const QMap<QString, QRectF> &parts() const { return m_parts; }

    void addText(const CardText &text) { m_texts.append(text); }
    const QList<CardText> &texts() const { return m_texts; }

    // Takes over another drawing's steps, parts and texts, drawn after this one's.
    void append(const CardDrawing &other);

    // Runs every step with the card's top-left corner at `topLeft`.
    void paint(QPainter &p, QPointF topLeft) const;

private:
    QSizeF m_size;
    QList<Step> m_steps;
    QMap<QString, QRectF> m_parts;
    QList<CardText> m_texts;
};

#pragma once

#include "ui/SnugWidget.h"

class QPainter;

// A tilted pink sticky note: handwritten `text` (line breaks kept, wrapped to `width`), a small
// face signature at the bottom right, a strip of tape across the top and a soft shadow.
QSizeF stickyNoteSize(const QString &text, qreal width);
// Draws the note centred on `center`, turned by `tilt` degrees.
void paintStickyNote(QPainter &p, const QPointF &center, const QString &text, qreal width, qreal tilt);

class StickyNote : public SnugWidget
{
    Q_OBJECT
public:
    StickyNote(const QString &text, qreal width = 220, qreal tilt = -2, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    qreal noteWidth() const { return m_width; }
    qreal tilt() const { return m_tilt; }
    void setTilt(qreal tilt);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    qreal m_width;
    qreal m_tilt;
};

#pragma once

#include "ui/Theme.h"

#include <QWidget>

class QPainter;
class SpringAnimator;

// The value as text, zero-padded to at least `minDigits` characters; a minus sign is a
// character of its own.
QString flapCounterText(int value, int minDigits);

// Geometry of one split-flap tile at `digitSize`.
QSizeF flapTileSize(qreal digitSize);
QSizeF flapCounterSize(const QString &text, qreal digitSize);

// Draws `text` as a row of split-flap tiles from `topLeft`. While `progress` < 1, characters that
// differ from `previous` at the same position roll up from the old to the new one.
void paintFlapCounter(QPainter &p, const QPointF &topLeft, const QString &text, qreal digitSize,
                      const QColor &tint, const QString &previous = {}, qreal progress = 1.0);

// A number as split-flap tiles whose digits roll when the value changes.
class FlapCounter : public QWidget
{
    Q_OBJECT
public:
    FlapCounter(int value = 0, qreal digitSize = 24, int minDigits = 1, ThemeColor tint = Theme::white,
                QWidget *parent = nullptr);

    int value() const { return m_value; }
    // With `roll` false the new value shows at once, as a counter built with it would (a page
    // filling its counters before it is first shown).
    void setValue(int value, bool roll = true);
    qreal digitSize() const { return m_digitSize; }
    void setDigitSize(qreal digitSize);
    int minDigits() const { return m_minDigits; }
    void setMinDigits(int minDigits);
    ThemeColor tint() const { return m_tint; }
    void setTint(ThemeColor tint);

    QString text() const { return flapCounterText(m_value, m_minDigits); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_value;
    qreal m_digitSize;
    int m_minDigits;
    ThemeColor m_tint;
    QString m_previous;
    SpringAnimator *m_roll;
};

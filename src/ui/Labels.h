#pragma once

#include "ui/SnugWidget.h"
#include "ui/Theme.h"

#include <QStringList>

class QPainter;

// Tape label: `text` upper-cased in heavy monospaced type on a strip of dark tape, turned by
// `tilt` degrees (clockwise) about `center`. tapeLabelSize() is the strip before turning.
QSizeF tapeLabelSize(const QString &text);
void paintTapeLabel(QPainter &p, const QPointF &center, const QString &text, qreal tilt, const QColor &color);

// Key caps: one cap per entry, font size `size`, left edge at `topLeft`.
QSizeF keyCapsSize(const QStringList &keys, qreal size);
void paintKeyCaps(QPainter &p, const QPointF &topLeft, const QStringList &keys, qreal size);

// Section caption: upper-cased, heavy monospaced, tracked, dim.
QFont captionFont();

// The bounding size of a w × h box turned by `degrees`.
QSizeF rotatedSize(const QSizeF &size, qreal degrees);

class TapeLabel : public SnugWidget
{
    Q_OBJECT
public:
    TapeLabel(const QString &text, qreal tilt = 0, ThemeColor color = Theme::tape, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    qreal tilt() const { return m_tilt; }
    void setTilt(qreal tilt);
    ThemeColor color() const { return m_color; }
    void setColor(ThemeColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    qreal m_tilt;
    ThemeColor m_color;
};

class KeyCaps : public SnugWidget
{
    Q_OBJECT
public:
    KeyCaps(const QStringList &keys, qreal size = 11, QWidget *parent = nullptr);

    QStringList keys() const { return m_keys; }
    void setKeys(const QStringList &keys);
    qreal capSize() const { return m_size; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_keys;
    qreal m_size;
};

class Caption : public SnugWidget
{
    Q_OBJECT
public:
    explicit Caption(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};

#pragma once

#include "ui/Theme.h"

#include <QFont>
#include <QWidget>

// A text in a given font and palette colour, resolved when painted. Wrapping labels grow
// downwards (height for width) and are never narrower than their widest word; single-line labels
// are cut with an ellipsis.
class ThemedLabel : public QWidget
{
    Q_OBJECT
public:
    ThemedLabel(const QString &text, const QFont &font, ThemeColor color, bool wrap = false,
                QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setColor(ThemeColor color);
    ThemeColor color() const { return m_color; }
    void setAlignment(Qt::Alignment alignment);
    // At least `width` wide where there is room, so that neighbours stay put while the text changes;
    // in a tight row it gives that room up, but never cuts its text.
    void setPreferredWidth(int width);
    // Digits on one fixed advance (FixedDigits), so a changing number or time keeps its place; for
    // single-line labels.
    void setFixedDigits(bool on);
    bool fixedDigits() const { return m_fixedDigits; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_wrap; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // The text's width in `font` as this label lays it out.
    qreal textWidth(const QFont &font, const QString &text) const;
    // Draws one line of text in the painter's font and pen as this label does.
    void drawLine(QPainter &p, const QRectF &rect, Qt::Alignment alignment, const QString &text) const;

private:
    QSize textSize() const;

    QString m_text;
    QFont m_font;
    ThemeColor m_color;
    bool m_wrap;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int m_preferredWidth = 0;
    bool m_fixedDigits = false;
};

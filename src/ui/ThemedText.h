#pragma once

#include "ui/Theme.h"

#include <QFont>
#include <QWidget>

class QVariantAnimation;

// A text drawn in a theme colour resolved at paint time, so an appearance change is one repaint.
// Line breaks in the text are kept. With cross-fading on, a new text fades in over the old one.
class ThemedText : public QWidget
{
    Q_OBJECT
public:
    ThemedText(const QString &text, const QFont &font, ThemeColor color,
               Qt::Alignment alignment = Qt::AlignCenter, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setColor(ThemeColor color);
    void setCrossFade(bool on) { m_crossFade = on; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QString m_previous;
    QFont m_font;
    ThemeColor m_color;
    Qt::Alignment m_alignment;
    bool m_crossFade = false;
    qreal m_progress = 1.0;
    QVariantAnimation *m_fade = nullptr;
};

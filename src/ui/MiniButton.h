#pragma once

#include "ui/ButtonSkin.h"

#include <QWidget>
#include <optional>

class QPainter;

// The small emblem of the button seen from above, filling the square `rect`: a hazard-striped ring
// outlined in `ink`, a domed cap and the mark.
void paintMiniButton(QPainter &p, const QRectF &rect, const ButtonSkin::Palette &palette, const QColor &ink);

// The emblem as a picture widget of a fixed size, in the skin its owner gives it.
class MiniButton : public QWidget
{
    Q_OBJECT
public:
    explicit MiniButton(qreal size = 34, ButtonSkin skin = ButtonSkin::classic, QWidget *parent = nullptr);

    qreal diameter() const { return m_size; }
    ButtonSkin skin() const { return m_skin; }
    void setSkin(ButtonSkin skin);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_size;
    ButtonSkin m_skin;
};

#pragma once

#include "ui/ButtonSkin.h"

#include <QWidget>
#include <optional>

class QPainter;

// The small emblem of the button seen from above, filling the square `rect`: a hazard-striped ring
// outlined in `ink`, a domed cap and the mark.
void paintMiniButton(QPainter &p, const QRectF &rect, const ButtonSkin::Palette &palette, const QColor &ink);

// The emblem as a picture widget of a fixed size, following the stored skin unless given one.
class MiniButton : public QWidget
{
    Q_OBJECT
public:
    explicit MiniButton(qreal size = 34, std::optional<ButtonSkin> skin = std::nullopt,
                        QWidget *parent = nullptr);

    qreal diameter() const { return m_size; }
    std::optional<ButtonSkin> skin() const { return m_skin; }
    void setSkin(std::optional<ButtonSkin> skin);
    // The skin drawn now: the override, else the stored one.
    ButtonSkin effectiveSkin() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_size;
    std::optional<ButtonSkin> m_skin;
};

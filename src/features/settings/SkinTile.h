#pragma once

#include "ui/ButtonSkin.h"
#include "ui/HoverButton.h"

#include <QList>

class QPainter;

// Draws one skin tile into `tile`: a live button drawing, the skin's name and its tagline with
// room for two lines, on a well-coloured, red-bordered plate when selected.
void paintSkinTile(QPainter &p, const QRectF &tile, ButtonSkin skin, bool selected, bool hovering);
// The tile's height; the same for every skin, whatever its tagline's length.
qreal skinTileHeight();

// One skin of the "Button skin" grid; a click anywhere on it runs `clicked`.
class SkinTile : public HoverButton
{
    Q_OBJECT
public:
    explicit SkinTile(ButtonSkin skin, bool selected = false, QWidget *parent = nullptr);

    ButtonSkin skin() const { return m_skin; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ButtonSkin m_skin;
    bool m_selected;
};

// The tiles in as many columns of at least 128 as fit, 10 apart, each row one tile high.
class SkinGrid : public QWidget
{
    Q_OBJECT
public:
    explicit SkinGrid(QWidget *parent = nullptr);

    void addTile(SkinTile *tile);
    const QList<SkinTile *> &tiles() const { return m_tiles; }
    int columnCount() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr double minColumnWidth = 128;
    static constexpr double spacing = 10;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void place();

    QList<SkinTile *> m_tiles;
};

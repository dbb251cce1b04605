#pragma once

#include "services/SoundChoice.h"
#include "ui/HoverButton.h"

class QPainter;

// Draws one sound row into `row`: the radio mark, the label over its subtitle (each wrapped as
// the width needs) and, for every sound but "Off", a speaker symbol at the right; a well-coloured
// plate when selected.
void paintSoundRow(QPainter &p, const QRectF &row, SoundChoice choice, bool selected);
// The row's height at `width`, its texts wrapped.
qreal soundRowHeight(SoundChoice choice, qreal width);

// One sound of the "Sound" list; a click anywhere on it runs `clicked`.
class SoundRow : public HoverButton
{
    Q_OBJECT
public:
    explicit SoundRow(SoundChoice choice, bool selected = false, QWidget *parent = nullptr);

    SoundChoice choice() const { return m_choice; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SoundChoice m_choice;
    bool m_selected;
};

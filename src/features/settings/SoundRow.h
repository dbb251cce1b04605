#pragma once

#include "services/SoundChoice.h"
#include "ui/HoverButton.h"

class QPainter;

// Draws one sound row into `row`: the radio mark, the label over its subtitle and, for every
// sound but "Off", a speaker symbol at the right; a well-coloured plate when selected.
void paintSoundRow(QPainter &p, const QRectF &row, SoundChoice choice, bool selected);
qreal soundRowHeight();

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SoundChoice m_choice;
    bool m_selected;
};

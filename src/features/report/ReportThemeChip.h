#pragma once

#include "features/report/ReportTheme.h"
#include "ui/HoverButton.h"

// One theme of the report page's picker: the theme's title on a small rounded block, ink when
// selected, the well colour while hovered. A title too long for its column shrinks down to three
// quarters of its size before it is cut.
class ReportThemeChip : public HoverButton
{
    Q_OBJECT
public:
    explicit ReportThemeChip(ReportTheme theme, QWidget *parent = nullptr);

    ReportTheme theme() const { return m_theme; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // The point size the title is drawn at in a chip `width` wide.
    qreal titleSize(qreal width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr qreal kFontSize = 12;
    static constexpr qreal kMinimumScale = 0.75;
    static constexpr int kHeight = 30;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ReportTheme m_theme;
    bool m_selected = false;
};

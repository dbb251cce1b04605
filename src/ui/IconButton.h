#pragma once

#include "ui/HoverButton.h"
#include "ui/Theme.h"

#include <functional>
#include <optional>

// A 28 × 28 symbol button: the symbol at 12 in `tint` (0.7, full under the pointer, 0.25 when
// disabled) on a faint ink square while hovered.
class IconButton : public HoverButton
{
    Q_OBJECT
public:
    IconButton(const QString &symbol, ThemeColor tint = Theme::ink,
               const std::optional<QString> &help = std::nullopt, std::function<void()> action = {},
               QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    ThemeColor tint() const { return m_tint; }
    void setTint(ThemeColor tint);

    // The opacity the symbol is drawn at now.
    qreal symbolOpacity() const;

    QSize sizeHint() const override { return QSize(28, 28); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    ThemeColor m_tint;
};

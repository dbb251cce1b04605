#pragma once

#include "ui/SnugWidget.h"
#include "ui/Theme.h"

// One of the kit's symbols as a small, fixed-size picture in a palette colour.
class SymbolView : public SnugWidget
{
    Q_OBJECT
public:
    SymbolView(const QString &symbol, qreal size, ThemeColor color, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setColor(ThemeColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_size;
    ThemeColor m_color;
};

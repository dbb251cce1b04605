#include "ui/IconButton.h"

#include "ui/Icons.h"
#include "ui/Paint.h"

#include <QPainter>

IconButton::IconButton(const QString &symbol, ThemeColor tint, const std::optional<QString> &help,
                       std::function<void()> action, QWidget *parent)
    : HoverButton(parent), m_symbol(symbol), m_tint(tint)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(help.value_or(QString()));
    // Screen readers have no label to read otherwise.
    setAccessibleName(help.value_or(symbol));
    if (action)
        connect(this, &QAbstractButton::clicked, this, [action] { action(); });
}

void IconButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    update();
}

void IconButton::setTint(ThemeColor tint)
{
    m_tint = tint;
    update();
}

qreal IconButton::symbolOpacity() const
{
    if (!isEnabled())
        return 0.25;
    return isHovering() ? 1.0 : 0.7;
}

void IconButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (isEnabled() && isHovering())
        Paint::roundedBox(p, QRectF(0, 0, 28, 28), 8, Theme::ink.opacity(0.08), Qt::transparent, 0);
    Icons::paint(p, QRectF(8, 8, 12, 12), m_symbol, m_tint.opacity(symbolOpacity()));
    if (hasFocus())
        Paint::focusRing(p, QRectF(0, 0, 28, 28), 8);
}

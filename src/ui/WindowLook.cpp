#include "ui/WindowLook.h"

#include "platform/Appearance.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

namespace {

class ScrollBarStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (metric) {
        case PM_ScrollBarExtent:
            return 10;
        case PM_ScrollBarSliderMin:
            return 28;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ScrollBar_Transient)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        if (control != CC_ScrollBar)
            return QProxyStyle::subControlRect(control, option, sub, widget);
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (!bar)
            return QProxyStyle::subControlRect(control, option, sub, widget);
        // No arrow buttons: the groove is the whole bar.
        const QRect groove = option->rect;
        const bool vertical = bar->orientation == Qt::Vertical;
        const int length = vertical ? groove.height() : groove.width();
        const int range = bar->maximum - bar->minimum;
        int handle = length;
        if (range > 0)
            handle = std::max(pixelMetric(PM_ScrollBarSliderMin, option, widget),
                              int(qint64(length) * bar->pageStep / (range + bar->pageStep)));
        handle = std::min(handle, length);
        const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                                  length - handle, bar->upsideDown);
        const QRect slider = vertical ? QRect(groove.left(), groove.top() + start, groove.width(), handle)
                                      : QRect(groove.left() + start, groove.top(), handle, groove.height());
        switch (sub) {
        case SC_ScrollBarGroove:
            return groove;
        case SC_ScrollBarSlider:
            return slider;
        case SC_ScrollBarAddPage:
            return vertical ? QRect(groove.left(), slider.bottom() + 1, groove.width(),
                                    groove.bottom() - slider.bottom())
                            : QRect(slider.right() + 1, groove.top(), groove.right() - slider.right(),
                                    groove.height());
        case SC_ScrollBarSubPage:
            return vertical
                       ? QRect(groove.left(), groove.top(), groove.width(), slider.top() - groove.top())
                       : QRect(groove.left(), groove.top(), slider.left() - groove.left(), groove.height());
        default:
            return {};
        }
    }

    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     const QPoint &pos, const QWidget *widget) const override
    {
        if (control != CC_ScrollBar)
            return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
        for (SubControl sub : {SC_ScrollBarSlider, SC_ScrollBarAddPage, SC_ScrollBarSubPage})
            if (subControlRect(control, option, sub, widget).contains(pos))
                return sub;
        return SC_None;
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        if (control != CC_ScrollBar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (!bar || bar->maximum <= bar->minimum)
            return;
        const bool vertical = bar->orientation == Qt::Vertical;
        QRectF handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
        handle = vertical ? handle.adjusted(2, 2, -2, -2) : handle.adjusted(2, 2, -2, -2);
        const bool active = (bar->state & State_MouseOver) || (bar->activeSubControls & SC_ScrollBarSlider);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(active ? Theme::dim : Theme::faint));
        const qreal radius = std::min(handle.width(), handle.height()) / 2;
        painter->drawRoundedRect(handle, radius, radius);
        painter->restore();
    }
};

void applyPalette(QWidget *window, ColorScheme scheme)
{
    const QPalette pal = WindowLook::palette(scheme);
    // Menus are windows of their own: a palette does not reach them from their menu bar.
    for (QMenuBar *bar : window->findChildren<QMenuBar *>())
        bar->setPalette(pal);
    for (QMenu *menu : window->findChildren<QMenu *>())
        menu->setPalette(pal);
    if (auto *bar = qobject_cast<QMenuBar *>(window))
        bar->setPalette(pal);
    QToolTip::setPalette(pal);
}

} // namespace

namespace WindowLook {

QPalette palette(ColorScheme scheme)
{
    QPalette pal;
    const QColor paper = Theme::paper.resolve(scheme);
    const QColor card = Theme::card.resolve(scheme);
    const QColor ink = Theme::ink.resolve(scheme);
    const QColor dim = Theme::dim.resolve(scheme);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? dim : ink;
        pal.setColor(group, QPalette::Window, paper);
        pal.setColor(group, QPalette::WindowText, text);
        pal.setColor(group, QPalette::Base, card);
        pal.setColor(group, QPalette::AlternateBase, Theme::well.resolve(scheme));
        pal.setColor(group, QPalette::Text, text);
        pal.setColor(group, QPalette::Button, card);
        pal.setColor(group, QPalette::ButtonText, text);
        pal.setColor(group, QPalette::ToolTipBase, card);
        pal.setColor(group, QPalette::ToolTipText, ink);
        pal.setColor(group, QPalette::PlaceholderText, dim);
        pal.setColor(group, QPalette::Highlight, Theme::red.resolve(scheme));
        pal.setColor(group, QPalette::HighlightedText, Theme::white.resolve(scheme));
        pal.setColor(group, QPalette::Light, Theme::grid.resolve(scheme));
        pal.setColor(group, QPalette::Midlight, Theme::grid.resolve(scheme));
        pal.setColor(group, QPalette::Mid, Theme::faint.resolve(scheme));
        pal.setColor(group, QPalette::Dark, Theme::faint.resolve(scheme));
        pal.setColor(group, QPalette::Shadow, Theme::shadow.resolve(scheme));
    }
    return pal;
}

QStyle *scrollBarStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new ScrollBarStyle;
        style->setParent(qApp);
    }
    return style;
}

void follow(QWidget *window, const Appearance *appearance)
{
    if (!appearance) {
        applyPalette(window, Theme::scheme());
        return;
    }
    const auto schemeOf = [](bool dark) { return dark ? ColorScheme::Dark : ColorScheme::Light; };
    applyPalette(window, schemeOf(appearance->isDark()));
    QObject::connect(appearance, &Appearance::isDarkChanged, window,
                     [window, schemeOf](bool dark) { applyPalette(window, schemeOf(dark)); });
}

} // namespace WindowLook

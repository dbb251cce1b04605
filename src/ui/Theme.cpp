#include "ui/Theme.h"

#include "platform/Appearance.h"

namespace {
// -1: none forced; otherwise the forced ColorScheme.
int g_forced = -1;
} // namespace

QColor ThemeColor::resolve(ColorScheme scheme) const
{
    QColor c(QRgb(scheme == ColorScheme::Dark ? m_dark : m_light));
    c.setAlphaF(float(qBound<qreal>(0.0, m_alpha, 1.0)));
    return c;
}

QColor ThemeColor::resolve() const
{
    return resolve(Theme::scheme());
}

ColorScheme Theme::scheme()
{
    if (g_forced >= 0)
        return ColorScheme(g_forced);
    return Appearance::shared().isDark() ? ColorScheme::Dark : ColorScheme::Light;
}

Theme::ScopedScheme::ScopedScheme(ColorScheme scheme) : m_previous(g_forced)
{
    g_forced = int(scheme);
}

Theme::ScopedScheme::~ScopedScheme()
{
    g_forced = m_previous;
}

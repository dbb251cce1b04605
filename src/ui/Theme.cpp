#include "ui/Theme.h"

namespace {
// -1: none forced; otherwise the forced ColorScheme.
int g_forced = -1;
ColorScheme g_application = ColorScheme::Light;
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
    return g_application;
}

void Theme::setApplicationScheme(ColorScheme scheme)
{
    g_application = scheme;
}

ColorScheme Theme::applicationScheme()
{
    return g_application;
}

Theme::ScopedScheme::ScopedScheme(ColorScheme scheme) : m_previous(g_forced)
{
    g_forced = int(scheme);
}

Theme::ScopedScheme::~ScopedScheme()
{
    g_forced = m_previous;
}

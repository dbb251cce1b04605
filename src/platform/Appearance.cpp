#include "platform/Appearance.h"

#include "platform/ColorSchemeSource.h"

#include <QGuiApplication>
#include <QPalette>

Appearance::Appearance(QObject *parent) : QObject(parent)
{
    m_dark = systemPrefersDark();
    m_desktopDark = m_dark;
}

Appearance::~Appearance() = default;

Appearance::Mode Appearance::modeFromString(const QString &text)
{
    if (text == QLatin1String("light"))
        return Mode::Light;
    if (text == QLatin1String("dark"))
        return Mode::Dark;
    return Mode::System;
}

void Appearance::setMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    Q_EMIT modeChanged();
    reevaluate();
}

void Appearance::setSystemSource(ColorSchemeSource *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source)
        connect(source, &ColorSchemeSource::schemeChanged, this, &Appearance::reevaluate);
    reevaluate();
}

void Appearance::paletteChanged()
{
    reevaluate();
}

bool Appearance::systemPrefersDark() const
{
    if (m_source) {
        switch (m_source->scheme()) {
        case ColorSchemeSource::Scheme::Dark:
            return true;
        case ColorSchemeSource::Scheme::Light:
            return false;
        case ColorSchemeSource::Scheme::NoPreference:
            break;
        }
    }
    if (!qApp)
        return false;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

void Appearance::reevaluate()
{
    const bool desktopDark = systemPrefersDark();
    if (desktopDark != m_desktopDark) {
        m_desktopDark = desktopDark;
        Q_EMIT isDesktopDarkChanged(desktopDark);
    }
    bool dark = false;
    switch (m_mode) {
    case Mode::Light:
        dark = false;
        break;
    case Mode::Dark:
        dark = true;
        break;
    case Mode::System:
        dark = desktopDark;
        break;
    }
    if (dark == m_dark)
        return;
    m_dark = dark;
    Q_EMIT isDarkChanged(dark);
}

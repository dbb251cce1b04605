#pragma once

#include <QColor>
#include <QtGlobal>

enum class ColorScheme
{
    Light,
    Dark
};

// A palette colour: a light and a dark sRGB value (0xRRGGBB) and an opacity. It is resolved
// against the current scheme each time it is turned into a QColor, i.e. while painting; never
// keep the resolved QColor in a widget.
class ThemeColor
{
public:
    constexpr ThemeColor() = default;
    constexpr ThemeColor(quint32 light, quint32 dark, qreal alpha = 1.0)
        : m_light(light & 0xFFFFFF), m_dark(dark & 0xFFFFFF), m_alpha(alpha)
    {
    }
    static constexpr ThemeColor fixed(quint32 rgb, qreal alpha = 1.0) { return {rgb, rgb, alpha}; }

    // The same colour with its opacity multiplied by `factor`.
    constexpr ThemeColor opacity(qreal factor) const { return {m_light, m_dark, m_alpha * factor}; }

    constexpr bool isDynamic() const { return m_light != m_dark; }
    constexpr quint32 light() const { return m_light; }
    constexpr quint32 dark() const { return m_dark; }
    constexpr qreal alpha() const { return m_alpha; }

    QColor resolve(ColorScheme scheme) const;
    QColor resolve() const;
    operator QColor() const { return resolve(); }

    constexpr bool operator==(const ThemeColor &) const = default;

private:
    quint32 m_light = 0;
    quint32 m_dark = 0;
    qreal m_alpha = 0.0;
};

// The shared palette: warm paper and ink, light and dark, with fixed accents.
struct Theme
{
    static constexpr ThemeColor dynamic(quint32 light, quint32 dark) { return {light, dark}; }

    static constexpr ThemeColor paper{0xF3ECE2, 0x161413};
    static constexpr ThemeColor card{0xFFFBF5, 0x201D1B};
    static constexpr ThemeColor well{0xF1E7DA, 0x2A2624};
    static constexpr ThemeColor ink{0x171412, 0xF2EBE1};
    static constexpr ThemeColor dim{0x6F655E, 0xA69C92};
    static constexpr ThemeColor faint{0xB6AAA0, 0x5C544E};
    static constexpr ThemeColor grid{0xE6DCCF, 0x2E2A27};
    static constexpr ThemeColor stroke{0x171412, 0x45403B};
    static constexpr ThemeColor shadow{0x171412, 0x050404};
    static constexpr ThemeColor tape{0x1B1917, 0x3B3531};
    static constexpr ThemeColor red = ThemeColor::fixed(0xE8322B);
    static constexpr ThemeColor redDark = ThemeColor::fixed(0x9E1612);
    static constexpr ThemeColor hazard = ThemeColor::fixed(0xFFC21A);
    static constexpr ThemeColor sticky = ThemeColor::fixed(0xFFCFC6);
    static constexpr ThemeColor stickyInk = ThemeColor::fixed(0x2B1D1A);
    static constexpr ThemeColor calm = ThemeColor::fixed(0x2FA36B);
    static constexpr ThemeColor flap = ThemeColor::fixed(0x1E1C1B);

    // Plain tones the views use at an opacity.
    static constexpr ThemeColor white = ThemeColor::fixed(0xFFFFFF);
    static constexpr ThemeColor black = ThemeColor::fixed(0x000000);
    static constexpr ThemeColor clear = ThemeColor::fixed(0x000000, 0.0);

    // The scheme colours resolve against now: a forced scheme if one is in force, otherwise the
    // application's appearance.
    static ColorScheme scheme();
    static bool isDark() { return scheme() == ColorScheme::Dark; }

    // The application's scheme, set by the program's root whenever the appearance changes (light
    // until then). The caller repaints what is shown.
    static void setApplicationScheme(ColorScheme scheme);
    static ColorScheme applicationScheme();

    // Forces a scheme while it lives (the report image is always drawn light, the gallery
    // draws both). Nests; main thread only.
    class ScopedScheme
    {
    public:
        explicit ScopedScheme(ColorScheme scheme);
        ~ScopedScheme();
        ScopedScheme(const ScopedScheme &) = delete;
        ScopedScheme &operator=(const ScopedScheme &) = delete;

    private:
        int m_previous;
    };
};

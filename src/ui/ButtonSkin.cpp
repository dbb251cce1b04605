#include "ButtonSkin.h"

namespace {

struct SkinText
{
    const char *raw;
    const char *name;
    const char *tagline;
};

// Indexed by ButtonSkin::Value.
constexpr SkinText kTexts[] = {
    {"classic", "Classic E-Stop", "Industrial. Honest. Red."},
    {"executive", "The Executive", "Gold, walnut, zero accountability."},
    {"zen", "Inner Peace", "Pastel rage. Very mindful."},
    {"toxic", "Biohazard", "For production incidents."},
    {"stealth", "Midnight Ops", "Nobody saw anything."},
    {"arcade", "Arcade", "Insert coin. Lose patience."},
    {"beige", "Beige Box", "Have you tried turning it off and on?"},
    {"synthwave", "Synthwave", "Rage, but make it 1986."},
    {"budget", "Budget Cut", "Every press costs the company money."},
    {"frost", "Cold Shoulder", "Passive-aggressive, served chilled."},
    {"molten", "Meltdown", "Core temperature: critical."},
};
constexpr int kCount = int(sizeof(kTexts) / sizeof(kTexts[0]));

QColor hex(quint32 rgb, qreal opacity = 1.0)
{
    QColor c = QColor::fromRgb(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
    c.setAlphaF(float(opacity));
    return c;
}

QColor white(qreal opacity = 1.0)
{
    return hex(0xFFFFFF, opacity);
}

QColor black(qreal opacity = 1.0)
{
    return hex(0x000000, opacity);
}

} // namespace

QList<QColor> hexes(std::initializer_list<quint32> values)
{
    QList<QColor> colours;
    colours.reserve(qsizetype(values.size()));
    for (quint32 v : values)
        colours.append(hex(v));
    return colours;
}

const QList<ButtonSkin> &ButtonSkin::allCases()
{
    static const QList<ButtonSkin> all = [] {
        QList<ButtonSkin> list;
        for (int i = 0; i < kCount; ++i)
            list.append(ButtonSkin(Value(i)));
        return list;
    }();
    return all;
}

std::optional<ButtonSkin> ButtonSkin::fromRawValue(const QString &raw)
{
    for (int i = 0; i < kCount; ++i) {
        if (raw == QLatin1String(kTexts[i].raw))
            return ButtonSkin(Value(i));
    }
    return std::nullopt;
}

ButtonSkin ButtonSkin::effective(const std::optional<QString> &raw)
{
    return fromRawValue(raw.value_or(QString())).value_or(ButtonSkin(classic));
}

QString ButtonSkin::rawValue() const
{
    return QLatin1String(kTexts[m_value].raw);
}

QString ButtonSkin::name() const
{
    return QLatin1String(kTexts[m_value].name);
}

QString ButtonSkin::tagline() const
{
    return QLatin1String(kTexts[m_value].tagline);
}

ButtonSkin::Palette ButtonSkin::palette() const
{
    switch (m_value) {
    case classic:
        return {hex(0xFF6450),
                hex(0xE8322B),
                hex(0xB5160F),
                hexes({0x6E0B08, 0x9E1612, 0xC9231C, 0x9E1612, 0x5A0806}),
                white(),
                hex(0x7A0A06),
                hex(0xE8322B),
                hex(0xFFC21A),
                hex(0x141211),
                hexes({0xC48A00, 0xFFC21A, 0xC48A00}),
                hexes({0x3A3634, 0x141211}),
                hexes({0x0C0B0B, 0x2E2B29, 0x0C0B0B}),
                white(0.14)};
    case executive:
        return {hex(0xFFF1C2),
                hex(0xD9A93A),
                hex(0x8A6414),
                hexes({0x5C4108, 0x8A6414, 0xC9982E, 0x8A6414, 0x4A3406}),
                hex(0x3B2A05),
                hex(0xFFF1C2, 0.7),
                hex(0xFFD36B),
                hex(0x1B1714),
                hex(0x1B1714),
                hexes({0x7A5A12, 0xE2B651, 0x7A5A12}),
                hexes({0x8A5530, 0x4A2B16}),
                hexes({0x3A2010, 0x6B3F22, 0x3A2010}),
                hex(0xE2B651, 0.5)};
    case zen:
        return {hex(0xF3ECFF),
                hex(0xB79CF5),
                hex(0x7C5CC9),
                hexes({0x5B3FA0, 0x7C5CC9, 0xA588EE, 0x7C5CC9, 0x4E3590}),
                white(),
                hex(0x5B3FA0),
                hex(0xC9B4FF),
                hex(0xBFF0DA),
                hex(0xFFF6E8),
                hexes({0x8CCFB2, 0xBFF0DA, 0x8CCFB2}),
                hexes({0xFFF6EA, 0xE4D7C4}),
                hexes({0xC4B5A2, 0xF0E6D8, 0xC4B5A2}),
                black(0.08)};
    case toxic:
        return {hex(0xEFFFA8),
                hex(0x86E51F),
                hex(0x3E8C05),
                hexes({0x2A5E03, 0x3E8C05, 0x6CC814, 0x3E8C05, 0x224D02}),
                hex(0x10200A),
                hex(0xEFFFA8, 0.6),
                hex(0x9CFF2E),
                hex(0x8E44FF),
                hex(0x141211),
                hexes({0x5A22B0, 0x8E44FF, 0x5A22B0}),
                hexes({0x34313A, 0x121016}),
                hexes({0x0B0A0D, 0x2A2730, 0x0B0A0D}),
                hex(0x9CFF2E, 0.25)};
    case stealth:
        return {hex(0x5A5A5E),
                hex(0x2A2A2D),
                hex(0x0E0E10),
                hexes({0x08080A, 0x1A1A1C, 0x323236, 0x1A1A1C, 0x060607}),
                hex(0xFF3B30),
                black(),
                hex(0xFF3B30),
                hex(0x2C2C2F),
                hex(0x1A1A1C),
                hexes({0x111113, 0x2C2C2F, 0x111113}),
                hexes({0x2A2A2D, 0x0B0B0C}),
                hexes({0x050506, 0x1C1C1E, 0x050506}),
                white(0.08)};
    case arcade:
        return {hex(0xA8E0FF),
                hex(0x1E7BFF),
                hex(0x0B3FA6),
                hexes({0x082C78, 0x0B3FA6, 0x2E86FF, 0x0B3FA6, 0x062466}),
                white(),
                hex(0x082C78),
                hex(0x3D9BFF),
                hex(0xF5F5F7),
                hex(0xFF2E88),
                hexes({0xB0B2B8, 0xF5F5F7, 0xB0B2B8}),
                hexes({0xECEDF0, 0xA4A7AE}),
                hexes({0x7D8087, 0xD9DBE0, 0x7D8087}),
                white(0.4)};
    case beige:
        return {hex(0xFFF6E0),
                hex(0xE3D5B4),
                hex(0xA8976F),
                hexes({0x7A6B4C, 0xA8976F, 0xCDBE98, 0xA8976F, 0x6B5D40}),
                hex(0x3A3326),
                hex(0xFFF6E0, 0.8),
                hex(0xF0E2BE),
                hex(0x6E7A86),
                hex(0x6E7A86),
                hexes({0x48525C, 0x8A96A2, 0x48525C}),
                hexes({0xD8CDB3, 0xA99E85}),
                hexes({0x82786A, 0xC9BEA5, 0x82786A}),
                hex(0x3BD16F, 0.55)};
    case synthwave:
        return {hex(0xFFB3F0),
                hex(0xFF2DB4),
                hex(0x9C0874),
                hexes({0x5E0447, 0x9C0874, 0xD81A9E, 0x9C0874, 0x4E033B}),
                white(),
                hex(0x5E0447),
                hex(0xFF4FD0),
                hex(0x23E6FF),
                hex(0x2A0B4F),
                hexes({0x0F8FA8, 0x23E6FF, 0x0F8FA8}),
                hexes({0x3B1670, 0x16062E}),
                hexes({0x0D031D, 0x2E1258, 0x0D031D}),
                hex(0x23E6FF, 0.45)};
    case budget:
        return {hex(0xC9F2C7),
                hex(0x3E9B4F),
                hex(0x1D5A2A),
                hexes({0x123D1C, 0x1D5A2A, 0x34843F, 0x1D5A2A, 0x0E3216}),
                hex(0xFFF3C4),
                hex(0x0E3216),
                hex(0x7BD88A),
                hex(0xE9C46A),
                hex(0xF4EBD0),
                hexes({0xA8842E, 0xE9C46A, 0xA8842E}),
                hexes({0xF4EBD0, 0xCFC3A0}),
                hexes({0x9C9070, 0xE5DAB9, 0x9C9070}),
                hex(0xE9C46A, 0.5)};
    case frost:
        return {hex(0xFFFFFF),
                hex(0xBFE6FF),
                hex(0x6AAAD6),
                hexes({0x3E7BA6, 0x6AAAD6, 0x9ED2F2, 0x6AAAD6, 0x346B92}),
                hex(0x1F4E72),
                white(0.8),
                hex(0xCFF0FF),
                hex(0xFFFFFF),
                hex(0x9ED2F2),
                hexes({0xA9CBE0, 0xFFFFFF, 0xA9CBE0}),
                hexes({0xE8F4FB, 0xB4CFE0}),
                hexes({0x8FAFC4, 0xD8EAF5, 0x8FAFC4}),
                white(0.6)};
    case molten:
        return {hex(0xFFE27A),
                hex(0xFF7A1A),
                hex(0xB33A00),
                hexes({0x6E1E00, 0xB33A00, 0xE85C0D, 0xB33A00, 0x5A1800}),
                hex(0x2A0A00),
                hex(0xFFE27A, 0.6),
                hex(0xFF8A1F),
                hex(0xFF4D00),
                hex(0x1A0D08),
                hexes({0xA83200, 0xFF6A1A, 0xA83200}),
                hexes({0x3A2620, 0x120A07}),
                hexes({0x0A0504, 0x2E1D17, 0x0A0504}),
                hex(0xFF7A1A, 0.35)};
    }
    return ButtonSkin(classic).palette();
}

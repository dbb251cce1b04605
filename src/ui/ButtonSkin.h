#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <initializer_list>
#include <optional>

// The eleven looks of the emergency-stop button. A small value type: the skin is stored by its raw
// value (the case name) as a preference.
class ButtonSkin
{
public:
    enum Value : quint8
    {
        classic,
        executive,
        zen,
        toxic,
        stealth,
        arcade,
        beige,
        synthwave,
        budget,
        frost,
        molten,
    };

    // The colours every drawing of the button takes from a skin.
    struct Palette
    {
        QColor capLight;
        QColor cap;
        QColor capDark;
        QList<QColor> skirt; // 5
        QColor label;
        QColor labelShadow;
        QColor glow;
        QColor collarA;
        QColor collarB;
        QList<QColor> collarSide; // 3
        QList<QColor> baseTop;    // 2
        QList<QColor> baseSide;   // 3
        QColor rim;

        bool operator==(const Palette &) const = default;
    };

    constexpr ButtonSkin(Value value = classic) : m_value(value) {}

    constexpr Value value() const { return m_value; }
    constexpr operator Value() const { return m_value; }

    // Every skin in display order, classic first.
    static const QList<ButtonSkin> &allCases();
    // Exactly the eleven raw values; anything else (other case, blanks) is no skin.
    static std::optional<ButtonSkin> fromRawValue(const QString &raw);
    // The skin a stored text names, else classic.
    static ButtonSkin effective(const std::optional<QString> &raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    QString name() const;
    QString tagline() const;
    Palette palette() const;

private:
    Value m_value;
};

inline size_t qHash(ButtonSkin skin, size_t seed = 0)
{
    return ::qHash(static_cast<int>(skin.value()), seed);
}

// Opaque sRGB colours from 0xRRGGBB values, in the given order.
QList<QColor> hexes(std::initializer_list<quint32> values);

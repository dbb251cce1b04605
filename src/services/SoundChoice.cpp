#include "SoundChoice.h"

#include <array>

namespace {
struct ChoiceText
{
    SoundChoice choice;
    const char *raw;
    const char *label;
    const char *subtitle;
};

// Texts are UTF-8: the narrator's subtitle uses typographic quotation marks.
constexpr std::array<ChoiceText, 17> kChoices{{
    {SoundChoice::off, "off", "Off", "Silent suffering"},
    {SoundChoice::thunk, "thunk", "THUNK", "Satisfying industrial button"},
    {SoundChoice::bonk, "bonk", "Bonk", "Cartoon head meets desk"},
    {SoundChoice::buzzer, "buzzer", "Office buzzer", "Wrong answer, try again"},
    {SoundChoice::beep, "beep", "Error beep", "Something failed. Obviously."},
    {SoundChoice::scream, "scream", "Tiny scream", "Very small, very sincere"},
    {SoundChoice::uhoh, "uhoh", "Legally distinct error", "An original sad little chord"},
    {SoundChoice::sadTrombone, "sadTrombone", "Sad trombone", "For the third failed deploy"},
    {SoundChoice::slowClap, "slowClap", "Slow clap", "Well done. Really."},
    {SoundChoice::smash, "smash", "Plate smash", "Cheaper than real plates"},
    {SoundChoice::gong, "gong", "Zen gong", "Namaste, Jira."},
    {SoundChoice::airHorn, "airHorn", "Air horn", "Announce your displeasure"},
    {SoundChoice::squeak, "squeak", "Rubber chicken", "Very professional"},
    {SoundChoice::boom, "boom", "Kaboom", "Small explosion, big feelings"},
    {SoundChoice::kaching, "kaching", "Ka-ching", "That meeting was billable"},
    {SoundChoice::narrator, "narrator", "Deadpan narrator",
     "\u201CNoted.\u201D \u201CClassic.\u201D \u201CAgain?\u201D + 7 more"},
    {SoundChoice::chaos, "chaos", "Chaos mode", "A different sound every time"},
}};

const ChoiceText &entry(SoundChoice choice)
{
    for (const auto &e : kChoices) {
        if (e.choice == choice)
            return e;
    }
    return kChoices[1];
}
} // namespace

QString rawValue(SoundChoice choice)
{
    return QString::fromLatin1(entry(choice).raw);
}

std::optional<SoundChoice> soundChoiceFromRaw(const QString &raw)
{
    for (const auto &e : kChoices) {
        if (raw == QLatin1String(e.raw))
            return e.choice;
    }
    return std::nullopt;
}

QString label(SoundChoice choice)
{
    return QString::fromUtf8(entry(choice).label);
}

QString subtitle(SoundChoice choice)
{
    return QString::fromUtf8(entry(choice).subtitle);
}

const QList<SoundChoice> &allSoundChoices()
{
    static const QList<SoundChoice> all = [] {
        QList<SoundChoice> list;
        for (const auto &e : kChoices)
            list.append(e.choice);
        return list;
    }();
    return all;
}

const QList<SoundChoice> &playableSoundChoices()
{
    static const QList<SoundChoice> playable = [] {
        QList<SoundChoice> list;
        for (const auto &e : kChoices) {
            if (e.choice != SoundChoice::off && e.choice != SoundChoice::chaos)
                list.append(e.choice);
        }
        return list;
    }();
    return playable;
}

QString rawValue(SoundGroup group)
{
    switch (group) {
    case SoundGroup::classics:
        return QStringLiteral("Classics");
    case SoundGroup::drama:
        return QStringLiteral("Office drama");
    case SoundGroup::voice:
        return QStringLiteral("Voice");
    case SoundGroup::special:
        return QStringLiteral("Special");
    }
    return QStringLiteral("Classics");
}

const QList<SoundGroup> &allSoundGroups()
{
    static const QList<SoundGroup> all{SoundGroup::classics, SoundGroup::drama, SoundGroup::voice,
                                       SoundGroup::special};
    return all;
}

SoundGroup group(SoundChoice choice)
{
    switch (choice) {
    case SoundChoice::off:
    case SoundChoice::thunk:
    case SoundChoice::bonk:
    case SoundChoice::buzzer:
    case SoundChoice::beep:
    case SoundChoice::scream:
    case SoundChoice::uhoh:
        return SoundGroup::classics;
    case SoundChoice::narrator:
        return SoundGroup::voice;
    case SoundChoice::chaos:
        return SoundGroup::special;
    default:
        return SoundGroup::drama;
    }
}

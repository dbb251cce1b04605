#pragma once

#include <QList>
#include <QString>
#include <optional>

// The selectable press sounds, in display order; the raw value is the case name and is what the
// "sound" preference stores.
enum class SoundChoice
{
    off,
    thunk,
    bonk,
    buzzer,
    beep,
    scream,
    uhoh,
    sadTrombone,
    slowClap,
    smash,
    gong,
    airHorn,
    squeak,
    boom,
    kaching,
    narrator,
    chaos,
};

QString rawValue(SoundChoice choice);
// Exact, case-sensitive match of one of the seventeen raw values; anything else names no choice.
std::optional<SoundChoice> soundChoiceFromRaw(const QString &raw);
QString label(SoundChoice choice);
QString subtitle(SoundChoice choice);

// Every choice, in display order.
const QList<SoundChoice> &allSoundChoices();
// What chaos mode draws from: every choice but off and chaos (the synthesized sounds, then narrator).
const QList<SoundChoice> &playableSoundChoices();

// The headings under which the settings page lists the choices; the raw value is the heading.
enum class SoundGroup
{
    classics,
    drama,
    voice,
    special
};

QString rawValue(SoundGroup group);
const QList<SoundGroup> &allSoundGroups();

// The heading a choice is listed under.
SoundGroup group(SoundChoice choice);

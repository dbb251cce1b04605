#pragma once

// The press sound (backed by SoundService). Both calls return at once and never report failure.
class PressSound
{
public:
    virtual ~PressSound() = default;

    // Renders the chosen sound ahead of the first press.
    virtual void warmUp() = 0;
    // Plays the sound chosen in the "sound" preference.
    virtual void play() = 0;
};

#pragma once

#include "app/PressSound.h"

class SoundService;

// Plays the press sound through the shared sound service.
class AppSound : public PressSound
{
public:
    explicit AppSound(SoundService &service);

    void warmUp() override;
    void play() override;

private:
    SoundService &m_service;
};

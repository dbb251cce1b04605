#include "AppSound.h"

#include "services/SoundService.h"

AppSound::AppSound(SoundService &service) : m_service(service)
{
}

void AppSound::warmUp()
{
    m_service.warmUp();
}

void AppSound::play()
{
    m_service.play();
}

#include "support/FakePlatform.h"

#include "platform/DesktopEntries.h"
#include "support/FakeAudioOutput.h"
#include "support/FakeNotifier.h"

namespace TestSupport {

Platform fakePlatform()
{
    Platform platform;
    platform.desktopEntries = std::make_unique<DesktopEntries>(QStringList{});
    platform.notifier = std::make_unique<FakeNotifier>();
    platform.audio = std::make_unique<FakeAudioOutput>();
    return platform;
}

FakeNotifier &notifierOf(const Platform &platform)
{
    return static_cast<FakeNotifier &>(*platform.notifier);
}

FakeAudioOutput &audioOf(const Platform &platform)
{
    return static_cast<FakeAudioOutput &>(*platform.audio);
}

} // namespace TestSupport

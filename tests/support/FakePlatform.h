#pragma once

#include "shell/Platform.h"

class FakeAudioOutput;
class FakeNotifier;

namespace TestSupport {

// Platform adapters for a shell under test: no hot key or active window, an empty desktop-entry
// index, and the fake notifier and audio output.
Platform fakePlatform();

// The fakes inside a platform made by fakePlatform().
FakeNotifier &notifierOf(const Platform &platform);
FakeAudioOutput &audioOf(const Platform &platform);

} // namespace TestSupport

#pragma once

#include "models/Shortcut.h"

#include <functional>

// The one system-wide shortcut (backed by HotKeyService).
class GlobalHotKey
{
public:
    virtual ~GlobalHotKey() = default;

    // Replaces the action run on the main thread when the shortcut is pressed.
    virtual void setHandler(std::function<void()> handler) = 0;
    // Releases the shortcut held, then grabs this one; false when the desktop refused it.
    virtual bool registerShortcut(const Shortcut &shortcut) = 0;
    virtual void unregisterShortcut() = 0;
};

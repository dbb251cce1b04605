#include "PlatformAdapters.h"

#include "services/ActiveAppService.h"
#include "services/HotKeyService.h"

void FrontmostAppAdapter::start()
{
    m_service.start();
}

std::optional<AppContext> FrontmostAppAdapter::currentContext() const
{
    return m_service.currentContext();
}

std::optional<AppContext> FrontmostAppAdapter::lastExternal() const
{
    return m_service.lastExternal();
}

void GlobalHotKeyAdapter::setHandler(std::function<void()> handler)
{
    m_service.setHandler(std::move(handler));
}

bool GlobalHotKeyAdapter::registerShortcut(const Shortcut &shortcut)
{
    return m_service.registerKey(shortcut.keyCode, shortcut.carbonModifiers);
}

void GlobalHotKeyAdapter::unregisterShortcut()
{
    m_service.unregister();
}

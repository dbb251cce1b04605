#pragma once

#include "app/FrontmostApp.h"
#include "app/GlobalHotKey.h"

class ActiveAppService;
class HotKeyService;

// ActiveAppService as the model sees the frontmost application.
class FrontmostAppAdapter : public FrontmostApp
{
public:
    explicit FrontmostAppAdapter(ActiveAppService &service) : m_service(service) {}
    void start() override;
    std::optional<AppContext> currentContext() const override;
    std::optional<AppContext> lastExternal() const override;

private:
    ActiveAppService &m_service;
};

// HotKeyService as the model sees the global shortcut.
class GlobalHotKeyAdapter : public GlobalHotKey
{
public:
    explicit GlobalHotKeyAdapter(HotKeyService &service) : m_service(service) {}
    void setHandler(std::function<void()> handler) override;
    bool registerShortcut(const Shortcut &shortcut) override;
    void unregisterShortcut() override;

private:
    HotKeyService &m_service;
};

#include "FakeAppServices.h"

namespace TestSupport {

void FakeStatusItem::updateTitle(int todayCount)
{
    m_journal.calls << QStringLiteral("updateTitle");
    m_journal.titles << todayCount;
}

void FakeToast::show(const VorpEvent &event)
{
    m_journal.calls << QStringLiteral("toast");
    m_journal.toasts << event;
}

void FakeHotKey::setHandler(std::function<void()> newHandler)
{
    m_journal.calls << QStringLiteral("setHandler");
    handler = std::move(newHandler);
}

bool FakeHotKey::registerShortcut(const Shortcut &shortcut)
{
    m_journal.calls << QStringLiteral("register");
    if (accept)
        registered = shortcut;
    return accept;
}

void FakeNotices::send(const QString &title, const QString &body)
{
    m_journal.calls << QStringLiteral("notice");
    m_journal.notices << std::pair{title, body};
}

void FakeServices::install(AppModel &model)
{
    AppServices services;
    services.frontmostApp = &frontmost;
    services.sound = &sound;
    services.hotKey = &hotKey;
    services.notices = &notices;
    services.statusItem = &statusItem;
    services.toast = &toast;
    services.dashboardWindow = &dashboardWindow;
    model.setServices(services);
}

} // namespace TestSupport

#include "ActiveAppService.h"

#include "platform/DesktopEntries.h"

ActiveAppService::ActiveAppService(std::unique_ptr<ActiveWindowSource> source, const DesktopEntries &entries,
                                   qint64 ownPid, QObject *parent)
    : QObject(parent), m_source(std::move(source)), m_entries(entries), m_ownPid(ownPid)
{
    if (!m_source)
        m_source = std::make_unique<NoActiveWindowSource>();
    // Activation arrives inside the window system's dispatch; the lookups wait for the next turn.
    connect(
        m_source.get(), &ActiveWindowSource::activeWindowChanged, this,
        [this] {
            if (auto context = externalInFront()) {
                m_lastExternal = context;
                Q_EMIT lastExternalChanged();
            }
        },
        Qt::QueuedConnection);
}

ActiveAppService::~ActiveAppService() = default;

AppContext ActiveAppService::contextFor(const ActiveWindowInfo &window, const DesktopEntries &entries)
{
    AppContext context;
    const QString fallback = !window.wmClass.isEmpty() ? window.wmClass : window.wmInstance;
    if (auto entry = entries.forWindowClass(window.wmInstance, window.wmClass)) {
        context.name = entry->name;
        context.bundleID = entry->id;
    } else if (!fallback.isEmpty()) {
        context.name = fallback;
        context.bundleID = fallback;
    }
    return context;
}

std::optional<AppContext> ActiveAppService::externalInFront()
{
    const std::optional<ActiveWindowInfo> window = m_source->activeWindow();
    if (!window || (window->pid && *window->pid == m_ownPid))
        return std::nullopt;
    return contextFor(*window, m_entries);
}

void ActiveAppService::start()
{
    if (m_started)
        return;
    m_started = true;
    m_source->start();
    if (auto context = externalInFront()) {
        m_lastExternal = context;
        Q_EMIT lastExternalChanged();
    }
}

std::optional<AppContext> ActiveAppService::currentContext()
{
    if (auto context = externalInFront())
        return context;
    return m_lastExternal;
}

#pragma once

#include "models/VorpEvent.h"
#include "platform/ActiveWindowSource.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class DesktopEntries;

// Knows which application an incident is charged to: the window in front now when it is not this
// program, else the last other application seen in front since start-up.
class ActiveAppService : public QObject
{
    Q_OBJECT
public:
    // `entries` names applications by their desktop entry and must outlive the service; `ownPid`
    // recognises this program's own windows. Without a source nothing is ever in front.
    ActiveAppService(std::unique_ptr<ActiveWindowSource> source, const DesktopEntries &entries, qint64 ownPid,
                     QObject *parent = nullptr);
    ~ActiveAppService() override;

    // Seeds `lastExternal` from the window in front and starts watching activations.
    void start();
    std::optional<AppContext> currentContext();
    std::optional<AppContext> lastExternal() const { return m_lastExternal; }

    // The application a window belongs to: the desktop entry's name and id, else its WM_CLASS.
    static AppContext contextFor(const ActiveWindowInfo &window, const DesktopEntries &entries);

Q_SIGNALS:
    void lastExternalChanged();

private:
    std::optional<AppContext> externalInFront();
    std::unique_ptr<ActiveWindowSource> m_source;
    const DesktopEntries &m_entries;
    qint64 m_ownPid;
    std::optional<AppContext> m_lastExternal;
    bool m_started = false;
};

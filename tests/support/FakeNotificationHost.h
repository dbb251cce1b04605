#pragma once

#include "services/NotificationService.h"

#include <QStringList>

// The application as the notification service sees it: a list of incidents, a tray count and a
// dashboard, each recording what it was asked.
class FakeNotificationHost : public NotificationHost
{
public:
    EventSnapshot allEvents() const override { return events; }
    void refreshTodayCount() override { ++countRefreshes; }
    void openDashboard(const QString &page) override { openedPages.append(page); }

    QList<VorpEvent> events;
    int countRefreshes = 0;
    QStringList openedPages;
};

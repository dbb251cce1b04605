#include "AppNotifications.h"

#include "app/AppModel.h"
#include "app/StatusItem.h"

AppNotifications::AppNotifications(AppModel &model, NotificationService &service)
    : m_model(model), m_service(service)
{
    m_service.setHost(this);
    m_service.setClock([&model] { return model.now(); });
    m_service.setTimeZone(model.timeZone());
}

AppNotifications::~AppNotifications()
{
    m_service.setHost(nullptr);
}

void AppNotifications::start()
{
    m_service.setTimeZone(m_model.timeZone());
    m_service.start();
}

void AppNotifications::send(const QString &title, const QString &body)
{
    m_service.send(title, body);
}

void AppNotifications::requestAuthorization()
{
    m_service.requestAuthorization();
}

EventSnapshot AppNotifications::allEvents() const
{
    return m_model.allEvents();
}

void AppNotifications::refreshTodayCount()
{
    if (StatusItem *item = m_model.statusItem())
        item->updateTitle(m_model.todayCount());
}

void AppNotifications::openDashboard(const QString &page)
{
    m_model.setDashboardTab(dashboardTabFromRaw(page).value_or(DashboardTab::overview));
    m_model.showDashboard();
}

#pragma once

#include "app/NoticeSender.h"
#include "services/NotificationService.h"

class AppModel;

// Joins the model and the notification service: the model's notices go out through the service,
// and the service reads incidents, refreshes the tray count and opens the dashboard through the
// model. Lives as long as both.
class AppNotifications : public NoticeSender, public NotificationHost
{
public:
    AppNotifications(AppModel &model, NotificationService &service);
    ~AppNotifications() override;

    // NoticeSender
    void start() override;
    void send(const QString &title, const QString &body) override;
    void requestAuthorization() override;

    // NotificationHost
    EventSnapshot allEvents() const override;
    void refreshTodayCount() override;
    void openDashboard(const QString &page) override;

private:
    AppModel &m_model;
    NotificationService &m_service;
};

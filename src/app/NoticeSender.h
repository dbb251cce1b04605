#pragma once

#include <QString>

// Desktop notifications as the model uses them (backed by NotificationService).
class NoticeSender
{
public:
    virtual ~NoticeSender() = default;

    // Starts the service's own schedule (weekly report, calm day); called once at start-up.
    virtual void start() = 0;
    // Sends an immediate notice whose click opens the dashboard on the overview page.
    // Sends nothing when notifications are not available.
    virtual void send(const QString &title, const QString &body) = 0;
    // Asks the desktop to allow notices (first-run card); the answer is not awaited.
    virtual void requestAuthorization() = 0;
};

#pragma once

#include <QObject>
#include <QString>
#include <functional>

// One notice for the desktop: shown at once, never scheduled.
struct Notice
{
    QString title;
    QString body;
    // Where a click leads; a null string means no route.
    QString route;
};

// The desktop's notification service, as the program sees it. Every answer arrives later on the
// calling thread's event loop, never inside the call, so no caller ever waits on the desktop.
class Notifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Finds out whether notices can be shown now; `done` runs later with the answer.
    virtual void queryAuthorized(std::function<void(bool authorized)> done) = 0;
    // Shows a notice; a failure is not reported.
    virtual void post(const Notice &notice) = 0;
    // Asks for permission to notify; the answer is not reported.
    virtual void requestAuthorization() = 0;

Q_SIGNALS:
    // The user clicked a notice posted through this notifier (null route when it had none).
    void clicked(const QString &route);
};

#include "ui/PageRefresh.h"

#include "app/AppModel.h"
#include "models/Store.h"

#include <QTimer>

QTimer *watchForRefresh(AppModel &model, QObject *owner, std::function<void()> refresh)
{
    auto *timer = new QTimer(owner);
    timer->setSingleShot(true);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, owner, std::move(refresh));
    QObject::connect(&model, &AppModel::dayChanged, timer, qOverload<>(&QTimer::start));
    QObject::connect(&model, &AppModel::logTickChanged, timer, qOverload<>(&QTimer::start));
    QObject::connect(&model.store(), &Store::changed, timer, qOverload<>(&QTimer::start));
    return timer;
}

#include "support/ModelFixture.h"

#include "models/Store.h"

#include <QtTest>

namespace TestSupport {

ModelFixture::ModelFixture(const std::function<void(const QString &storePath)> &prepareStore)
{
    if (prepareStore)
        prepareStore(dir.filePath(QStringLiteral("Grumblix.store")));
    now = QDateTime(QDate(2026, 12, 9), QTime(15, 0), zone);
    prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("config/Grumblix.conf")));
    // Not a first launch: bootstrap() then opens nothing.
    prefs->setValue(PrefKey::hasOnboarded, true);
    fakes = std::make_unique<FakeServices>();
    QString error;
    model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("Grumblix.store")), *prefs, &error);
    if (!model->isValid())
        qFatal("model: %s", qPrintable(error));
    model->setClock([this] { return now; });
    model->setTimeZone(zone);
    fakes->install(*model);
    model->bootstrap({QStringLiteral("grumblix")});
    fakes->journal.calls.clear();
}

ModelFixture::~ModelFixture()
{
    model.reset();
}

VorpEvent ModelFixture::seed(const QDateTime &at, std::optional<QString> triggerKey,
                             std::optional<QString> appName, std::optional<QString> bundleID)
{
    VorpEvent event = VorpEvent::make(at, std::move(appName), std::move(bundleID), std::move(triggerKey), {},
                                      EventSource::menuBar);
    model->store().insert(event);
    model->store().save();
    return event;
}

} // namespace TestSupport

#pragma once

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "support/FakeAppServices.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <memory>

namespace TestSupport {

// A bootstrapped model over a fresh store in a temporary folder, with fake services, a fixed
// Berlin time zone and a clock the test moves by hand (Wednesday 9 December 2026, 15:00).
struct ModelFixture
{
    // `prepareStore`, when given, makes the store file before the model opens it.
    explicit ModelFixture(const std::function<void(const QString &storePath)> &prepareStore = {});
    ~ModelFixture();

    // Puts an incident straight into the store, with no follow-up.
    VorpEvent seed(const QDateTime &at, std::optional<QString> triggerKey = std::nullopt,
                   std::optional<QString> appName = std::nullopt,
                   std::optional<QString> bundleID = std::nullopt);

    QTemporaryDir dir;
    QTimeZone zone{"Europe/Berlin"};
    QDateTime now;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<AppModel> model;
};

} // namespace TestSupport

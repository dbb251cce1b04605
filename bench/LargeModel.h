#pragma once

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <memory>

// A bootstrapped model over a store of 100,000 incidents (about two years, a few minutes apart,
// ending at `now`), with its folders and preferences in a temporary directory.
struct LargeModel
{
    static inline const QTimeZone zone{"Europe/Berlin"};
    static inline const QDateTime now{QDate(2025, 3, 5), QTime(15, 0), zone};

    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;

    LargeModel()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setValue(QStringLiteral("hasOnboarded"), true);
        model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("Grumblix.store")), *prefs);
        model->setClock([] { return now; });
        model->setTimeZone(zone);
        model->bootstrap({QStringLiteral("grumblix")});
        const QStringList apps{
            "Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom", "Figma"};
        const QStringList keys{"meeting", "email", "build",      "code",
                               "people",  "bug",   "management", "production"};
        // In UTC, as the store loads them.
        for (int i = 0; i < 100'000; ++i) {
            VorpEvent e = VorpEvent::make(now.toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()],
                                          apps[i % apps.size()].toLower(),
                                          i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                                          std::nullopt, EventSource::menuBar);
            model->store().insert(e);
        }
        model->store().save();
    }
};

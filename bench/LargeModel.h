#pragma once

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <memory>

// A bootstrapped model over a store of 100,000 incidents (about two years, a few minutes apart,
// ending at `now`), with its folders and preferences in a temporary directory. The store is written
// first and loaded by the model, as a user's store is at start-up.
struct LargeModel
{
    static inline const QTimeZone zone{"Europe/Berlin"};
    static inline const QDateTime now{QDate(2025, 3, 5), QTime(15, 0), zone};
    static constexpr int incidents = 100'000;

    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;

    // With `notes`, every seventh incident carries one of a few notes (what a search reads);
    // `count` incidents in place of the usual 100,000, as far apart.
    explicit LargeModel(bool notes = false, int count = incidents)
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setHasOnboarded(true);
        writeStore(storePath(), notes, count);
        model = std::make_unique<AppModel>(storePath(), *prefs);
        model->setClock([] { return now; });
        model->setTimeZone(zone);
        model->bootstrap({QStringLiteral("grumblix")});
    }

    QString storePath() const { return dir.filePath(QStringLiteral("Grumblix.store")); }

private:
    static void writeStore(const QString &path, bool notes, int count)
    {
        auto store = Store::open(path);
        const QStringList apps{
            "Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom", "Figma"};
        const QStringList keys{"meeting", "email", "build",      "code",
                               "people",  "bug",   "management", "production"};
        const QStringList noteTexts{"standup ran long", "the build again", "who scheduled this",
                                    "prod is on fire"};
        // Oldest first, in UTC, as the store keeps them.
        for (int i = count - 1; i >= 0; --i) {
            VorpEvent e = VorpEvent::make(
                now.toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()], apps[i % apps.size()].toLower(),
                i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                notes && i % 7 == 0 ? std::optional(noteTexts[i % noteTexts.size()]) : std::nullopt,
                EventSource::menuBar);
            store->insert(e);
        }
        store->save();
    }
};

#pragma once

#include "app/DashboardTab.h"
#include "models/Shortcut.h"
#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "services/Achievement.h"
#include "services/AchievementService.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimeZone>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class DashboardWindow;
class FrontmostApp;
class GlobalHotKey;
class NoticeSender;
class Prefs;
class PressSound;
class StatusItem;
class Store;
class Toast;

// The platform pieces the model drives. The shell fills this in before bootstrap(); tests pass
// fakes. Every member may be left empty: the model then skips that step.
struct AppServices
{
    // Applies the "appearance" preference to the whole application.
    std::function<void()> applyAppearance;
    FrontmostApp *frontmostApp = nullptr;
    PressSound *sound = nullptr;
    GlobalHotKey *hotKey = nullptr;
    NoticeSender *notices = nullptr;
    // Builds the tray item for the model during bootstrap(); the model owns the result.
    std::function<std::unique_ptr<StatusItem>(class AppModel &)> makeStatusItem;
    std::unique_ptr<Toast> toast;
    std::unique_ptr<DashboardWindow> dashboardWindow;
};

// The one application model: owns the store, is the only writer of incidents and triggers, and
// publishes the few values the views observe. Lives on the main thread.
class AppModel : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // Opens (or creates) the store at storePath. On failure errorMessage is set and the model is
    // unusable (isValid() false); the file is left as it was.
    AppModel(const QString &storePath, Prefs &prefs, QString *errorMessage = nullptr,
             QObject *parent = nullptr);
    ~AppModel() override;

    // The process-wide model over $XDG_DATA_HOME/Grumblix/Grumblix.store and Prefs::shared(),
    // created on first use. A store that cannot be opened stops the program with
    // "Could not open the Grumblix store: …" on stderr and, with a display, in a message box.
    static AppModel &shared();
    static QString defaultStorePath();

    bool isValid() const;

    // Platform pieces; call once before bootstrap().
    void setServices(AppServices services);

    // "Now" and the local time zone for every date computation; tests inject both.
    void setClock(Clock clock);
    QDateTime now() const;
    void setTimeZone(const QTimeZone &zone);
    QTimeZone timeZone() const;
    // How long a fresh achievement stays announced (6 s).
    void setAnnouncementDuration(std::chrono::milliseconds duration);

    // The start-up sequence, with the process's whole argument list (program path included).
    void bootstrap(const QStringList &arguments);

    // The store: views that edit a record in place (a note) update it here and save.
    Store &store();
    Prefs &prefs();

    // Published values.
    DashboardTab dashboardTab() const;
    void setDashboardTab(DashboardTab tab); // notifies on every write, also of the same page
    Shortcut shortcut() const;
    void setShortcut(const Shortcut &shortcut);
    bool hotKeyRegistered() const;
    void setHotKeyRegistered(bool registered);
    // The key caps of the shortcut as really bound: the desktop's own description where it gave
    // one (the portal may assign another key than the one asked for), else the stored shortcut.
    QStringList shortcutKeyCaps() const;
    // What the desktop says it bound; empty = the stored shortcut. Notifies through shortcutChanged.
    void setBoundShortcutDescription(const QString &description);
    // The achievement unlocked moments ago, or nullptr; cleared after the announcement duration.
    const Achievement *freshAchievement() const;
    int logTick() const;

    // The tray item (nullptr before bootstrap()), the toast and the dashboard window (nullptr
    // when none was given).
    StatusItem *statusItem() const;
    Toast *hud() const;
    DashboardWindow *windows() const;

    // Closes the tray panel if there is one, then shows the dashboard on its current page.
    void showDashboard();

    // Logging. app none: charged to the frontmost application other than Grumblix.
    VorpEvent log(EventSource source, std::optional<AppContext> app = std::nullopt,
                  std::optional<QString> triggerKey = std::nullopt,
                  std::optional<QString> note = std::nullopt);
    // The global shortcut's action: logs with source shortcut and shows the toast if "showHUD".
    void logFromShortcut();
    // Incidents stamped at or after the start of today (no upper bound).
    int todayCount() const;

    // Queries: incidents oldest first; triggers by sortOrder, hidden ones included.
    QList<VorpEvent> allEvents() const;
    QList<Trigger> allTriggers() const;

    // Record edits and data actions. Store failures are swallowed; a failed save stays pending.
    void setTrigger(const std::optional<QString> &key, const VorpEvent &event);
    void deleteEvent(const VorpEvent &event);
    void addTrigger(const QString &name, const QString &emoji);
    void deleteTrigger(const Trigger &trigger);
    // Gives each listed trigger (matched by id) the listed sortOrder, then saves once, so a
    // renumbered list is written in one transaction. Unknown ids are skipped.
    void reorderTriggers(const QList<Trigger> &triggers);
    // Shows or hides a trigger as a quick chip and saves.
    void setTriggerHidden(const Trigger &trigger, bool hidden);
    void eraseEverything();
    void addDemoData();
    void removeDemoData();

    // Stores every currently unlocked achievement as seen, announcing none.
    void markAchievementsSeen();

    // A grumblix:// URL as written, from the desktop, a launcher or a second instance.
    void handle(const QString &url);

    // Writes whatever is still pending; called once more when the program quits.
    void flushPendingChanges();

Q_SIGNALS:
    void dashboardTabChanged();
    void shortcutChanged();
    void hotKeyRegisteredChanged();
    void freshAchievementChanged();
    void logTickChanged();

private:
    // The most incidents on one day before the day of `current`.
    int previousDailyBest(const QDateTime &current);
    void seedTriggersIfNeeded();
    void checkAchievements();
    // What one log leaves for its deferred record check: its moment and the count it made.
    struct RecordCheck
    {
        QDateTime loggedAt;
        int todayCount = 0;
    };
    void checkRecord(const RecordCheck &check);
    QList<Achievement> unlockedAchievements() const;
    void refreshStatusTitle();
    void advanceLogTick();
    void enqueueAchievementCheck(std::optional<RecordCheck> record);
    void scheduleDayChange();

    std::unique_ptr<Store> m_store;
    Prefs &m_prefs;
    AppServices m_services;
    std::unique_ptr<StatusItem> m_statusItem;
    Clock m_clock;
    QTimeZone m_timeZone;
    std::chrono::milliseconds m_announcementDuration{6000};
    DashboardTab m_dashboardTab = DashboardTab::overview;
    Shortcut m_shortcut;
    QString m_boundShortcutDescription;
    bool m_hotKeyRegistered = true;
    std::shared_ptr<const Achievement> m_freshAchievement;
    int m_logTick = 0;
    // What the deferred checks counted over the store's incidents, kept while the store only grows
    // at its end (Store::rewrites() unchanged) and the time zone stays, so a log adds one incident.
    mutable std::optional<AchievementService::Tally> m_achievementTally;
    mutable quint64 m_talliedRewrites = 0;
    struct RecordBest
    {
        quint64 rewrites;
        qsizetype counted; // incidents looked at
        qint64 cut;        // the start of the day, UTC ms
        QTimeZone zone;
        int best;
    };
    std::optional<RecordBest> m_recordBest;
    class QTimer *m_dayTimer = nullptr;
    QDate m_dayTimerDate;
};

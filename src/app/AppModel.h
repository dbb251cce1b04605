#pragma once

#include "app/DashboardTab.h"
#include "models/EventSnapshot.h"
#include "models/Shortcut.h"
#include "models/StoreLock.h"
#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "services/Achievement.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimeZone>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class AchievementTracker;
class CsvExport;
class DashboardWindow;
class DayWatcher;
class FrontmostApp;
class GlobalHotKey;
class NoticeSender;
class Prefs;
class PressSound;
class StatusItem;
class Store;
class Toast;
class QTimer;

// The platform pieces and windows the model drives. The shell creates and owns them and fills this
// in before bootstrap(); tests pass fakes. Every member may be left null: the model then skips that
// step. Each must outlive the model's use of it.
struct AppServices
{
    FrontmostApp *frontmostApp = nullptr;
    PressSound *sound = nullptr;
    GlobalHotKey *hotKey = nullptr;
    NoticeSender *notices = nullptr;
    StatusItem *statusItem = nullptr;
    Toast *toast = nullptr;
    DashboardWindow *dashboardWindow = nullptr;
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
    // Over a store that is already open (not null).
    AppModel(std::unique_ptr<Store> store, Prefs &prefs, QObject *parent = nullptr);
    ~AppModel() override;

    // Opens (or creates) the store at storePath, making its folder first; null with errorMessage
    // set when it cannot be opened, the file left as it was. `lock`: the store's writer lock when
    // the caller holds it already (see Store::open).
    static std::unique_ptr<Store> openStore(const QString &storePath, QString *errorMessage,
                                            StoreLock lock = {});
    // $XDG_DATA_HOME/Grumblix/Grumblix.store
    static QString defaultStorePath();

    bool isValid() const;

    // Platform pieces; call once before bootstrap().
    void setServices(AppServices services);

    // "Now" and the local time zone for every date computation; tests inject both.
    void setClock(Clock clock);
    QDateTime now() const;
    void setTimeZone(const QTimeZone &zone);
    QTimeZone timeZone() const;
    // The program's day-change source, over this clock and zone; started by bootstrap(). The tray
    // badge follows it before dayChanged() reaches the views.
    DayWatcher &days();
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
    // Asks the desktop to allow notices; nothing without a notice sender.
    void requestNotificationPermission();

    // Logging. app none: charged to the frontmost application other than Grumblix.
    VorpEvent log(EventSource source, std::optional<AppContext> app = std::nullopt,
                  std::optional<QString> triggerKey = std::nullopt,
                  std::optional<QString> note = std::nullopt);
    // The global shortcut's action: logs with source shortcut and shows the toast if "showHUD".
    void logFromShortcut();
    // Incidents stamped at or after the start of today (no upper bound).
    int todayCount() const;

    // Queries: incidents oldest first (a snapshot, cheap to keep); triggers by sortOrder, hidden
    // ones included.
    EventSnapshot allEvents() const;
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

    // Starts writing every incident as CSV to `path` on a thread of its own (see CsvExport); none
    // while one runs. The model keeps the export, so it outlives the page that asked for it, and a
    // page opened later finds its progress, or how it ended, in csvExport() until it is forgotten.
    CsvExport *startCsvExport(const QString &path);
    CsvExport *csvExport() const;
    // Lets go of an export that has ended (deleted later, so a slot of its own signal may call it).
    void forgetCsvExport();

    // Every achievement with its progress as of now, counted incrementally while incidents are only
    // added (a refresh does not walk every incident again).
    QList<Achievement> achievements() const;

    // Stores every currently unlocked achievement as seen, announcing none.
    void markAchievementsSeen();

    // A grumblix:// URL as written, from the desktop, a launcher or a second instance.
    void handle(const QString &url);

    // What a failed save left waiting, for the notice the windows show: how many changes wait (0
    // once a save succeeds), why ("the disk is full"), the summary ("3 incidents aren't saved
    // yet: the disk is full."), what becomes of them ("Grumblix keeps them while it runs and saves
    // them once there is room.") and the whole notice, summary and outlook. Empty while none wait.
    int unsavedChanges() const;
    // The count as the summary words it ("3 incidents", "1 change").
    QString unsavedAmount() const;
    QString unsavedReason() const;
    // When they will be saved, as the outlook words it ("once there is room"); empty where trying
    // again cannot mend the cause.
    QString unsavedUntil() const;
    QString unsavedSummary() const;
    QString unsavedOutlook() const;
    QString unsavedNotice() const;
    // While changes wait after a save that may pass later, they are saved again `first` after the
    // failure, then twice as long after each further failure, up to `longest` (2 s and 60 s).
    void setSaveRetryDelays(std::chrono::milliseconds first, std::chrono::milliseconds longest);
    // The wait the next of these saves was set for; none while none is due.
    std::optional<std::chrono::milliseconds> saveRetryDelay() const;

    // Writes whatever is still pending; false (and *error) when it stays pending.
    bool flushPendingChanges(QString *error = nullptr);
    // At quit: writes what is pending, then checkpoints and closes the store, so the store file
    // alone holds every record.
    void closeStore();

Q_SIGNALS:
    void dashboardTabChanged();
    void shortcutChanged();
    void hotKeyRegisteredChanged();
    void freshAchievementChanged();
    void logTickChanged();
    // The calendar day turned (midnight, a resume from suspend, a changed clock or zone).
    void dayChanged();
    // Saving fails for a reason that trying again cannot mend (the file's tables no longer fit);
    // told once per run, with the store's path and the error. Unsaved changes stay pending.
    void storeUnwritable(const QString &path, const QString &error);
    // What the unsaved...() accessors answer changed.
    void unsavedChangesChanged();

private:
    void seedTriggersIfNeeded();
    void checkAchievements();
    // What one log leaves for its deferred record check: its moment and the count it made.
    struct RecordCheck
    {
        QDateTime loggedAt;
        int todayCount = 0;
    };
    void checkRecord(const RecordCheck &check);
    QList<Achievement> unlockedAchievements();
    void refreshStatusTitle();
    void advanceLogTick();
    void enqueueAchievementCheck(std::optional<RecordCheck> record);
    void watchSaves();
    void syncUnsaved();

    // What the last failed save left waiting, as told; all empty while everything is saved.
    struct Unsaved
    {
        int count = 0;
        QString amount;
        QString reason;
        QString until;
        QString summary;
        QString outlook;
        bool operator==(const Unsaved &) const = default;
    };

    std::unique_ptr<Store> m_store;
    Prefs &m_prefs;
    AppServices m_services;
    Clock m_clock;
    QTimeZone m_timeZone;
    std::chrono::milliseconds m_announcementDuration{6000};
    DashboardTab m_dashboardTab = DashboardTab::overview;
    Shortcut m_shortcut;
    QString m_boundShortcutDescription;
    bool m_hotKeyRegistered = true;
    std::shared_ptr<const Achievement> m_freshAchievement;
    int m_logTick = 0;
    // What the deferred checks counted over the store's incidents.
    std::unique_ptr<AchievementTracker> m_tracker;
    DayWatcher *m_days;
    bool m_toldUnwritable = false;
    QPointer<CsvExport> m_csvExport;
    Unsaved m_unsaved;
    QTimer *m_saveRetry;
    std::chrono::milliseconds m_firstRetryDelay{2000};
    std::chrono::milliseconds m_longestRetryDelay{60000};
    std::chrono::milliseconds m_retryDelay{2000};
};

#include "AppModel.h"

#include "app/DashboardWindow.h"
#include "app/FrontmostApp.h"
#include "app/GlobalHotKey.h"
#include "app/LaunchArguments.h"
#include "app/NoticeSender.h"
#include "app/PressSound.h"
#include "app/StatusItem.h"
#include "app/Toast.h"
#include "app/UrlCommand.h"
#include "models/CalendarKeys.h"
#include "models/CsvExport.h"
#include "models/DemoData.h"
#include "models/Prefs.h"
#include "models/PrivateFiles.h"
#include "models/Store.h"
#include "services/AchievementTracker.h"
#include "services/DayWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>
#include <algorithm>

AppModel::AppModel(const QString &storePath, Prefs &prefs, QString *errorMessage, QObject *parent)
    : AppModel(openStore(storePath, errorMessage), prefs, parent)
{
}

AppModel::AppModel(std::unique_ptr<Store> store, Prefs &prefs, QObject *parent)
    : QObject(parent), m_store(std::move(store)), m_prefs(prefs),
      m_clock([] { return QDateTime::currentDateTime(); }), m_timeZone(QTimeZone::systemTimeZone()),
      m_days(new DayWatcher([this] { return now(); }, m_timeZone, this)), m_saveRetry(new QTimer(this))
{
    m_shortcut = Shortcut::load(m_prefs);
    if (m_store) {
        m_tracker = std::make_unique<AchievementTracker>(*m_store);
        watchSaves();
    }
    connect(m_days, &DayWatcher::dayChanged, this, [this] {
        refreshStatusTitle();
        Q_EMIT dayChanged();
    });
}

std::unique_ptr<Store> AppModel::openStore(const QString &storePath, QString *errorMessage, StoreLock lock)
{
    // A folder that cannot be made is left to the store open to report.
    PrivateFiles::makeFolder(QFileInfo(storePath).absolutePath());
    QString error;
    auto store = Store::open(storePath, &error, std::move(lock));
    if (!store && errorMessage)
        *errorMessage = error;
    return store;
}

AppModel::~AppModel() = default;

QString AppModel::defaultStorePath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data + QStringLiteral("/Grumblix/Grumblix.store");
}

bool AppModel::isValid() const
{
    return m_store != nullptr;
}

void AppModel::setServices(AppServices services)
{
    m_services = std::move(services);
}

void AppModel::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

QDateTime AppModel::now() const
{
    return m_clock();
}

void AppModel::setTimeZone(const QTimeZone &zone)
{
    m_timeZone = zone;
    m_days->setTimeZone(zone);
}

DayWatcher &AppModel::days()
{
    return *m_days;
}

QTimeZone AppModel::timeZone() const
{
    return m_timeZone;
}

void AppModel::setAnnouncementDuration(std::chrono::milliseconds duration)
{
    m_announcementDuration = duration;
}

Store &AppModel::store()
{
    return *m_store;
}

Prefs &AppModel::prefs()
{
    return m_prefs;
}

DashboardTab AppModel::dashboardTab() const
{
    return m_dashboardTab;
}

void AppModel::setDashboardTab(DashboardTab tab)
{
    m_dashboardTab = tab;
    Q_EMIT dashboardTabChanged();
}

Shortcut AppModel::shortcut() const
{
    return m_shortcut;
}

void AppModel::setShortcut(const Shortcut &shortcut)
{
    m_shortcut = shortcut;
    // A new wish: nothing is known of how the desktop binds it yet.
    m_boundShortcutDescription.clear();
    Q_EMIT shortcutChanged();
}

QStringList AppModel::shortcutKeyCaps() const
{
    const QStringList bound = Shortcut::capsFromDescription(m_boundShortcutDescription);
    return bound.isEmpty() ? m_shortcut.modifierSymbols() << m_shortcut.keyLabel : bound;
}

void AppModel::setBoundShortcutDescription(const QString &description)
{
    if (m_boundShortcutDescription == description)
        return;
    m_boundShortcutDescription = description;
    Q_EMIT shortcutChanged();
}

bool AppModel::hotKeyRegistered() const
{
    return m_hotKeyRegistered;
}

void AppModel::setHotKeyRegistered(bool registered)
{
    m_hotKeyRegistered = registered;
    Q_EMIT hotKeyRegisteredChanged();
}

const Achievement *AppModel::freshAchievement() const
{
    return m_freshAchievement.get();
}

int AppModel::logTick() const
{
    return m_logTick;
}

StatusItem *AppModel::statusItem() const
{
    return m_services.statusItem;
}

Toast *AppModel::hud() const
{
    return m_services.toast;
}

DashboardWindow *AppModel::windows() const
{
    return m_services.dashboardWindow;
}

void AppModel::showDashboard()
{
    if (statusItem())
        statusItem()->closePanel();
    if (windows())
        windows()->showDashboard();
}

void AppModel::requestNotificationPermission()
{
    if (m_services.notices)
        m_services.notices->requestAuthorization();
}

void AppModel::bootstrap(const QStringList &arguments)
{
    seedTriggersIfNeeded();
    if (m_services.frontmostApp)
        m_services.frontmostApp->start();
    if (m_services.sound)
        m_services.sound->warmUp();
    refreshStatusTitle();
    if (m_services.hotKey) {
        m_services.hotKey->setHandler([model = QPointer<AppModel>(this)] {
            if (model)
                model->logFromShortcut();
        });
        setHotKeyRegistered(m_services.hotKey->registerShortcut(m_shortcut));
    }
    if (!m_prefs.hasSeenAchievements())
        markAchievementsSeen();
    if (m_services.notices)
        m_services.notices->start();
    m_days->start();

    const LaunchArguments launch = LaunchArguments::parse(arguments);
    if (launch.demo && allEvents().isEmpty())
        addDemoData();
    if (launch.tab)
        setDashboardTab(*launch.tab);
    if (!m_prefs.hasOnboarded() || launch.dashboard)
        showDashboard();
    if (launch.panel && statusItem())
        statusItem()->openPanel();
}

void AppModel::seedTriggersIfNeeded()
{
    QSet<QString> keys;
    for (const Trigger &trigger : m_store->triggers())
        keys.insert(trigger.key);
    const auto &catalogue = Trigger::defaults();
    for (int position = 0; position < catalogue.size(); ++position) {
        const Trigger::Builtin &builtin = catalogue.at(position);
        const QString key = QString::fromUtf8(builtin.key);
        if (keys.contains(key))
            continue;
        Trigger trigger = Trigger::make(key, QString::fromUtf8(builtin.name),
                                        QString::fromUtf8(builtin.emoji), position, true);
        m_store->insert(trigger);
    }
    m_store->save();
}

VorpEvent AppModel::log(EventSource source, std::optional<AppContext> app, std::optional<QString> triggerKey,
                        std::optional<QString> note)
{
    if (!app && m_services.frontmostApp)
        app = m_services.frontmostApp->currentContext();
    const AppContext context = app.value_or(AppContext{});
    VorpEvent event = VorpEvent::make(now(), context.name, context.bundleID, std::move(triggerKey),
                                      std::move(note), source);
    m_store->insert(event);
    m_store->save();

    if (m_services.sound)
        m_services.sound->play();
    if (statusItem())
        statusItem()->flash();
    advanceLogTick();
    refreshStatusTitle();
    // The record check runs a turn later; it judges this log by the count this log made, so
    // several logs in one turn (URLs opened together) cannot jump past the record unnoticed.
    enqueueAchievementCheck(RecordCheck{event.timestamp, todayCount()});
    return event;
}

void AppModel::logFromShortcut()
{
    const VorpEvent event = log(EventSource::shortcut);
    if (m_prefs.showHUD() && hud())
        hud()->show(event);
}

int AppModel::todayCount() const
{
    const QDateTime start = now().toTimeZone(m_timeZone).date().startOfDay(m_timeZone);
    const EventSnapshot events = m_store->events();
    const auto first = std::lower_bound(
        events.begin(), events.end(), start,
        [](const VorpEvent &event, const QDateTime &moment) { return event.timestamp < moment; });
    return int(events.end() - first);
}

EventSnapshot AppModel::allEvents() const
{
    return m_store->events();
}

QList<Trigger> AppModel::allTriggers() const
{
    return m_store->triggers();
}

void AppModel::setTrigger(const std::optional<QString> &key, const VorpEvent &event)
{
    if (auto stored = m_store->event(event.id)) {
        stored->triggerKey = key;
        m_store->update(*stored);
    }
    m_store->save();
    advanceLogTick();
    enqueueAchievementCheck(std::nullopt);
}

void AppModel::deleteEvent(const VorpEvent &event)
{
    m_store->removeEvent(event.id);
    m_store->save();
    advanceLogTick();
    refreshStatusTitle();
}

void AppModel::addTrigger(const QString &name, const QString &emoji)
{
    int largest = 0;
    for (const Trigger &trigger : m_store->triggers())
        largest = std::max(largest, trigger.sortOrder);
    const QString key =
        QStringLiteral("custom-") + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toLower();
    Trigger trigger = Trigger::make(key, name, emoji, largest + 1, false);
    m_store->insert(trigger);
    m_store->save();
}

void AppModel::deleteTrigger(const Trigger &trigger)
{
    // One pass over the incidents: updating them one by one searched the whole list for each.
    m_store->replaceTriggerKey(trigger.key, std::nullopt);
    m_store->removeTrigger(trigger.id);
    m_store->save();
}

void AppModel::reorderTriggers(const QList<Trigger> &triggers)
{
    for (const Trigger &trigger : triggers) {
        std::optional<Trigger> stored = m_store->trigger(trigger.id);
        if (stored && stored->sortOrder != trigger.sortOrder) {
            stored->sortOrder = trigger.sortOrder;
            m_store->update(*stored);
        }
    }
    m_store->save();
}

void AppModel::setTriggerHidden(const Trigger &trigger, bool hidden)
{
    if (std::optional<Trigger> stored = m_store->trigger(trigger.id)) {
        stored->isHidden = hidden;
        m_store->update(*stored);
    }
    m_store->save();
}

void AppModel::eraseEverything()
{
    m_store->removeAllEvents();
    m_store->save();
    m_prefs.setSeenAchievements({});
    advanceLogTick();
    refreshStatusTitle();
}

void AppModel::addDemoData()
{
    DemoData::generate(*m_store, allTriggers(), 5, now(), m_timeZone, *QRandomGenerator::system());
    markAchievementsSeen();
    advanceLogTick();
    refreshStatusTitle();
}

void AppModel::removeDemoData()
{
    m_store->removeEventsFrom(rawValue(EventSource::demo));
    m_store->save();
    advanceLogTick();
    refreshStatusTitle();
}

CsvExport *AppModel::startCsvExport(const QString &path)
{
    if (m_csvExport && m_csvExport->isRunning())
        return nullptr;
    forgetCsvExport();
    // Both cheap here: the snapshot shares the store's records, and there are few triggers.
    m_csvExport = new CsvExport(path, allEvents(), allTriggers(), this);
    m_csvExport->start();
    return m_csvExport;
}

CsvExport *AppModel::csvExport() const
{
    return m_csvExport;
}

void AppModel::forgetCsvExport()
{
    if (m_csvExport)
        m_csvExport->deleteLater();
    m_csvExport = nullptr;
}

QList<Achievement> AppModel::achievements() const
{
    return m_tracker->all(m_timeZone, now());
}

QList<Achievement> AppModel::unlockedAchievements()
{
    return m_tracker->unlocked(m_timeZone, now());
}

void AppModel::markAchievementsSeen()
{
    QStringList ids;
    for (const Achievement &achievement : unlockedAchievements())
        ids << achievement.id;
    m_prefs.setSeenAchievements(ids);
}

void AppModel::checkAchievements()
{
    const QList<Achievement> unlocked = unlockedAchievements();
    const QStringList seenList = m_prefs.seenAchievements();
    QSet<QString> seen(seenList.begin(), seenList.end());
    const auto fresh = std::find_if(unlocked.begin(), unlocked.end(),
                                    [&](const Achievement &a) { return !seen.contains(a.id); });
    if (fresh == unlocked.end())
        return;
    // Everything unlocked now counts as seen; only the first new one is announced.
    for (const Achievement &achievement : unlocked)
        seen.insert(achievement.id);
    m_prefs.setSeenAchievements(QStringList(seen.begin(), seen.end()));

    const auto announced = std::make_shared<const Achievement>(*fresh);
    m_freshAchievement = announced;
    Q_EMIT freshAchievementChanged();
    QTimer::singleShot(m_announcementDuration, this, [this, announced] {
        if (m_freshAchievement && *m_freshAchievement == *announced) {
            m_freshAchievement.reset();
            Q_EMIT freshAchievementChanged();
        }
    });
}

void AppModel::checkRecord(const RecordCheck &check)
{
    if (!m_prefs.notifyRecord())
        return;
    const QDateTime current = check.loggedAt;
    const QString todayKey = dayKey(current, m_timeZone);
    if (m_prefs.lastRecordDay() == todayKey)
        return;

    const int previousBest = m_tracker->previousDailyBest(m_timeZone, current);
    const int today = check.todayCount;
    if (previousBest < 5 || today != previousBest + 1)
        return;
    m_prefs.setLastRecordDay(todayKey);
    if (m_services.notices) {
        m_services.notices->send(
            QStringLiteral("New personal record"),
            QStringLiteral("Congratulations? You just broke your daily record: %1 today.").arg(today));
    }
}

void AppModel::refreshStatusTitle()
{
    if (statusItem())
        statusItem()->updateTitle(todayCount());
}

void AppModel::advanceLogTick()
{
    ++m_logTick;
    Q_EMIT logTickChanged();
}

void AppModel::enqueueAchievementCheck(std::optional<RecordCheck> record)
{
    QMetaObject::invokeMethod(
        this,
        [this, record] {
            checkAchievements();
            if (record)
                checkRecord(*record);
        },
        Qt::QueuedConnection);
}

void AppModel::handle(const QString &url)
{
    const UrlCommand command = UrlCommand::parse(url);
    switch (command.kind) {
    case UrlCommand::Kind::ignore:
        return;
    case UrlCommand::Kind::log: {
        std::optional<AppContext> app;
        if (m_services.frontmostApp)
            app = m_services.frontmostApp->lastExternal();
        const VorpEvent event = log(command.source, app, command.triggerKey, command.note);
        if (m_prefs.showHUD() && hud())
            hud()->show(event);
        return;
    }
    case UrlCommand::Kind::report:
        setDashboardTab(DashboardTab::report);
        showDashboard();
        return;
    case UrlCommand::Kind::dashboard:
        showDashboard();
        return;
    }
}

namespace {

// Why changes wait, as the notice says it.
QString reasonText(Store::SaveCause cause, const QString &error)
{
    switch (cause) {
    case Store::SaveCause::diskFull:
        return QStringLiteral("the disk is full");
    case Store::SaveCause::locked:
        return QStringLiteral("another program is holding the store");
    case Store::SaveCause::readOnly:
        return QStringLiteral("the store is write-protected");
    case Store::SaveCause::none:
    case Store::SaveCause::other:
        break;
    }
    return error.isEmpty() ? QStringLiteral("saving failed")
                           : QStringLiteral("saving failed with “%1”").arg(error);
}

// When they will be saved: once the cause passes; none when trying again cannot mend it.
QString untilText(Store::SaveCause cause, bool permanent)
{
    if (permanent)
        return {};
    switch (cause) {
    case Store::SaveCause::diskFull:
        return QStringLiteral("once there is room");
    case Store::SaveCause::locked:
        return QStringLiteral("once the store is free");
    case Store::SaveCause::readOnly:
        return QStringLiteral("once it may write there again");
    case Store::SaveCause::none:
    case Store::SaveCause::other:
        break;
    }
    return QStringLiteral("once a later try succeeds");
}

// What becomes of them: kept while the program runs, saved once the cause passes.
QString outlookText(Store::SaveCause cause, bool permanent, int count)
{
    const QString them = count == 1 ? QStringLiteral("it") : QStringLiteral("them");
    if (permanent)
        return QStringLiteral("Grumblix keeps %1 while it runs.").arg(them);
    if (cause == Store::SaveCause::none || cause == Store::SaveCause::other)
        return QStringLiteral("Grumblix keeps %1 while it runs and keeps trying to save %1.").arg(them);
    return QStringLiteral("Grumblix keeps %1 while it runs and saves %1 %2.")
        .arg(them, untilText(cause, false));
}

} // namespace

void AppModel::watchSaves()
{
    m_saveRetry->setSingleShot(true);
    connect(m_saveRetry, &QTimer::timeout, this, [this] {
        // A failure arms the next try (see below), further off; a success ends the tries.
        m_retryDelay = std::min(m_retryDelay * 2, m_longestRetryDelay);
        m_store->save();
    });
    connect(m_store.get(), &Store::saveFailed, this, [this](const QString &failure) {
        if (m_store->lastSaveFailure() == Store::SaveFailure::permanent) {
            // Trying again cannot mend it; a later change still tries with its own save.
            m_saveRetry->stop();
            if (!m_toldUnwritable) {
                m_toldUnwritable = true;
                Q_EMIT storeUnwritable(m_store->path(), failure);
            }
        } else if (!m_saveRetry->isActive()) {
            m_saveRetry->start(m_retryDelay);
        }
        syncUnsaved();
    });
    connect(m_store.get(), &Store::saved, this, [this] {
        m_saveRetry->stop();
        m_retryDelay = m_firstRetryDelay;
        syncUnsaved();
    });
    connect(m_store.get(), &Store::changed, this, &AppModel::syncUnsaved);
}

void AppModel::syncUnsaved()
{
    Unsaved unsaved;
    const Store::PendingChanges pending = m_store->lastSaveFailure() == Store::SaveFailure::none
                                              ? Store::PendingChanges{}
                                              : m_store->pendingChanges();
    if (const int count = pending.total(); count > 0) {
        const Store::SaveCause cause = m_store->lastSaveCause();
        const bool permanent = m_store->lastSaveFailure() == Store::SaveFailure::permanent;
        // Counted as incidents only while every one of them is a new incident.
        const bool incidents = pending.otherChanges == 0;
        const QString noun = incidents
                                 ? (count == 1 ? QStringLiteral("incident") : QStringLiteral("incidents"))
                                 : (count == 1 ? QStringLiteral("change") : QStringLiteral("changes"));
        unsaved.count = count;
        unsaved.amount = QString::number(count) + QLatin1Char(' ') + noun;
        unsaved.reason = reasonText(cause, m_store->lastSaveError());
        unsaved.summary =
            QStringLiteral("%1 %2 saved yet: %3.")
                .arg(unsaved.amount, count == 1 ? QStringLiteral("isn't") : QStringLiteral("aren't"),
                     unsaved.reason);
        unsaved.outlook = outlookText(cause, permanent, count);
        unsaved.until = untilText(cause, permanent);
    }
    if (unsaved == m_unsaved)
        return;
    m_unsaved = unsaved;
    Q_EMIT unsavedChangesChanged();
}

int AppModel::unsavedChanges() const
{
    return m_unsaved.count;
}

QString AppModel::unsavedAmount() const
{
    return m_unsaved.amount;
}

QString AppModel::unsavedReason() const
{
    return m_unsaved.reason;
}

QString AppModel::unsavedUntil() const
{
    return m_unsaved.until;
}

QString AppModel::unsavedSummary() const
{
    return m_unsaved.summary;
}

QString AppModel::unsavedOutlook() const
{
    return m_unsaved.outlook;
}

QString AppModel::unsavedNotice() const
{
    if (m_unsaved.count == 0)
        return {};
    return m_unsaved.summary + QLatin1Char(' ') + m_unsaved.outlook;
}

void AppModel::setSaveRetryDelays(std::chrono::milliseconds first, std::chrono::milliseconds longest)
{
    m_firstRetryDelay = first;
    m_longestRetryDelay = std::max(first, longest);
    m_retryDelay = first;
}

std::optional<std::chrono::milliseconds> AppModel::saveRetryDelay() const
{
    if (!m_saveRetry->isActive())
        return std::nullopt;
    return std::chrono::milliseconds(m_saveRetry->interval());
}

bool AppModel::flushPendingChanges(QString *error)
{
    return !m_store || !m_store->hasPendingChanges() || m_store->save(error);
}

void AppModel::closeStore()
{
    if (!m_store)
        return;
    flushPendingChanges();
    // What that could not write is lost with the process; nothing tries again.
    m_saveRetry->stop();
    m_store->close();
}

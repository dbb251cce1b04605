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
#include "models/DemoData.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "services/AchievementService.h"
#include "services/Analytics.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kSeenAchievements = QStringLiteral("seenAchievements");
const QString kLastRecordDay = QStringLiteral("lastRecordDay");

// The day-change check runs at the next local midnight, and at least this often so that a
// suspended machine or a changed clock is noticed too.
constexpr int kMaxDayTimerMs = 15 * 60 * 1000;

void reportFatal(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) &&
        platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, QStringLiteral("Grumblix"), message);
    }
}

} // namespace

AppModel::AppModel(const QString &storePath, Prefs &prefs, QString *errorMessage, QObject *parent)
    : QObject(parent), m_prefs(prefs), m_clock([] { return QDateTime::currentDateTime(); }),
      m_timeZone(QTimeZone::systemTimeZone())
{
    m_shortcut = Shortcut::load(m_prefs);
    // A folder that cannot be made is left to the store open to report.
    QDir().mkpath(QFileInfo(storePath).absolutePath());
    QString error;
    m_store = Store::open(storePath, &error);
    if (!m_store && errorMessage)
        *errorMessage = error;
}

AppModel::~AppModel() = default;

AppModel &AppModel::shared()
{
    static AppModel *instance = [] {
        QString error;
        auto *model = new AppModel(defaultStorePath(), Prefs::shared(), &error);
        if (!model->isValid()) {
            reportFatal(QStringLiteral("Could not open the Grumblix store: ") + error);
            std::exit(EXIT_FAILURE);
        }
        return model;
    }();
    return *instance;
}

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
    return m_statusItem.get();
}

Toast *AppModel::hud() const
{
    return m_services.toast.get();
}

DashboardWindow *AppModel::windows() const
{
    return m_services.dashboardWindow.get();
}

void AppModel::showDashboard()
{
    if (m_statusItem)
        m_statusItem->closePanel();
    if (windows())
        windows()->showDashboard();
}

void AppModel::bootstrap(const QStringList &arguments)
{
    if (m_services.applyAppearance)
        m_services.applyAppearance();
    seedTriggersIfNeeded();
    if (m_services.frontmostApp)
        m_services.frontmostApp->start();
    if (m_services.sound)
        m_services.sound->warmUp();
    if (m_services.makeStatusItem) {
        m_statusItem = m_services.makeStatusItem(*this);
        refreshStatusTitle();
    }
    if (m_services.hotKey) {
        m_services.hotKey->setHandler([model = QPointer<AppModel>(this)] {
            if (model)
                model->logFromShortcut();
        });
        setHotKeyRegistered(m_services.hotKey->registerShortcut(m_shortcut));
    }
    if (!m_prefs.contains(kSeenAchievements))
        markAchievementsSeen();
    if (m_services.notices)
        m_services.notices->start();
    scheduleDayChange();

    const LaunchArguments launch = LaunchArguments::parse(arguments);
    if (launch.demo && allEvents().isEmpty())
        addDemoData();
    if (launch.tab)
        setDashboardTab(*launch.tab);
    if (!m_prefs.boolValue(QStringLiteral("hasOnboarded")) || launch.dashboard)
        showDashboard();
    if (launch.panel && m_statusItem)
        m_statusItem->openPanel();
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

void AppModel::scheduleDayChange()
{
    if (!m_dayTimer) {
        m_dayTimer = new QTimer(this);
        m_dayTimer->setSingleShot(true);
        connect(m_dayTimer, &QTimer::timeout, this, [this] {
            const QDate today = now().toTimeZone(m_timeZone).date();
            if (today != m_dayTimerDate) {
                m_dayTimerDate = today;
                refreshStatusTitle();
            }
            scheduleDayChange();
        });
        m_dayTimerDate = now().toTimeZone(m_timeZone).date();
    }
    const QDateTime current = now();
    const QDateTime midnight = current.toTimeZone(m_timeZone).date().addDays(1).startOfDay(m_timeZone);
    const qint64 untilMidnight = current.msecsTo(midnight) + 50;
    m_dayTimer->start(int(std::clamp<qint64>(untilMidnight, 1000, kMaxDayTimerMs)));
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
    if (m_statusItem)
        m_statusItem->flash();
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
    if (m_prefs.boolValue(QStringLiteral("showHUD")) && hud())
        hud()->show(event);
}

int AppModel::todayCount() const
{
    const QDateTime start = now().toTimeZone(m_timeZone).date().startOfDay(m_timeZone);
    const QList<VorpEvent> &events = m_store->events();
    const auto first = std::lower_bound(
        events.begin(), events.end(), start,
        [](const VorpEvent &event, const QDateTime &moment) { return event.timestamp < moment; });
    return int(events.end() - first);
}

QList<VorpEvent> AppModel::allEvents() const
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
    m_store->removeEventsIf([](const VorpEvent &) { return true; });
    m_store->save();
    m_prefs.setValue(kSeenAchievements, QStringList());
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
    m_store->removeEventsIf([](const VorpEvent &event) { return event.sourceRaw == QLatin1String("demo"); });
    m_store->save();
    advanceLogTick();
    refreshStatusTitle();
}

QList<Achievement> AppModel::unlockedAchievements() const
{
    const QList<VorpEvent> &events = m_store->events();
    if (!m_achievementTally || m_talliedRewrites != m_store->rewrites() ||
        m_achievementTally->size() > events.size() ||
        m_achievementTally->calendar().timeZone() != m_timeZone) {
        m_achievementTally.emplace(Calendar(m_timeZone));
        m_talliedRewrites = m_store->rewrites();
    }
    for (qsizetype i = m_achievementTally->size(); i < events.size(); ++i)
        m_achievementTally->add(events[i]);
    QList<Achievement> unlocked;
    for (const Achievement &achievement : m_achievementTally->results(now())) {
        if (achievement.progress >= achievement.target)
            unlocked << achievement;
    }
    return unlocked;
}

void AppModel::markAchievementsSeen()
{
    QStringList ids;
    for (const Achievement &achievement : unlockedAchievements())
        ids << achievement.id;
    m_prefs.setValue(kSeenAchievements, ids);
}

void AppModel::checkAchievements()
{
    const QList<Achievement> unlocked = unlockedAchievements();
    const QStringList seenList = m_prefs.stringListValue(kSeenAchievements);
    QSet<QString> seen(seenList.begin(), seenList.end());
    const auto fresh = std::find_if(unlocked.begin(), unlocked.end(),
                                    [&](const Achievement &a) { return !seen.contains(a.id); });
    if (fresh == unlocked.end())
        return;
    // Everything unlocked now counts as seen; only the first new one is announced.
    for (const Achievement &achievement : unlocked)
        seen.insert(achievement.id);
    m_prefs.setValue(kSeenAchievements, QStringList(seen.begin(), seen.end()));

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
    if (!m_prefs.boolValue(QStringLiteral("notifyRecord")))
        return;
    const QDateTime current = check.loggedAt;
    const QString todayKey = dayKey(current, m_timeZone);
    if (m_prefs.stringValue(kLastRecordDay) == todayKey)
        return;

    const int previousBest = previousDailyBest(current);
    const int today = check.todayCount;
    if (previousBest < 5 || today != previousBest + 1)
        return;
    m_prefs.setValue(kLastRecordDay, todayKey);
    if (m_services.notices) {
        m_services.notices->send(
            QStringLiteral("New personal record"),
            QStringLiteral("Congratulations? You just broke your daily record: %1 today.").arg(today));
    }
}

int AppModel::previousDailyBest(const QDateTime &current)
{
    // Incidents logged after the start of the day do not count, and a store that only grew at
    // its end with nothing new before that start keeps the best it had.
    const QList<VorpEvent> &events = m_store->events();
    const Calendar cal(m_timeZone);
    const qint64 cut = Calendar::msecs(cal.startOfDay(current));
    const bool kept = m_recordBest && m_recordBest->rewrites == m_store->rewrites() &&
                      m_recordBest->cut == cut && m_recordBest->zone == m_timeZone &&
                      m_recordBest->counted <= events.size() &&
                      (m_recordBest->counted == events.size() ||
                       Calendar::msecs(events[m_recordBest->counted].timestamp) >= cut);
    if (!kept) {
        const Analytics stats{events, cal, current};
        m_recordBest =
            RecordBest{m_store->rewrites(), events.size(), cut, m_timeZone, stats.maxDailyCount(current)};
    }
    m_recordBest->counted = events.size();
    return m_recordBest->best;
}

void AppModel::refreshStatusTitle()
{
    if (m_statusItem)
        m_statusItem->updateTitle(todayCount());
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
        if (m_prefs.boolValue(QStringLiteral("showHUD")) && hud())
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

void AppModel::flushPendingChanges()
{
    if (m_store && m_store->hasPendingChanges())
        m_store->save();
}

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "support/FakeAppServices.h"
#include "support/FullDisk.h"
#include "support/StoredRecords.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace TestSupport;

class TestAppModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void firstLaunchSeedsAndOpensDashboard();
    void freshStoreAndItsFoldersArePrivate();
    void laterLaunchKeepsTriggerState();
    void launchArguments_data();
    void launchArguments();
    void demoArgumentNeedsEmptyStore();
    void hotKeyRegistration();
    void shortcutPressLogsAndShowsToast_data();
    void shortcutPressLogsAndShowsToast();

    void logRecordsAndAnswers();
    void logFallsBackToFrontmostApp();
    void todayCountHasNoUpperBound();
    void firstLogAnnouncesFirstAchievement();
    void onlyFirstOfSimultaneousAchievementsIsAnnounced();
    void laterAnnouncementIsNotClearedByEarlierTimer();
    void recordNotice_data();
    void recordNotice();
    void recordNoticeOncePerDay();
    void recordNoticeWhenLogsShareOneTurn();
    void recordNoticeSeesDeletedDays();

    void addTriggerSortOrderAndKeys();
    void deleteTriggerUncategorizes();
    void setTriggerAlwaysTicks();
    void triggerOrderAndVisibilityAreSaved();
    void deleteAndEraseRefreshCount();
    void removeDemoDataKeepsManualIncidents();
    void addDemoDataAnnouncesNothing();
    void erasingWaitsForRoomWithWhatFollows_data();
    void erasingWaitsForRoomWithWhatFollows();

    void urlCommands_data();
    void urlCommands();
    void urlLogUsesLastExternalApp();

    void dayChangeRefreshesCount();
    void failedSaveIsRetriedAtQuit();
    void unmendableSaveFailureIsToldOnce_data();
    void unmendableSaveFailureIsToldOnce();
    void unsavedChangesAreCountedAndTold_data();
    void unsavedChangesAreCountedAndTold();
    void unsavedNoticeStaysQuietWhileSavesFail();
    void pendingChangesAreSavedOnceThereIsRoom();
    void retriesFollowTheCause_data();
    void retriesFollowTheCause();
    void aRowWrittenBehindTheModelsBackIsNeverReplaced();

private:
    void makeModel();
    void log(int count, const QDateTime &at, std::optional<QString> key = std::nullopt);
    void seed(const QDateTime &at, std::optional<QString> key = std::nullopt);
    QStringList seen() const { return m_prefs->stringListValue(PrefKey::seenAchievements); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<FakeServices> m_fakes;
    QTimeZone m_zone{"Europe/Berlin"};
    // Wednesday afternoon.
    QDateTime m_now;
};

void TestAppModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("config/Grumblix.conf")));
    m_now = QDateTime(QDate(2026, 12, 9), QTime(15, 0), m_zone);
    makeModel();
}

void TestAppModel::cleanup()
{
    m_model.reset();
    m_fakes.reset();
    m_prefs.reset();
}

void TestAppModel::makeModel()
{
    m_model.reset();
    m_fakes = std::make_unique<FakeServices>();
    QString error;
    m_model = std::make_unique<AppModel>(m_dir->filePath(QStringLiteral("data/Grumblix/Grumblix.store")),
                                         *m_prefs, &error);
    QVERIFY2(m_model->isValid(), qPrintable(error));
    m_model->setClock([this] { return m_now; });
    m_model->setTimeZone(m_zone);
    m_model->setAnnouncementDuration(std::chrono::milliseconds(200));
    m_fakes->install(*m_model);
}

// Logs through the model at a given time, letting the follow-up checks run.
void TestAppModel::log(int count, const QDateTime &at, std::optional<QString> key)
{
    const QDateTime saved = m_now;
    m_now = at;
    for (int i = 0; i < count; ++i) {
        m_model->log(EventSource::menuBar, AppContext{}, key);
        QCoreApplication::processEvents();
    }
    m_now = saved;
}

// Puts an incident straight into the store, with no follow-up.
void TestAppModel::seed(const QDateTime &at, std::optional<QString> key)
{
    VorpEvent event = VorpEvent::make(at, {}, {}, std::move(key), {}, EventSource::menuBar);
    m_model->store().insert(event);
    QVERIFY(m_model->store().save());
}

void TestAppModel::firstLaunchSeedsAndOpensDashboard()
{
    QVERIFY(m_model->hotKeyRegistered());
    m_model->bootstrap({QStringLiteral("grumblix")});

    const QStringList expected{"startFrontmost", "warmUp",       "updateTitle", "setHandler",
                               "register",       "startNotices", "closePanel",  "showDashboard"};
    QCOMPARE(m_fakes->journal.calls, expected);

    const QList<Trigger> triggers = m_model->allTriggers();
    QCOMPARE(triggers.size(), 10);
    for (int i = 0; i < triggers.size(); ++i) {
        QCOMPARE(triggers[i].key, QString::fromUtf8(Trigger::defaults()[i].key));
        QCOMPARE(triggers[i].sortOrder, i);
        QVERIFY(triggers[i].isBuiltIn && !triggers[i].isHidden);
    }
    QVERIFY(!m_model->store().hasPendingChanges());
    // The baseline is recorded: present, and empty as nothing is unlocked.
    QVERIFY(m_prefs->contains(PrefKey::seenAchievements));
    QCOMPARE(seen(), QStringList());
    QCOMPARE(m_model->dashboardTab(), DashboardTab::overview);
}

void TestAppModel::laterLaunchKeepsTriggerState()
{
    m_model->bootstrap({});
    QList<Trigger> triggers = m_model->allTriggers();
    Trigger meeting = triggers[0];
    meeting.isHidden = true;
    meeting.sortOrder = 20;
    m_model->store().update(meeting);
    m_model->store().removeTrigger(triggers[3].id); // "code"
    QVERIFY(m_model->store().save());
    const qint64 meetingId = meeting.id;

    m_prefs->setValue(PrefKey::hasOnboarded, true);
    makeModel();
    m_model->bootstrap({});
    QVERIFY(!m_fakes->journal.calls.contains(QStringLiteral("showDashboard")));
    triggers = m_model->allTriggers();
    QCOMPARE(triggers.size(), 10);
    const auto code = std::find_if(triggers.begin(), triggers.end(),
                                   [](const Trigger &t) { return t.key == QLatin1String("code"); });
    QVERIFY(code != triggers.end());
    QCOMPARE(code->sortOrder, 3);
    QCOMPARE(triggers.last().id, meetingId);
    QVERIFY(triggers.last().isHidden);
    QCOMPARE(triggers.last().sortOrder, 20);
}

void TestAppModel::launchArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("onboarded");
    QTest::addColumn<DashboardTab>("tab");
    QTest::addColumn<bool>("dashboard");
    QTest::addColumn<bool>("panel");
    QTest::newRow("first tab wins") << QStringList{"--tab=history", "--tab=report"} << true
                                    << DashboardTab::history << false << false;
    QTest::newRow("invalid first tab")
        << QStringList{"--tab=History", "--tab=report"} << true << DashboardTab::overview << false << false;
    QTest::newRow("empty tab") << QStringList{"--tab="} << true << DashboardTab::overview << false << false;
    QTest::newRow("panel only") << QStringList{"--panel"} << true << DashboardTab::overview << false << true;
    QTest::newRow("dashboard and panel") << QStringList{"--panel", "--dashboard", "--tab=settings"} << true
                                         << DashboardTab::settings << true << true;
    QTest::newRow("not onboarded") << QStringList{} << false << DashboardTab::overview << true << false;
    QTest::newRow("near misses") << QStringList{"--Dashboard", "-panel", "--tab", "x--tab=report"} << true
                                 << DashboardTab::overview << false << false;
}

void TestAppModel::launchArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, onboarded);
    QFETCH(DashboardTab, tab);
    QFETCH(bool, dashboard);
    QFETCH(bool, panel);
    m_prefs->setValue(PrefKey::hasOnboarded, onboarded);
    m_model->bootstrap(QStringList{QStringLiteral("/usr/bin/grumblix")} + arguments);
    QCOMPARE(m_model->dashboardTab(), tab);
    QCOMPARE(m_fakes->journal.calls.contains(QStringLiteral("showDashboard")), dashboard);
    QCOMPARE(m_fakes->journal.calls.contains(QStringLiteral("openPanel")), panel);
    if (dashboard && panel) // the panel opens after the dashboard
        QCOMPARE(m_fakes->journal.calls.last(), QStringLiteral("openPanel"));
}

void TestAppModel::demoArgumentNeedsEmptyStore()
{
    seed(m_now.addDays(-1));
    m_model->bootstrap({QStringLiteral("--demo")});
    QCOMPARE(m_model->allEvents().size(), 1);

    m_model->eraseEverything();
    makeModel();
    m_model->bootstrap({QStringLiteral("--demo")});
    QVERIFY(m_model->allEvents().size() > 50);
    for (const VorpEvent &event : m_model->allEvents())
        QCOMPARE(event.sourceRaw, QStringLiteral("demo"));
}

void TestAppModel::hotKeyRegistration()
{
    m_fakes->hotKey.accept = false;
    QSignalSpy changed(m_model.get(), &AppModel::hotKeyRegisteredChanged);
    m_model->bootstrap({});
    QVERIFY(!m_model->hotKeyRegistered());
    QCOMPARE(changed.count(), 1);

    Shortcut custom{Qt::Key_K, Shortcut::controlBit, QStringLiteral("K")};
    custom.save(*m_prefs);
    makeModel();
    QCOMPARE(m_model->shortcut(), custom);
    m_model->bootstrap({});
    QVERIFY(m_model->hotKeyRegistered());
    QCOMPARE(m_fakes->hotKey.registered, std::optional<Shortcut>(custom));
}

void TestAppModel::shortcutPressLogsAndShowsToast_data()
{
    QTest::addColumn<bool>("showHUD");
    QTest::newRow("toast") << true;
    QTest::newRow("no toast") << false;
}

void TestAppModel::shortcutPressLogsAndShowsToast()
{
    QFETCH(bool, showHUD);
    m_prefs->setValue(PrefKey::showHUD, showHUD);
    m_fakes->frontmost.current = AppContext{QStringLiteral("Firefox"), QStringLiteral("firefox")};
    m_model->bootstrap({});
    m_fakes->hotKey.press();
    QCOMPARE(m_model->allEvents().size(), 1);
    const VorpEvent event = m_model->allEvents().first();
    QCOMPARE(event.sourceRaw, QStringLiteral("shortcut"));
    QCOMPARE(event.appName, std::optional<QString>(QStringLiteral("Firefox")));
    QCOMPARE(m_fakes->journal.toasts.size(), showHUD ? 1 : 0);
    if (showHUD)
        QVERIFY(m_fakes->journal.toasts.first().sameRecord(event));

    // A handler that outlives the model does nothing.
    const auto handler = m_fakes->hotKey.handler;
    m_model.reset();
    handler();
}

void TestAppModel::logRecordsAndAnswers()
{
    m_model->bootstrap({});
    m_fakes->journal.calls.clear();
    m_fakes->journal.titles.clear();
    QSignalSpy ticks(m_model.get(), &AppModel::logTickChanged);

    const AppContext app{QStringLiteral("Slack"), std::nullopt};
    const VorpEvent event =
        m_model->log(EventSource::url, app, QStringLiteral("email"), QStringLiteral("   "));
    QCOMPARE(m_fakes->journal.calls, (QStringList{"play", "flash", "updateTitle"}));
    QCOMPARE(m_fakes->journal.titles, QList<int>{1});
    QCOMPARE(m_model->logTick(), 1);
    QCOMPARE(ticks.count(), 1);

    QVERIFY(event.id != 0);
    QCOMPARE(event.timestamp, m_now);
    QCOMPARE(event.appName, app.name);
    QVERIFY(!event.bundleIdentifier);
    QCOMPARE(event.note, std::optional<QString>(QStringLiteral("   ")));
    QCOMPARE(event.sourceRaw, QStringLiteral("url"));
    QVERIFY(!m_model->store().hasPendingChanges());

    // Written through: a fresh model over the same file sees it.
    makeModel();
    QCOMPARE(m_model->allEvents().size(), 1);
    QCOMPARE(m_model->allEvents().first().uuid, event.uuid);
}

void TestAppModel::logFallsBackToFrontmostApp()
{
    m_fakes->frontmost.current = AppContext{QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal")};
    const VorpEvent withFrontmost = m_model->log(EventSource::menuBar);
    QCOMPARE(withFrontmost.bundleIdentifier, std::optional<QString>(QStringLiteral("org.gnome.Terminal")));
    m_fakes->frontmost.current.reset();
    const VorpEvent without = m_model->log(EventSource::menuBar);
    QVERIFY(!without.appName && !without.bundleIdentifier);
}

void TestAppModel::todayCountHasNoUpperBound()
{
    const QDate today = m_now.date();
    seed(QDateTime(today.addDays(-1), QTime(23, 59, 59), m_zone));
    seed(QDateTime(today, QTime(0, 0), m_zone));
    seed(QDateTime(today, QTime(23, 0), m_zone)); // later today
    seed(m_now.addDays(3));                       // in the future
    QCOMPARE(m_model->todayCount(), 3);
}

void TestAppModel::firstLogAnnouncesFirstAchievement()
{
    m_model->bootstrap({});
    QSignalSpy fresh(m_model.get(), &AppModel::freshAchievementChanged);
    m_model->log(EventSource::menuBar);
    QVERIFY(!m_model->freshAchievement()); // deferred to the next turn of the event loop
    QCoreApplication::processEvents();
    QVERIFY(m_model->freshAchievement());
    QCOMPARE(m_model->freshAchievement()->id, QStringLiteral("first"));
    QCOMPARE(seen(), QStringList{QStringLiteral("first")});
    QTRY_VERIFY(!m_model->freshAchievement());
    QCOMPARE(fresh.count(), 2);

    // Already seen: not announced again.
    log(1, m_now);
    QVERIFY(!m_model->freshAchievement());
}

void TestAppModel::onlyFirstOfSimultaneousAchievementsIsAnnounced()
{
    m_prefs->setValue(PrefKey::seenAchievements, QStringList{QStringLiteral("first")});
    for (int s = 40; s >= 10; s -= 10)
        seed(m_now.addSecs(-s), QStringLiteral("production"));
    m_model->bootstrap({});
    log(1, m_now, QStringLiteral("production")); // 5 production, 5 within a minute
    QVERIFY(m_model->freshAchievement());
    QCOMPARE(m_model->freshAchievement()->id, QStringLiteral("prod"));
    QVERIFY(seen().contains(QStringLiteral("speedrun")));
    QTRY_VERIFY(!m_model->freshAchievement());
    log(1, m_now.addSecs(1), QStringLiteral("production"));
    QVERIFY(!m_model->freshAchievement());
}

void TestAppModel::laterAnnouncementIsNotClearedByEarlierTimer()
{
    m_model->setAnnouncementDuration(std::chrono::milliseconds(400));
    m_model->bootstrap({});
    log(1, m_now.addSecs(-600), QStringLiteral("production"));
    QCOMPARE(m_model->freshAchievement()->id, QStringLiteral("first"));
    QTest::qWait(200);
    for (int i = 0; i < 4; ++i)
        seed(m_now.addSecs(-500 + i), QStringLiteral("production"));
    m_model->setTrigger(QStringLiteral("production"), m_model->allEvents().first()); // re-check
    QCoreApplication::processEvents();
    QCOMPARE(m_model->freshAchievement()->id, QStringLiteral("prod"));
    QTest::qWait(300); // the first timer has fired
    QVERIFY(m_model->freshAchievement());
    QCOMPARE(m_model->freshAchievement()->id, QStringLiteral("prod"));
    QTRY_VERIFY(!m_model->freshAchievement());
}

void TestAppModel::recordNotice_data()
{
    QTest::addColumn<int>("bestEarlierDay");
    QTest::addColumn<int>("todayLogs");
    QTest::addColumn<bool>("notify");
    QTest::addColumn<bool>("expected");
    QTest::newRow("sixth after five") << 5 << 6 << true << true;
    QTest::newRow("best four") << 4 << 9 << true << false;
    QTest::newRow("only ties") << 7 << 7 << true << false;
    QTest::newRow("switched off") << 5 << 6 << false << false;
}

void TestAppModel::recordNotice()
{
    QFETCH(int, bestEarlierDay);
    QFETCH(int, todayLogs);
    QFETCH(bool, notify);
    QFETCH(bool, expected);
    m_prefs->setValue(PrefKey::notifyRecord, notify);
    const QDateTime lastWeek = m_now.addDays(-7);
    for (int i = 0; i < bestEarlierDay; ++i)
        seed(lastWeek.addSecs(i * 3600));
    seed(m_now.addDays(-2));
    m_model->bootstrap({});
    log(todayLogs, m_now);
    QCOMPARE(m_fakes->journal.notices.size(), expected ? 1 : 0);
    if (expected) {
        QCOMPARE(m_fakes->journal.notices.first().first, QStringLiteral("New personal record"));
        QCOMPARE(m_fakes->journal.notices.first().second,
                 QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
        QCOMPARE(m_prefs->stringValue(PrefKey::lastRecordDay), QStringLiteral("2026-12-9"));
    } else {
        QVERIFY(!m_prefs->contains(PrefKey::lastRecordDay));
    }
}

void TestAppModel::recordNoticeOncePerDay()
{
    for (int i = 0; i < 5; ++i)
        seed(m_now.addDays(-1).addSecs(i));
    m_prefs->setValue(PrefKey::notifyRecord, false);
    m_model->bootstrap({});
    log(6, m_now); // the record falls while notices are off
    m_prefs->setValue(PrefKey::notifyRecord, true);
    log(1, m_now); // 7 is not 5 + 1
    QVERIFY(m_fakes->journal.notices.isEmpty());

    m_now = m_now.addDays(1);
    log(8, m_now); // the best earlier day is now 7
    QCOMPARE(m_fakes->journal.notices.size(), 1);
    log(1, m_now);
    QCOMPARE(m_fakes->journal.notices.size(), 1);
}

void TestAppModel::recordNoticeWhenLogsShareOneTurn()
{
    for (int i = 0; i < 5; ++i)
        seed(m_now.addDays(-1).addSecs(i));
    m_model->bootstrap({});
    log(5, m_now);
    // Three URLs opened at once: all three logs happen before any deferred check runs.
    for (int i = 0; i < 3; ++i)
        m_model->log(EventSource::url);
    QCoreApplication::processEvents();
    QCOMPARE(m_fakes->journal.notices.size(), 1);
    QCOMPARE(m_fakes->journal.notices.first().second,
             QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
}

void TestAppModel::recordNoticeSeesDeletedDays()
{
    for (int i = 0; i < 6; ++i)
        seed(m_now.addDays(-1).addSecs(i));
    m_model->bootstrap({});
    log(5, m_now); // the best earlier day (6) is known now
    // Deleting one of yesterday's incidents lowers the best earlier day to 5, so the sixth
    // log today is the record; a remembered best of 6 would miss it.
    const EventSnapshot all = m_model->allEvents();
    const auto yesterday = std::find_if(
        all.begin(), all.end(), [&](const VorpEvent &e) { return e.timestamp < m_now.addSecs(-12 * 3600); });
    QVERIFY(yesterday != all.end());
    m_model->deleteEvent(*yesterday);
    QCoreApplication::processEvents();
    QVERIFY(m_fakes->journal.notices.isEmpty());
    log(1, m_now);
    QCOMPARE(m_fakes->journal.notices.size(), 1);
    QCOMPARE(m_fakes->journal.notices.first().second,
             QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
}

void TestAppModel::addTriggerSortOrderAndKeys()
{
    m_model->addTrigger(QStringLiteral("Alone"), QStringLiteral("1"));
    QCOMPARE(m_model->allTriggers().first().sortOrder, 1); // none stored: 0 + 1
    m_model->store().removeTrigger(m_model->allTriggers().first().id);

    m_model->bootstrap({});
    const int tick = m_model->logTick();
    m_model->addTrigger(QStringLiteral(" Printer "), QStringLiteral("\U0001F5A8"));
    m_model->addTrigger(QStringLiteral("Printer"), QStringLiteral("\U0001F5A8"));
    QList<Trigger> triggers = m_model->allTriggers();
    QCOMPARE(triggers.size(), 12);
    QCOMPARE(triggers[10].sortOrder, 10);
    QCOMPARE(triggers[11].sortOrder, 11);
    QCOMPARE(triggers[10].name, QStringLiteral(" Printer "));
    const QRegularExpression form(QStringLiteral("^custom-[0-9a-f]{8}$"));
    QVERIFY(form.match(triggers[10].key).hasMatch());
    QVERIFY(form.match(triggers[11].key).hasMatch());
    QVERIFY(triggers[10].key != triggers[11].key);
    QVERIFY(!triggers[10].isBuiltIn && !triggers[10].isHidden);
    QCOMPARE(m_model->logTick(), tick);
    QVERIFY(!m_model->store().hasPendingChanges());
}

void TestAppModel::deleteTriggerUncategorizes()
{
    m_model->bootstrap({});
    for (int i = 0; i < 5; ++i)
        log(1, m_now.addSecs(-i * 100), QStringLiteral("bug"));
    log(1, m_now, QStringLiteral("email"));
    const int today = m_model->todayCount();
    const int tick = m_model->logTick();
    const Trigger bug = m_model->allTriggers()[5];
    QCOMPARE(bug.key, QStringLiteral("bug"));
    m_model->deleteTrigger(bug);

    makeModel(); // what was saved
    int uncategorized = 0;
    for (const VorpEvent &event : m_model->allEvents())
        uncategorized += event.triggerKey ? 0 : 1;
    QCOMPARE(uncategorized, 5);
    QCOMPARE(m_model->allEvents().size(), 6);
    QCOMPARE(m_model->todayCount(), today);
    QCOMPARE(m_model->allTriggers().size(), 9);
    QCOMPARE(m_model->allTriggers()[5].sortOrder, 6); // the others keep theirs
    Q_UNUSED(tick);
}

void TestAppModel::setTriggerAlwaysTicks()
{
    const VorpEvent event = m_model->log(EventSource::menuBar);
    QCoreApplication::processEvents();
    const int tick = m_model->logTick();
    m_model->setTrigger(std::nullopt, event);
    QCOMPARE(m_model->logTick(), tick + 1);
    m_model->setTrigger(QStringLiteral("meeting"), event);
    QCOMPARE(m_model->logTick(), tick + 2);
    makeModel();
    QCOMPARE(m_model->allEvents().first().triggerKey, std::optional<QString>(QStringLiteral("meeting")));
}

void TestAppModel::triggerOrderAndVisibilityAreSaved()
{
    m_model->bootstrap({});
    QList<Trigger> triggers = m_model->allTriggers();
    // A stale copy with another name must not overwrite the stored one: only the order is taken.
    QList<Trigger> reordered{triggers[2], triggers[0], triggers[1]};
    reordered[0].name = QStringLiteral("stale");
    Trigger unknown = triggers[3];
    unknown.id = 999;
    reordered << unknown;
    for (int i = 0; i < reordered.size(); ++i)
        reordered[i].sortOrder = i - 3; // -3, -2, -1: ahead of all others
    m_model->reorderTriggers(reordered);
    m_model->setTriggerHidden(triggers[0], true);
    m_model->setTriggerHidden(triggers[5], true);
    m_model->setTriggerHidden(triggers[5], false);
    QVERIFY(!m_model->store().hasPendingChanges());

    makeModel(); // what was saved
    const QList<Trigger> stored = m_model->allTriggers();
    QCOMPARE(stored.size(), 10);
    QCOMPARE(stored[0].key, triggers[2].key);
    QCOMPARE(stored[0].name, triggers[2].name);
    QCOMPARE(stored[1].key, triggers[0].key);
    QCOMPARE(stored[2].key, triggers[1].key);
    QCOMPARE(stored[3].key, triggers[3].key);
    QCOMPARE(stored[3].sortOrder, 3); // the unknown id wrote nothing
    QVERIFY(stored[1].isHidden);
    for (int i = 2; i < stored.size(); ++i)
        QVERIFY(!stored[i].isHidden);
}

void TestAppModel::deleteAndEraseRefreshCount()
{
    m_model->bootstrap({});
    m_model->eraseEverything(); // empty store: still stores the list and ticks
    QCOMPARE(m_model->logTick(), 1);
    QVERIFY(m_prefs->contains(PrefKey::seenAchievements));

    log(3, m_now);
    QVERIFY(!seen().isEmpty());
    m_prefs->setValue(PrefKey::lastRecordDay, QStringLiteral("2026-12-1"));
    m_fakes->journal.titles.clear();
    m_model->deleteEvent(m_model->allEvents().first());
    QCOMPARE(m_fakes->journal.titles, QList<int>{2});
    QCOMPARE(m_model->logTick(), 5);

    m_model->eraseEverything();
    QCOMPARE(m_fakes->journal.titles, (QList<int>{2, 0}));
    QVERIFY(m_prefs->contains(PrefKey::seenAchievements));
    QCOMPARE(seen(), QStringList());
    QCOMPARE(m_prefs->stringValue(PrefKey::lastRecordDay), QStringLiteral("2026-12-1"));
    QCOMPARE(m_model->allTriggers().size(), 10);
    makeModel();
    QVERIFY(m_model->allEvents().isEmpty());
}

void TestAppModel::removeDemoDataKeepsManualIncidents()
{
    m_model->bootstrap({});
    m_model->addDemoData();
    const int demo = m_model->allEvents().size();
    log(2, m_now.addSecs(-60));
    QCOMPARE(m_model->allEvents().size(), demo + 2);
    m_fakes->journal.titles.clear();
    m_model->removeDemoData();
    QCOMPARE(m_model->allEvents().size(), 2);
    QCOMPARE(m_fakes->journal.titles, QList<int>{2});
    makeModel();
    QCOMPARE(m_model->allEvents().size(), 2);
}

void TestAppModel::addDemoDataAnnouncesNothing()
{
    m_model->bootstrap({});
    const int tick = m_model->logTick();
    m_model->addDemoData();
    QCoreApplication::processEvents();
    QVERIFY(!m_model->freshAchievement());
    QVERIFY(seen().contains(QStringLiteral("first")));
    QCOMPARE(m_model->logTick(), tick + 1);
    log(1, m_now);
    QVERIFY(!m_model->freshAchievement() || m_model->freshAchievement()->id != QLatin1String("first"));
}

void TestAppModel::erasingWaitsForRoomWithWhatFollows_data()
{
    QTest::addColumn<bool>("everything");
    QTest::newRow("erase everything") << true;
    QTest::newRow("remove demo data") << false;
}

void TestAppModel::erasingWaitsForRoomWithWhatFollows()
{
    QFETCH(bool, everything);
    FullDisk disk;
    makeModel();
    m_model->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    m_model->bootstrap({});
    log(2, m_now.addSecs(-3600));
    m_model->addDemoData();
    const int demo = int(m_model->allEvents().size()) - 2;
    QVERIFY(demo > 0);

    disk.setFull(true);
    const int tick = m_model->logTick();
    if (everything)
        m_model->eraseEverything();
    else
        m_model->removeDemoData();
    QCOMPARE(m_model->logTick(), tick + 1);
    // Each stored incident it takes is a change waiting.
    const int taken = everything ? demo + 2 : demo;
    QCOMPARE(m_model->unsavedChanges(), taken);
    const VorpEvent after =
        m_model->log(EventSource::menuBar, AppContext{}, std::nullopt, QStringLiteral("after"));
    QCOMPARE(m_model->unsavedChanges(), taken + 1);

    disk.setFull(false);
    QVERIFY(m_model->flushPendingChanges());
    QCOMPARE(m_model->unsavedChanges(), 0);
    makeModel();
    const EventSnapshot kept = m_model->allEvents();
    QCOMPARE(kept.size(), everything ? 1 : 3);
    QCOMPARE(kept.last().uuid, after.uuid);
    for (const VorpEvent &event : kept)
        QVERIFY(event.sourceRaw != QLatin1String("demo"));
}

void TestAppModel::urlCommands_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("logs");
    QTest::addColumn<QString>("source");
    QTest::addColumn<std::optional<QString>>("trigger");
    QTest::addColumn<std::optional<QString>>("note");
    QTest::addColumn<bool>("dashboard");
    QTest::addColumn<DashboardTab>("tab");
    const std::optional<QString> none;
    const auto text = [](const char *s) { return std::optional<QString>(QString::fromUtf8(s)); };
    QTest::newRow("bare log") << "grumblix://log" << true << "url" << none << none << false
                              << DashboardTab::history;
    QTest::newRow("source") << "grumblix://log?source=shortcut" << true << "shortcut" << none << none << false
                            << DashboardTab::history;
    QTest::newRow("source case") << "grumblix://log?source=Shortcut" << true << "url" << none << none << false
                                 << DashboardTab::history;
    QTest::newRow("empty trigger") << "grumblix://log?trigger=" << true << "url" << text("") << none << false
                                   << DashboardTab::history;
    QTest::newRow("bare trigger") << "grumblix://log?trigger&note=x" << true << "url" << none << text("x")
                                  << false << DashboardTab::history;
    QTest::newRow("escapes") << "grumblix://log?note=Build%20broke%2C%20again&trigger=build" << true << "url"
                             << text("build") << text("Build broke, again") << false << DashboardTab::history;
    QTest::newRow("plus stays") << "grumblix://log?note=a+b%26c" << true << "url" << none << text("a+b&c")
                                << false << DashboardTab::history;
    QTest::newRow("first note") << "grumblix://log/ignored/path?note=one&note=two&x=1" << true << "url"
                                << none << text("one") << false << DashboardTab::history;
    QTest::newRow("unknown trigger") << "grumblix://log?trigger=nope" << true << "url" << text("nope") << none
                                     << false << DashboardTab::history;
    QTest::newRow("scheme case") << "GRUMBLIX://log" << false << "" << none << none << false
                                 << DashboardTab::history;
    QTest::newRow("other scheme") << "https://log" << false << "" << none << none << false
                                  << DashboardTab::history;
    QTest::newRow("no scheme") << "log?note=x" << false << "" << none << none << false
                               << DashboardTab::history;
    QTest::newRow("report") << "grumblix://report" << false << "" << none << none << true
                            << DashboardTab::report;
    QTest::newRow("host case") << "grumblix://LOG?note=x" << false << "" << none << none << true
                               << DashboardTab::history;
    QTest::newRow("no host") << "grumblix:" << false << "" << none << none << true << DashboardTab::history;
    QTest::newRow("other host") << "grumblix://settings" << false << "" << none << none << true
                                << DashboardTab::history;
    QTest::newRow("garbage") << "grumblix://%%%?\x01" << false << "" << none << none << true
                             << DashboardTab::history;
}

void TestAppModel::urlCommands()
{
    QFETCH(QString, url);
    QFETCH(bool, logs);
    QFETCH(QString, source);
    QFETCH(std::optional<QString>, trigger);
    QFETCH(std::optional<QString>, note);
    QFETCH(bool, dashboard);
    QFETCH(DashboardTab, tab);
    m_prefs->setValue(PrefKey::hasOnboarded, true);
    m_model->bootstrap({});
    m_model->setDashboardTab(DashboardTab::history);
    m_fakes->journal.calls.clear();

    m_model->handle(url);
    QCOMPARE(m_model->allEvents().size(), logs ? 1 : 0);
    if (logs) {
        const VorpEvent event = m_model->allEvents().first();
        QCOMPARE(event.sourceRaw, source);
        QCOMPARE(event.triggerKey, trigger);
        QCOMPARE(event.note, note);
        QCOMPARE(m_fakes->journal.toasts.size(), 1);
    }
    QCOMPARE(m_fakes->journal.calls.contains(QStringLiteral("showDashboard")), dashboard);
    if (dashboard)
        QCOMPARE(m_fakes->journal.calls, (QStringList{"closePanel", "showDashboard"}));
    QCOMPARE(m_model->dashboardTab(), tab);
}

void TestAppModel::urlLogUsesLastExternalApp()
{
    m_prefs->setValue(PrefKey::showHUD, false);
    m_fakes->frontmost.current = AppContext{QStringLiteral("Grumblix"), QStringLiteral("grumblix")};
    m_fakes->frontmost.external = AppContext{QStringLiteral("Firefox"), std::nullopt};
    m_model->handle(QStringLiteral("grumblix://log"));
    QCOMPARE(m_model->allEvents().last().appName, std::optional<QString>(QStringLiteral("Firefox")));
    QVERIFY(!m_model->allEvents().last().bundleIdentifier);
    QVERIFY(m_fakes->journal.toasts.isEmpty());

    m_fakes->frontmost.external.reset();
    m_fakes->frontmost.current = AppContext{QStringLiteral("Terminal"), std::nullopt};
    m_model->handle(QStringLiteral("grumblix://log"));
    QCOMPARE(m_model->allEvents().last().appName, std::optional<QString>(QStringLiteral("Terminal")));
}

void TestAppModel::dayChangeRefreshesCount()
{
    m_now = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59, 500), m_zone);
    seed(m_now.addSecs(-10));
    m_model->bootstrap({});
    QCOMPARE(m_fakes->journal.titles, QList<int>{1});
    m_now = m_now.addSecs(1); // past midnight
    QTRY_COMPARE_WITH_TIMEOUT(m_fakes->journal.titles, (QList<int>{1, 0}), 3000);
}

void TestAppModel::failedSaveIsRetriedAtQuit()
{
    m_model->store().setBusyTimeout(10);
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(m_model->store().path().toUtf8(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    const VorpEvent event = m_model->log(EventSource::menuBar, AppContext{});
    // The failed save is ignored: the incident is returned, counted and answered.
    QCOMPARE(m_model->allEvents().size(), 1);
    QCOMPARE(m_model->todayCount(), 1);
    QVERIFY(m_model->store().hasPendingChanges());

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    m_model->flushPendingChanges();
    makeModel();
    QCOMPARE(m_model->allEvents().size(), 1);
    QCOMPARE(m_model->allEvents().first().uuid, event.uuid);
}

void TestAppModel::unmendableSaveFailureIsToldOnce_data()
{
    QTest::addColumn<bool>("tableChanged");
    QTest::newRow("another connection holds the lock") << false;
    QTest::newRow("table gained a NOT NULL column") << true;
}

void TestAppModel::unmendableSaveFailureIsToldOnce()
{
    QFETCH(bool, tableChanged);
    const QString path = m_model->store().path();
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8(), &other), SQLITE_OK);
    const auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
    if (tableChanged) {
        m_model.reset();
        const char *sql = "ALTER TABLE VorpEvent RENAME TO Old; CREATE TABLE VorpEvent (uuid TEXT NOT NULL, "
                          "timestamp REAL NOT NULL, appName TEXT, bundleIdentifier TEXT, triggerKey TEXT, "
                          "note TEXT, sourceRaw TEXT NOT NULL, mood TEXT NOT NULL); DROP TABLE Old;";
        QCOMPARE(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        makeModel();
    } else {
        m_model->store().setBusyTimeout(10);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    QSignalSpy told(m_model.get(), &AppModel::storeUnwritable);
    for (int i = 0; i < 3; ++i)
        m_model->log(EventSource::menuBar, AppContext{});
    QCOMPARE(m_model->allEvents().size(), 3);
    QVERIFY(m_model->store().hasPendingChanges());
    QVERIFY(!m_model->flushPendingChanges());
    QCOMPARE(told.count(), tableChanged ? 1 : 0);
    if (tableChanged) {
        QCOMPARE(told.at(0).at(0).toString(), path);
        QVERIFY2(told.at(0).at(1).toString().contains(QStringLiteral("NOT NULL")),
                 qPrintable(told.at(0).at(1).toString()));
    }
}

void TestAppModel::unsavedChangesAreCountedAndTold_data()
{
    // With one incident saved before the disk filled up: l logs one, f files the last logged one,
    // e files the saved one, d deletes the last logged one (else the saved one).
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("outlook");
    QTest::newRow("one incident") << "l" << 1 << "1 incident"
                                  << "1 incident isn't saved yet: the disk is full."
                                  << "Grumblix keeps it while it runs and saves it once there is room.";
    QTest::newRow("three incidents, one filed")
        << "llfl" << 3 << "3 incidents"
        << "3 incidents aren't saved yet: the disk is full."
        << "Grumblix keeps them while it runs and saves them once there is room.";
    QTest::newRow("an incident and an edit")
        << "le" << 2 << "2 changes"
        << "2 changes aren't saved yet: the disk is full."
        << "Grumblix keeps them while it runs and saves them once there is room.";
    QTest::newRow("a deletion") << "d" << 1 << "1 change"
                                << "1 change isn't saved yet: the disk is full."
                                << "Grumblix keeps it while it runs and saves it once there is room.";
    QTest::newRow("an incident logged and deleted again") << "ld" << 0 << ""
                                                          << ""
                                                          << "";
}

void TestAppModel::unsavedChangesAreCountedAndTold()
{
    QFETCH(QString, steps);
    QFETCH(int, count);
    QFETCH(QString, amount);
    QFETCH(QString, summary);
    QFETCH(QString, outlook);
    FullDisk disk;
    makeModel();
    // No try of its own in between: what is told comes from the saves the steps make.
    m_model->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    seed(m_now.addSecs(-600));
    const VorpEvent saved = m_model->allEvents().first();

    disk.setFull(true);
    std::optional<VorpEvent> last;
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'l':
            last = m_model->log(EventSource::menuBar, AppContext{});
            break;
        case 'f':
            m_model->setTrigger(QStringLiteral("email"), *last);
            break;
        case 'e':
            m_model->setTrigger(QStringLiteral("build"), saved);
            break;
        case 'd':
            m_model->deleteEvent(last ? *last : saved);
            last.reset();
            break;
        }
    }
    QCOMPARE(m_model->unsavedChanges(), count);
    QCOMPARE(m_model->unsavedAmount(), amount);
    QCOMPARE(m_model->unsavedSummary(), summary);
    QCOMPARE(m_model->unsavedOutlook(), outlook);
    QCOMPARE(m_model->unsavedNotice(), count ? summary + QLatin1Char(' ') + outlook : QString());
    QCOMPARE(m_model->unsavedReason(), count ? QStringLiteral("the disk is full") : QString());

    // Room again: the next save writes them all and the notice goes.
    QSignalSpy changed(m_model.get(), &AppModel::unsavedChangesChanged);
    const EventSnapshot shown = m_model->allEvents();
    disk.setFull(false);
    QVERIFY(m_model->flushPendingChanges());
    QCOMPARE(m_model->unsavedChanges(), 0);
    QVERIFY(m_model->unsavedNotice().isEmpty());
    QCOMPARE(changed.count(), count ? 1 : 0);
    makeModel();
    QCOMPARE(m_model->allEvents().size(), shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        QCOMPARE(m_model->allEvents().at(i).triggerKey, shown.at(i).triggerKey);
}

void TestAppModel::unsavedNoticeStaysQuietWhileSavesFail()
{
    FullDisk disk;
    makeModel();
    m_model->setSaveRetryDelays(std::chrono::milliseconds(10), std::chrono::milliseconds(10));
    QSignalSpy changed(m_model.get(), &AppModel::unsavedChangesChanged);
    QSignalSpy unwritable(m_model.get(), &AppModel::storeUnwritable);
    disk.setFull(true);
    m_fakes->journal.calls.clear();
    log(1, m_now);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_model->unsavedChanges(), 1);

    // Tries keep failing, by themselves and on request: the notice stays as it is, told once.
    const int refused = disk.refusedWrites();
    QTRY_VERIFY(disk.refusedWrites() > refused + 3);
    QVERIFY(!m_model->flushPendingChanges());
    QCOMPARE(changed.count(), 1);
    log(1, m_now);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(m_model->unsavedSummary(), QStringLiteral("2 incidents aren't saved yet: the disk is full."));
    // Nothing pops up: no message, no notification; the presses were answered as usual.
    QCOMPARE(unwritable.count(), 0);
    QVERIFY(m_fakes->journal.notices.isEmpty());
    QCOMPARE(m_fakes->journal.calls.count(QStringLiteral("play")), 2);
}

void TestAppModel::pendingChangesAreSavedOnceThereIsRoom()
{
    FullDisk disk;
    makeModel();
    m_model->setSaveRetryDelays(std::chrono::milliseconds(20), std::chrono::milliseconds(80));
    QCOMPARE(m_model->saveRetryDelay(), std::nullopt);
    // The wait set after each failed save (the model hears of the failure first).
    QList<qint64> waits;
    QObject listening; // the connections end with the test
    const auto listen = [&] {
        connect(&m_model->store(), &Store::saveFailed, &listening,
                [&] { waits << (m_model->saveRetryDelay() ? m_model->saveRetryDelay()->count() : -1); });
    };
    listen();
    disk.setFull(true);
    const VorpEvent event = m_model->log(EventSource::url, AppContext{}, std::nullopt, QStringLiteral("x"));
    QCOMPARE(waits, QList<qint64>{20});
    // Each failed try waits twice as long for the next, up to the longest wait.
    QTRY_VERIFY(waits.size() >= 5);
    QCOMPARE(waits.mid(0, 5), (QList<qint64>{20, 40, 80, 80, 80}));
    QCOMPARE(m_model->unsavedChanges(), 1);

    // Space comes back: the next try saves with nothing else logged, and the tries stop.
    disk.setFull(false);
    QTRY_COMPARE(m_model->unsavedChanges(), 0);
    QCOMPARE(m_model->saveRetryDelay(), std::nullopt);
    QVERIFY(!m_model->store().hasPendingChanges());
    makeModel();
    QCOMPARE(m_model->allEvents().size(), 1);
    QCOMPARE(m_model->allEvents().first().uuid, event.uuid);
    QCOMPARE(m_model->allEvents().first().note, std::optional<QString>(QStringLiteral("x")));

    // A later failure starts from the first wait again.
    waits.clear();
    m_model->setSaveRetryDelays(std::chrono::milliseconds(20), std::chrono::milliseconds(80));
    listen();
    disk.setFull(true);
    m_model->log(EventSource::menuBar, AppContext{});
    QTRY_VERIFY(waits.size() >= 2);
    disk.setFull(false);
    QTRY_COMPARE(m_model->unsavedChanges(), 0);
    disk.setFull(true);
    m_model->log(EventSource::menuBar, AppContext{});
    QCOMPARE(waits.last(), 20);
}

void TestAppModel::retriesFollowTheCause_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("retried");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("outlook");
    QTest::addColumn<QString>("until"); // what a launch is told of when its incident is saved
    QTest::newRow("full disk") << "disk" << true << "1 incident isn't saved yet: the disk is full."
                               << "Grumblix keeps it while it runs and saves it once there is room."
                               << "once there is room";
    QTest::newRow("another connection holds the lock")
        << "lock" << true << "1 incident isn't saved yet: another program is holding the store."
        << "Grumblix keeps it while it runs and saves it once the store is free."
        << "once the store is free";
    // No later try can save it: nothing promises that one will.
    QTest::newRow("table gained a NOT NULL column")
        << "table" << false
        << "1 incident isn't saved yet: saving failed with “NOT NULL constraint failed: VorpEvent.mood”."
        << "Grumblix keeps it while it runs."
        << "";
}

void TestAppModel::retriesFollowTheCause()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, retried);
    QFETCH(QString, summary);
    QFETCH(QString, outlook);
    QFETCH(QString, until);
    FullDisk disk;
    const QString path = m_model->store().path();
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8(), &other), SQLITE_OK);
    const auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
    m_model.reset();
    if (obstacle == QLatin1String("table")) {
        const char *sql = "ALTER TABLE VorpEvent RENAME TO Old; CREATE TABLE VorpEvent (uuid TEXT NOT NULL, "
                          "timestamp REAL NOT NULL, appName TEXT, bundleIdentifier TEXT, triggerKey TEXT, "
                          "note TEXT, sourceRaw TEXT NOT NULL, mood TEXT NOT NULL); DROP TABLE Old;";
        QCOMPARE(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    makeModel();
    m_model->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    m_model->store().setBusyTimeout(10);
    if (obstacle == QLatin1String("lock"))
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    disk.setFull(obstacle == QLatin1String("disk"));

    m_model->log(EventSource::menuBar, AppContext{});
    QCOMPARE(m_model->unsavedSummary(), summary);
    QCOMPARE(m_model->unsavedOutlook(), outlook);
    QCOMPARE(m_model->unsavedUntil(), until);
    QCOMPARE(m_model->saveRetryDelay().has_value(), retried);
}

void TestAppModel::aRowWrittenBehindTheModelsBackIsNeverReplaced()
{
    m_model->log(EventSource::menuBar, AppContext{});
    const QString path = m_model->store().path();
    const qint64 next = m_model->allEvents().last().id + 1;
    // Another program (the writer lock is only advisory) takes the id of the next incident.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8(), &other), SQLITE_OK);
    const QByteArray sql = "INSERT INTO VorpEvent (rowid, uuid, timestamp, note, sourceRaw) VALUES (" +
                           QByteArray::number(next) +
                           ", 'c0ffee00-0000-4000-8000-0000000000ff', 1, 'theirs', 'url')";
    QCOMPARE(sqlite3_exec(other, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    QSignalSpy told(m_model.get(), &AppModel::storeUnwritable);
    const VorpEvent mine =
        m_model->log(EventSource::menuBar, AppContext{}, std::nullopt, QStringLiteral("mine"));
    QCOMPARE(mine.id, next);
    QCOMPARE(told.count(), 1);
    QVERIFY2(told.at(0).at(1).toString().contains(QLatin1String("UNIQUE constraint failed")),
             qPrintable(told.at(0).at(1).toString()));
    QCOMPARE(m_model->unsavedChanges(), 1);
    QCOMPARE(m_model->saveRetryDelay(), std::nullopt);
    QCOMPARE(StoredRecords::event(path, next)->note, std::optional(QStringLiteral("theirs")));
}

void TestAppModel::freshStoreAndItsFoldersArePrivate()
{
    QTemporaryDir dir;
    // The usual umask, under which new files would be readable by everyone.
    const mode_t umaskBefore = ::umask(022);
    const auto restoreUmask = qScopeGuard([&] { ::umask(umaskBefore); });
    const QString data = dir.filePath(QStringLiteral("home/.local/share"));
    const QString path = data + QStringLiteral("/Grumblix/Grumblix.store");
    QString error;
    auto store = AppModel::openStore(path, &error);
    QVERIFY2(store, qPrintable(error));
    VorpEvent event =
        VorpEvent::make(QDateTime::fromSecsSinceEpoch(1'800'000'000), {}, {}, {}, {}, EventSource::menuBar);
    store->insert(event);
    QVERIFY(store->save());
    const auto mode = [](const QString &file) { return QFileInfo(file).permissions() & 0x7777; };
    const auto file = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    const auto folder = file | QFile::ExeOwner | QFile::ExeUser;
    for (const QString &made :
         {dir.filePath(QStringLiteral("home")), data, data + QStringLiteral("/Grumblix")})
        QCOMPARE(mode(made), folder);
    for (const char *suffix : {"", "-wal", "-shm"})
        QCOMPARE(mode(path + QLatin1String(suffix)), file);
    // A folder that was there keeps the mode it had.
    const auto before = mode(dir.path());
    QVERIFY(AppModel::openStore(dir.filePath(QStringLiteral("other.store")), &error));
    QCOMPARE(mode(dir.path()), before);
}

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_appmodel.moc"

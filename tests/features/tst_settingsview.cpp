#include "features/dashboard/DashboardPages.h"
#include "features/settings/SettingsDataCard.h"
#include "features/settings/SettingsText.h"
#include "features/settings/SettingsView.h"
#include "features/settings/ShortcutRecorder.h"
#include "features/settings/SkinTile.h"
#include "features/settings/SoundRow.h"
#include "models/Csv.h"
#include "models/CsvExport.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "platform/Autostart.h"
#include "services/HotKeyService.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "services/UpdateService.h"
#include "support/FakeAudioOutput.h"
#include "support/FakeHotKeyBackend.h"
#include "support/FakeNotifier.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "support/WriteStandIns.h"
#include "ui/ChunkyButton.h"
#include "ui/ChunkySegmented.h"
#include "ui/GXToggles.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtTest>
#include <algorithm>
#include <optional>
#include <unistd.h>

using TestSupport::ModelFixture;

namespace {

constexpr quint32 ctrlAlt = Shortcut::controlBit | Shortcut::optionBit;

class FakeAutostart : public Autostart
{
public:
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on, QString *error) override
    {
        ++changes;
        if (fail) {
            *error = QStringLiteral("Could not write the autostart entry: Permission denied.");
            return false;
        }
        enabled = on;
        return true;
    }
    bool enabled = false;
    bool fail = false;
    int changes = 0;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page over a bootstrapped model, real services over fakes, in a window with its overlays.
struct Rig
{
    explicit Rig(UpdateService::Config updateConfig = {})
        : backend(new FakeHotKeyBackend), hotKeys(std::unique_ptr<HotKeyBackend>(backend)),
          sound(output, *f.prefs, {}, &random), updates(updateConfig, *f.prefs),
          notifications(notifier, *f.prefs)
    {
    }

    SettingsView &build()
    {
        SettingsServices services;
        services.hotKeys = &hotKeys;
        services.sound = &sound;
        services.updates = &updates;
        services.notifications = &notifications;
        services.autostart = &autostart;
        services.applyAppearance = [this] { ++appearanceApplied; };
        services.chooseExportFile = [this](QWidget *, const QString &suggested) {
            suggestions << suggested;
            return exportTo;
        };
        // Built again after a page change: into the same window.
        auto *layout =
            window.layout() ? static_cast<QVBoxLayout *>(window.layout()) : new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new SettingsView(*f.model, services);
        layout->addWidget(view);
        OverlayHost::install(&window);
        window.resize(1100, 900);
        window.show();
        window.activateWindow();
        view->recorder()->setBeep([this] { ++beeps; });
        return *view;
    }

    int played() const { return int(output.records.size()); }

    ModelFixture f;
    FakeAudioOutput output;
    QRandomGenerator random{17};
    FakeHotKeyBackend *backend;
    HotKeyService hotKeys;
    SoundService sound;
    UpdateService updates;
    FakeNotifier notifier;
    NotificationService notifications;
    FakeAutostart autostart;
    int appearanceApplied = 0;
    int beeps = 0;
    QString exportTo;
    QStringList suggestions;
    QWidget window;
    SettingsView *view = nullptr;
};

// The pixels of `widget` drawn in the focus ring's red.
int ringPixels(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    const QColor red = Theme::red.resolve();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - red.red()) < 40 && qAbs(c.green() - red.green()) < 40 &&
                qAbs(c.blue() - red.blue()) < 40)
                ++count;
        }
    return count;
}

void click(QWidget *widget)
{
    QVERIFY2(widget->isVisible() && widget->isEnabled(), qPrintable(widget->objectName()));
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// The export writes on a worker thread: until it has ended and the page has heard of it.
void waitForExport(SettingsView &view)
{
    QTRY_VERIFY(!view.dataCard()->isExporting());
    QTRY_VERIFY(view.dataCard()->exportButton()->isEnabled());
}

// Incidents a minute apart up to now, straight into the store and saved once: enough for the
// export to write in several batches.
void seedMany(ModelFixture &f, int count)
{
    for (int i = 0; i < count; ++i) {
        VorpEvent event = VorpEvent::make(f.now.addSecs(-60LL * (count - i)), QStringLiteral("Terminal"),
                                          QStringLiteral("org.gnome.Terminal"),
                                          i % 2 ? std::optional(QStringLiteral("bug")) : std::nullopt,
                                          std::nullopt, EventSource::menuBar);
        f.model->store().insert(event);
    }
    QVERIFY(f.model->store().save());
}

// Where everything on the Data card sits, in the page: what a reflow would move.
QList<QRect> dataCardLayout(SettingsView &view)
{
    // Layouts settle on posted events, as they would between two frames.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    SettingsDataCard *card = view.dataCard();
    QList<QRect> places{QRect(card->mapTo(&view, QPoint()), card->size())};
    for (QWidget *child : card->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            places << child->geometry();
    }
    return places;
}

const QString kNoSpace = QStringLiteral(
    "Could not save incidents.csv: No space left on device. Nothing was changed; pick another folder.");

} // namespace

class TestSettingsView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void dashboardShowsThePage();
    void garbledValuesShowFallbacksAndStayStored();
    void switchesFollowAndWritePreferences_data();
    void switchesFollowAndWritePreferences();
    void lookStoresAndAppliesAtOnce();
    void todaysCountRedrawsTheBadge();
    void skinPickStoresThenPlaysTheCurrentSound_data();
    void skinPickStoresThenPlaysTheCurrentSound();
    void soundPickPlaysThenStores();
    void listsEverySkinAndSoundInGroups();
    void recorderAcceptsACombination();
    void recorderBeepsCancelsAndIgnores();
    void recorderEndsWhenClickedOrHidden();
    void recorderKeepsMenuShortcutsAway();
    void recorderRingOnlyWhenTabbedTo_data();
    void recorderRingOnlyWhenTabbedTo();
    void refusedShortcutStaysStoredAndResetRestoresDefault();
    void shortcutTheDesktopKeepsIsExplained();
    void launchAtLoginShowsTheRealStateAfterAFailure();
    void updatesWithoutFeedAreDisabled();
    void updatesWithFeed();
    void updateNoteSaysHowThisCopyUpdates_data();
    void updateNoteSaysHowThisCopyUpdates();
    void allowNotificationsAsks();
    void exportWritesOldestFirstUnderTheLocalDate();
    void failedExportShowsWhyAndKeepsTheOldFile_data();
    void failedExportShowsWhyAndKeepsTheOldFile();
    void exportShowsProgressAndWritesWhatWasStoredAtTheClick();
    void exportKeepsTheCardStill_data();
    void exportKeepsTheCardStill();
    void exportToAFullDiskSaysTheSystemsReason();
    void exportOutlivesThePage_data();
    void exportOutlivesThePage();
    void eraseCountsAtThePress();
    void demoDataAddsAndRemoves();
};

void TestSettingsView::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestSettingsView::dashboardShowsThePage()
{
    ModelFixture f;
    std::unique_ptr<QWidget> page(DashboardPages::makePage(DashboardTab::settings, *f.model));
    QVERIFY(qobject_cast<SettingsView *>(page.get()));
}

void TestSettingsView::garbledValuesShowFallbacksAndStayStored()
{
    Rig rig;
    Prefs &prefs = *rig.f.prefs;
    prefs.setValue(PrefKey::sound, QStringLiteral("loud"));
    prefs.setValue(PrefKey::buttonSkin, QStringLiteral("Shiny"));
    prefs.setValue(PrefKey::appearance, QStringLiteral("neon"));
    prefs.setValue(PrefKey::shortcut, QByteArray("{\"keyCode\":"));
    prefs.sync();
    const QByteArray before = fileBytes(prefs.filePath());

    SettingsView &view = rig.build();
    for (SkinTile *tile : view.skinTiles())
        QCOMPARE(tile->isSelected(), tile->skin() == ButtonSkin::classic);
    for (SoundRow *row : view.soundRows())
        QCOMPARE(row->isSelected(), row->choice() == SoundChoice::thunk);
    QCOMPARE(view.look()->selection(), 0);
    QCOMPARE(view.recorder()->button()->caps(), (QStringList{"Alt", "Shift", "F"}));
    QVERIFY(view.recorder()->resetButton()->isHidden());

    prefs.sync();
    QCOMPARE(fileBytes(prefs.filePath()), before);
}

void TestSettingsView::switchesFollowAndWritePreferences_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<QString>("title");
    QTest::newRow("showHUD") << PrefKey::showHUD << true << "Show toast after the shortcut";
    QTest::newRow("autoClosePanel") << PrefKey::autoClosePanel << true
                                    << "Close the tray panel after logging";
    QTest::newRow("showCountInMenuBar")
        << PrefKey::showCountInMenuBar << false << "Show today's count in the tray";
    QTest::newRow("notifyFriday") << PrefKey::notifyFriday << true << "Friday report, every Friday at 16:00";
    QTest::newRow("notifyRecord") << PrefKey::notifyRecord << true << "New personal record";
    QTest::newRow("notifyCalm") << PrefKey::notifyCalm << true << "Unusually calm day (17:00)";
}

void TestSettingsView::switchesFollowAndWritePreferences()
{
    QFETCH(QString, key);
    QFETCH(bool, fallback);
    QFETCH(QString, title);
    Rig rig;
    SettingsView &view = rig.build();
    const QHash<QString, GXSwitch *> switches{
        {PrefKey::showHUD, view.showHUD()},
        {PrefKey::autoClosePanel, view.autoClose()},
        {PrefKey::showCountInMenuBar, view.showCount()},
        {PrefKey::notifyFriday, view.notifyFriday()},
        {PrefKey::notifyRecord, view.notifyRecord()},
        {PrefKey::notifyCalm, view.notifyCalm()},
    };
    GXSwitch *control = switches.value(key);
    QCOMPARE(control->text(), title);
    QCOMPARE(control->isChecked(), fallback);

    click(control);
    QCOMPARE(rig.f.prefs->boolValue(key), !fallback);
    QVERIFY(rig.f.prefs->contains(key));

    // A change made elsewhere (the tray menu, another page) shows here at once.
    rig.f.prefs->setValue(key, fallback);
    QCOMPARE(control->isChecked(), fallback);
}

void TestSettingsView::lookStoresAndAppliesAtOnce()
{
    Rig rig;
    SettingsView &view = rig.build();
    ChunkySegmented *look = view.look();
    QCOMPARE(look->labels(), (QStringList{"System", "Paper", "Night"}));
    // Stored before it is applied, so the application reads the new value.
    QList<int> appliedWhenStored;
    connect(rig.f.prefs.get(), &Prefs::changed, &view, [&] { appliedWhenStored << rig.appearanceApplied; });

    QTest::mouseClick(look, Qt::LeftButton, {}, look->segmentRects().at(1).center().toPoint());
    QCOMPARE(rig.f.prefs->appearance(), QStringLiteral("light"));
    QCOMPARE(rig.appearanceApplied, 1);
    QTest::mouseClick(look, Qt::LeftButton, {}, look->segmentRects().at(2).center().toPoint());
    QCOMPARE(rig.f.prefs->appearance(), QStringLiteral("dark"));
    QTest::mouseClick(look, Qt::LeftButton, {}, look->segmentRects().at(0).center().toPoint());
    QCOMPARE(rig.f.prefs->appearance(), QStringLiteral("system"));
    QCOMPARE(rig.appearanceApplied, 3);
    QCOMPARE(appliedWhenStored, (QList<int>{0, 1, 2}));

    rig.f.prefs->setAppearance(QStringLiteral("dark"));
    QCOMPARE(look->selection(), 2);
}

void TestSettingsView::todaysCountRedrawsTheBadge()
{
    Rig rig;
    for (int minutes : {10, 20, 30})
        rig.f.seed(rig.f.now.addSecs(-minutes * 60));
    SettingsView &view = rig.build();
    rig.f.fakes->journal.titles.clear();
    click(view.showCount());
    QVERIFY(rig.f.prefs->showCountInMenuBar());
    QCOMPARE(rig.f.fakes->journal.titles, QList<int>{3});
}

void TestSettingsView::skinPickStoresThenPlaysTheCurrentSound_data()
{
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("plays");
    QTest::newRow("bonk") << QStringLiteral("bonk") << 1;
    QTest::newRow("off is silent") << QStringLiteral("off") << 0;
}

void TestSettingsView::skinPickStoresThenPlaysTheCurrentSound()
{
    QFETCH(QString, sound);
    QFETCH(int, plays);
    Rig rig;
    rig.f.prefs->setSound(sound);
    SettingsView &view = rig.build();
    int playedWhenStored = -1;
    connect(rig.f.prefs.get(), &Prefs::changed, &view, [&] { playedWhenStored = rig.played(); });

    SkinTile *toxic = view.skinTiles().at(ButtonSkin::allCases().indexOf(ButtonSkin::toxic));
    click(toxic);
    QCOMPARE(rig.f.prefs->buttonSkin(), std::optional(QStringLiteral("toxic")));
    QCOMPARE(playedWhenStored, 0);
    QCOMPARE(rig.played(), plays);
    if (plays)
        QCOMPARE(rig.output.records.last()->bytes, rig.sound.data(SoundChoice::bonk));
    for (SkinTile *tile : view.skinTiles())
        QCOMPARE(tile->isSelected(), tile == toxic);

    // The skin already chosen is stored again and plays again.
    click(toxic);
    QCOMPARE(rig.played(), 2 * plays);
}

void TestSettingsView::soundPickPlaysThenStores()
{
    Rig rig;
    rig.f.prefs->setSound(QStringLiteral("bonk"));
    SettingsView &view = rig.build();
    int playedWhenStored = -1;
    connect(rig.f.prefs.get(), &Prefs::changed, &view, [&] { playedWhenStored = rig.played(); });
    auto row = [&](SoundChoice choice) { return view.soundRows().at(allSoundChoices().indexOf(choice)); };

    click(row(SoundChoice::gong));
    QCOMPARE(playedWhenStored, 1);
    QCOMPARE(rig.output.records.last()->bytes, rig.sound.data(SoundChoice::gong));
    QCOMPARE(rig.f.prefs->sound(), QStringLiteral("gong"));
    QVERIFY(row(SoundChoice::gong)->isSelected());
    QVERIFY(!row(SoundChoice::bonk)->isSelected());

    click(row(SoundChoice::gong)); // already chosen: plays again
    QCOMPARE(rig.played(), 2);
    click(row(SoundChoice::off));
    QCOMPARE(rig.played(), 2);
    QCOMPARE(rig.f.prefs->sound(), QStringLiteral("off"));
}

void TestSettingsView::listsEverySkinAndSoundInGroups()
{
    Rig rig;
    SettingsView &view = rig.build();
    QCOMPARE(view.skinTiles().size(), 11);
    QStringList order;
    for (SoundRow *row : view.soundRows())
        order << rawValue(row->choice());
    QCOMPARE(order, (QStringList{"off", "thunk", "bonk", "buzzer", "beep", "scream", "uhoh", "sadTrombone",
                                 "slowClap", "smash", "gong", "airHorn", "squeak", "boom", "kaching",
                                 "narrator", "chaos"}));
    QStringList headers;
    QList<int> tops;
    for (ThemedLabel *header : view.soundHeaders()) {
        headers << header->text();
        tops << header->contentsMargins().top();
    }
    QCOMPARE(headers, (QStringList{"CLASSICS", "OFFICE DRAMA", "VOICE", "SPECIAL"}));
    QCOMPARE(tops, (QList<int>{0, 10, 10, 10}));
}

void TestSettingsView::recorderAcceptsACombination()
{
    Rig rig;
    SettingsView &view = rig.build();
    QVERIFY(rig.hotKeys.registerKey(Qt::Key_F, Shortcut::optionBit | Shortcut::shiftBit));
    ShortcutRecorder *recorder = view.recorder();

    click(recorder->button());
    QVERIFY(recorder->isRecording());
    QVERIFY(rig.hotKeys.isSuspended());
    QVERIFY(!rig.backend->held); // the old combination reaches the window, not the grab
    QVERIFY(recorder->resetButton()->isHidden());

    QTest::keyClick(&rig.window, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(!recorder->isRecording());
    const Shortcut expected{Qt::Key_K, ctrlAlt, QStringLiteral("K")};
    QCOMPARE(rig.f.model->shortcut(), expected);
    QCOMPARE(Shortcut::load(*rig.f.prefs), expected);
    QCOMPARE(rig.backend->held, std::optional(std::pair{quint32(Qt::Key_K), ctrlAlt}));
    QVERIFY(rig.f.model->hotKeyRegistered());
    QCOMPARE(recorder->button()->caps(), (QStringList{"Ctrl", "Alt", "K"}));
    QVERIFY(!recorder->resetButton()->isHidden());
    QCOMPARE(view.shortcutNote()->text(),
             QStringLiteral("Works from any app. No special permission needed."));
}

void TestSettingsView::recorderBeepsCancelsAndIgnores()
{
    Rig rig;
    SettingsView &view = rig.build();
    ShortcutRecorder *recorder = view.recorder();
    const Shortcut before = rig.f.model->shortcut();

    click(recorder->button());
    QTest::keyClick(&rig.window, Qt::Key_F, Qt::ShiftModifier);
    QCOMPARE(rig.beeps, 1);
    QTest::keyClick(&rig.window, Qt::Key_CapsLock);
    QTest::keyClick(&rig.window, Qt::Key_Control, Qt::ControlModifier);
    QCOMPARE(rig.beeps, 1);
    QVERIFY(recorder->isRecording());
    QCOMPARE(rig.f.model->shortcut(), before);

    // Escape cancels whatever modifiers come with it, and the old shortcut is grabbed again.
    QTest::keyClick(&rig.window, Qt::Key_Escape, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(!recorder->isRecording());
    QCOMPARE(rig.f.model->shortcut(), before);
    QVERIFY(!rig.f.prefs->shortcutJson());
    QCOMPARE(rig.backend->held, std::optional(std::pair{before.keyCode, before.carbonModifiers}));
    QVERIFY(!rig.hotKeys.isSuspended());

    // Keys after the recording go where they always go: no more beeps.
    QTest::keyClick(&rig.window, Qt::Key_F, Qt::ShiftModifier);
    QCOMPARE(rig.beeps, 1);
}

void TestSettingsView::recorderEndsWhenClickedOrHidden()
{
    Rig rig;
    SettingsView &view = rig.build();
    ShortcutRecorder *recorder = view.recorder();
    const int grabs = int(rig.backend->grabs.size());

    click(recorder->button());
    click(recorder->button());
    QVERIFY(!recorder->isRecording());
    QCOMPARE(rig.backend->grabs.size(), grabs + 1);
    QVERIFY(rig.backend->held);

    click(recorder->button());
    rig.window.hide(); // leaving the page or closing the window
    QVERIFY(!recorder->isRecording());
    QCOMPARE(rig.backend->grabs.size(), grabs + 2);
    QVERIFY(rig.backend->held);
    QCOMPARE(rig.f.model->shortcut(), Shortcut::defaultShortcut());
}

void TestSettingsView::recorderKeepsMenuShortcutsAway()
{
    Rig rig;
    SettingsView &view = rig.build();
    auto *quit = new QAction(&rig.window);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    rig.window.addAction(quit);
    QSignalSpy triggered(quit, &QAction::triggered);
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));

    click(view.recorder()->button());
    QTest::keyClick(&rig.window, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 0);
    QCOMPARE(rig.f.model->shortcut(), (Shortcut{Qt::Key_Q, Shortcut::controlBit, QStringLiteral("Q")}));

    // Once idle, the menu shortcut works again.
    QTest::keyClick(&rig.window, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
}

void TestSettingsView::refusedShortcutStaysStoredAndResetRestoresDefault()
{
    Rig rig;
    SettingsView &view = rig.build();
    ShortcutRecorder *recorder = view.recorder();
    rig.backend->accept = false; // another program holds it

    click(recorder->button());
    QTest::keyClick(&rig.window, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(!rig.f.model->hotKeyRegistered());
    QCOMPARE(view.shortcutNote()->text(),
             QStringLiteral("That shortcut is taken by something else. Try another."));
    const Shortcut refused{Qt::Key_K, ctrlAlt, QStringLiteral("K")};
    QCOMPARE(rig.f.model->shortcut(), refused);
    QCOMPARE(Shortcut::load(*rig.f.prefs), refused);

    rig.backend->accept = true;
    click(recorder->resetButton());
    QCOMPARE(rig.f.model->shortcut(), Shortcut::defaultShortcut());
    QCOMPARE(Shortcut::load(*rig.f.prefs), Shortcut::defaultShortcut());
    QVERIFY(rig.f.prefs->shortcutJson()); // stored, not just shown
    QVERIFY(rig.f.model->hotKeyRegistered());
    QCOMPARE(view.shortcutNote()->text(),
             QStringLiteral("Works from any app. No special permission needed."));
    QVERIFY(recorder->resetButton()->isHidden());
}

// A desktop that keeps its own key for the shortcut: the page says where the user changes it, and
// a later combination the desktop takes clears that note.
void TestSettingsView::shortcutTheDesktopKeepsIsExplained()
{
    Rig rig;
    SettingsView &view = rig.build();
    ShortcutRecorder *recorder = view.recorder();

    click(recorder->button());
    QTest::keyClick(&rig.window, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    Q_EMIT rig.backend->kept(QStringLiteral("Alt+Shift+F"));
    QVERIFY(rig.f.model->hotKeyRegistered());
    QCOMPARE(view.shortcutNote()->text(),
             QStringLiteral("Your desktop keeps Alt+Shift+F for this shortcut. To use the new one, change "
                            "Grumblix's shortcut in your desktop's keyboard settings."));
    const Shortcut recorded{Qt::Key_K, ctrlAlt, QStringLiteral("K")};
    QCOMPARE(rig.f.model->shortcut(), recorded);
    QCOMPARE(Shortcut::load(*rig.f.prefs), recorded);

    click(recorder->resetButton());
    Q_EMIT rig.backend->confirmed(QStringLiteral("Alt+Shift+F"));
    QCOMPARE(view.shortcutNote()->text(),
             QStringLiteral("Works from any app. No special permission needed."));
}

void TestSettingsView::launchAtLoginShowsTheRealStateAfterAFailure()
{
    Rig rig;
    rig.autostart.enabled = true;
    SettingsView &view = rig.build();
    QVERIFY(view.launchAtLogin()->isChecked());

    rig.autostart.fail = true;
    click(view.launchAtLogin());
    QCOMPARE(rig.autostart.changes, 1);
    QVERIFY(view.launchAtLogin()->isChecked());
    QVERIFY(view.launchProblem()->isVisible());
    QVERIFY(view.launchProblem()->text().contains(QLatin1String("Permission denied")));

    rig.autostart.fail = false;
    click(view.launchAtLogin());
    QVERIFY(!rig.autostart.enabled);
    QVERIFY(!view.launchAtLogin()->isChecked());
    QVERIFY(view.launchProblem()->isHidden());
}

void TestSettingsView::updatesWithoutFeedAreDisabled()
{
    Rig rig;
    SettingsView &view = rig.build();
    QVERIFY(!view.automaticUpdates()->isEnabled());
    QVERIFY(!view.automaticUpdates()->isChecked());
    QVERIFY(!view.checkNow()->isEnabled());
    // This program runs from its build folder: a build from source, which no package manager updates.
    QCOMPARE(view.updateNote()->text(),
             QStringLiteral("This build has no update feed: to update it, pull the new version and run "
                            "./scripts/setup.sh run again."));
    QCOMPARE(view.versionLabel()->text(), QStringLiteral("Version ") + UpdateService::versionString());
}

void TestSettingsView::updatesWithFeed()
{
    UpdateService::Config config;
    config.feedUrl = QUrl(QStringLiteral("https://updates.example.org/appcast.xml"));
    Rig rig(config);
    SettingsView &view = rig.build();
    QVERIFY(view.automaticUpdates()->isEnabled());
    QVERIFY(view.automaticUpdates()->isChecked());
    QVERIFY(view.checkNow()->isEnabled());
    QVERIFY(view.updateNote()->text().startsWith(QLatin1String("Updates come from updates.example.org ")));
    click(view.automaticUpdates());
    QVERIFY(!rig.updates.automaticallyChecks());
    rig.updates.setAutomaticallyChecks(true);
    QVERIFY(view.automaticUpdates()->isChecked());
}

void TestSettingsView::updateNoteSaysHowThisCopyUpdates_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QUrl>("feed");
    QTest::addColumn<QString>("note");
    const QString byPackage =
        QStringLiteral("This build has no update feed: your package manager keeps Grumblix up to date.");
    const QString bySetup = QStringLiteral(
        "This build has no update feed: to update it, pull the new version and run ./scripts/setup.sh run "
        "again.");
    QTest::newRow("package") << "/usr/libexec/grumblix/grumblix-app" << QUrl() << byPackage;
    QTest::newRow("package, another libexec folder")
        << "/usr/lib/grumblix/grumblix-app" << QUrl() << byPackage;
    QTest::newRow("user install") << "/home/ada/.local/libexec/grumblix/grumblix-app" << QUrl() << bySetup;
    QTest::newRow("install into /usr/local")
        << "/usr/local/libexec/grumblix/grumblix-app" << QUrl() << bySetup;
    QTest::newRow("build folder") << "/home/ada/grumblix/build/src/shell/grumblix-app" << QUrl() << bySetup;
    QTest::newRow("build folder under /usr")
        << "/usr/src/grumblix/build/src/shell/grumblix-app" << QUrl() << bySetup;
    QTest::newRow("a path that climbs out of /usr")
        << "/usr/../home/ada/.local/libexec/grumblix/grumblix-app" << QUrl() << bySetup;
    QTest::newRow("unknown path") << QString() << QUrl() << byPackage;
    QTest::newRow("a feed, whoever installed it")
        << "/home/ada/.local/libexec/grumblix/grumblix-app"
        << QUrl(QStringLiteral("https://updates.example.org/appcast.xml"))
        << QStringLiteral("Updates come from updates.example.org and are signed, so only genuine builds "
                          "install. The check sends nothing but the app version.");
}

void TestSettingsView::updateNoteSaysHowThisCopyUpdates()
{
    QFETCH(QString, program);
    QFETCH(QUrl, feed);
    QFETCH(QString, note);
    QCOMPARE(SettingsText::updateNote(feed, SettingsText::installationOf(program)), note);
}

void TestSettingsView::allowNotificationsAsks()
{
    Rig rig;
    SettingsView &view = rig.build();
    click(view.allowNotifications());
    QCOMPARE(rig.notifier.authorizationRequests, 1);
}

void TestSettingsView::exportWritesOldestFirstUnderTheLocalDate()
{
    Rig rig;
    // 00:30 in Berlin is still yesterday in UTC; the file is named for the user's day.
    rig.f.now = QDateTime(QDate(2026, 12, 10), QTime(0, 30), rig.f.zone);
    rig.f.seed(rig.f.now.addDays(-1), QStringLiteral("meeting"));
    rig.f.seed(rig.f.now.addDays(-3), QStringLiteral("bug"));
    QTemporaryDir out;
    rig.exportTo = out.filePath(QStringLiteral("incidents.csv"));
    SettingsView &view = rig.build();

    click(view.dataCard()->exportButton());
    waitForExport(view);
    QCOMPARE(rig.suggestions.size(), 1);
    QVERIFY2(rig.suggestions.first().endsWith(QLatin1String("/grumblix-2026-12-10.csv")),
             qPrintable(rig.suggestions.first()));
    const QList<QByteArray> lines = fileBytes(rig.exportTo).split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QByteArray("id,timestamp,app,bundle_id,trigger,note,source"));
    QVERIFY2(lines.at(1).contains(",\"Bug\","), lines.at(1).constData());
    QVERIFY2(lines.at(2).contains(",\"Meeting\","), lines.at(2).constData());
    QVERIFY(view.dataCard()->problem()->isHidden());

    // A cancelled dialog writes nothing.
    QFile::remove(rig.exportTo);
    rig.exportTo.clear();
    click(view.dataCard()->exportButton());
    QVERIFY(view.dataCard()->problem()->isHidden());
}

void TestSettingsView::failedExportShowsWhyAndKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("read-only folder") << true;
    QTest::newRow("folder is a file") << false;
}

void TestSettingsView::failedExportShowsWhyAndKeepsTheOldFile()
{
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("root writes into read-only folders; the other row covers root");
    Rig rig;
    rig.f.seed(rig.f.now.addSecs(-60));
    QTemporaryDir out;
    const QString folder = out.filePath(QStringLiteral("target"));
    QString existing;
    if (readOnlyFolder) {
        QVERIFY(QDir().mkpath(folder));
        existing = folder + QStringLiteral("/grumblix.csv");
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old export");
        file.close();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        rig.exportTo = existing;
    } else {
        existing = folder;
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old export");
        file.close();
        rig.exportTo = folder + QStringLiteral("/grumblix.csv");
    }
    SettingsView &view = rig.build();

    click(view.dataCard()->exportButton());
    waitForExport(view);
    ThemedLabel *problem = view.dataCard()->problem();
    QVERIFY(problem->isVisible());
    QVERIFY2(problem->text().startsWith(QLatin1String("Could not save grumblix.csv: ")),
             qPrintable(problem->text()));
    QCOMPARE(fileBytes(existing), QByteArray("old export"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The next export that works clears the message.
    rig.exportTo = out.filePath(QStringLiteral("fine.csv"));
    click(view.dataCard()->exportButton());
    waitForExport(view);
    QVERIFY(problem->isHidden());
}

void TestSettingsView::exportShowsProgressAndWritesWhatWasStoredAtTheClick()
{
    Rig rig;
    seedMany(rig.f, 6000);
    QTemporaryDir out;
    rig.exportTo = out.filePath(QStringLiteral("incidents.csv"));
    const QByteArray expected = Csv::document(rig.f.model->allEvents(), rig.f.model->allTriggers());
    SettingsView &view = rig.build();
    ChunkyButton *button = view.dataCard()->exportButton();
    const int restingWidth = button->width();

    WriteGate gate(1);
    click(button);
    // The worker is held in the middle of the file while this thread goes on: the page answers,
    // and the button tells how far the export got.
    QVERIFY(gate.waitUntilHeld());
    const QRegularExpression progress(QStringLiteral("^Exporting\u2026 (\\d+)%$"));
    QTRY_VERIFY2(progress.match(button->text()).hasMatch() &&
                     progress.match(button->text()).captured(1).toInt() > 0,
                 qPrintable(button->text()));
    QVERIFY(progress.match(button->text()).captured(1).toInt() < 100);
    QVERIFY(!button->isEnabled());
    QCOMPARE(button->width(), restingWidth);
    QVERIFY(!rig.window.grab().isNull());

    // Another export meanwhile does nothing, not even ask for a file.
    view.dataCard()->exportCsv();
    QCOMPARE(rig.suggestions.size(), 1);

    // What happens to the store meanwhile does not reach the file: an edit, a new incident
    // (appended to the records the worker is reading) and erasing everything.
    rig.f.model->setTrigger(QStringLiteral("meeting"), rig.f.model->allEvents().first());
    rig.f.model->log(EventSource::dashboard);
    rig.f.model->eraseEverything();
    QVERIFY(rig.f.model->allEvents().isEmpty());
    gate.open();

    waitForExport(view);
    QCOMPARE(button->text(), QStringLiteral("Export CSV\u2026"));
    QTRY_COMPARE(button->width(), restingWidth);
    QCOMPARE(fileBytes(rig.exportTo), expected);
    QVERIFY(view.dataCard()->problem()->isHidden());
}

void TestSettingsView::exportKeepsTheCardStill_data()
{
    QTest::addColumn<int>("width");
    // The page's width: beside the sidebar at the smallest window, where the buttons wrap anyway;
    // where the row of three buttons just fits the card; wide.
    QTest::newRow("smallest window") << 745;
    QTest::newRow("row just fits") << 910;
    QTest::newRow("wide") << 1400;
}

void TestSettingsView::exportKeepsTheCardStill()
{
    QFETCH(int, width);
    Rig rig;
    seedMany(rig.f, 6000);
    QTemporaryDir out;
    rig.exportTo = out.filePath(QStringLiteral("incidents.csv"));
    SettingsView &view = rig.build();
    rig.window.resize(width, 660);
    ChunkyButton *button = view.dataCard()->exportButton();
    const QList<QRect> before = dataCardLayout(view);

    WriteGate gate(1);
    click(button);
    QVERIFY(gate.waitUntilHeld());
    QTRY_VERIFY2(button->text().startsWith(QStringLiteral("Exporting\u2026 ")) &&
                     !button->text().endsWith(" 0%"),
                 qPrintable(button->text()));
    QCOMPARE(dataCardLayout(view), before);
    gate.open();
    waitForExport(view);
    QCOMPARE(button->text(), QStringLiteral("Export CSV\u2026"));
    QCOMPARE(dataCardLayout(view), before);

    // And so for whatever figure the progress reaches, not only the one seen above.
    for (int percent = 0; percent <= 100; ++percent) {
        ChunkyButton probe(QStringLiteral("Exporting\u2026 %1%").arg(percent), Theme::card, Theme::ink, true);
        QVERIFY2(probe.sizeHint().width() <= button->width(), qPrintable(probe.text()));
    }
}

void TestSettingsView::exportToAFullDiskSaysTheSystemsReason()
{
    Rig rig;
    seedMany(rig.f, 3000);
    FullFolder disk;
    QVERIFY(disk.isReady());
    QVERIFY(disk.place(QStringLiteral("incidents.csv"), "old export"));
    // Room for part of the file: the write that fills the disk succeeds short.
    QVERIFY(disk.fill(2 * 4096));
    rig.exportTo = disk.filePath(QStringLiteral("incidents.csv"));
    SettingsView &view = rig.build();

    click(view.dataCard()->exportButton());
    waitForExport(view);
    ThemedLabel *problem = view.dataCard()->problem();
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), kNoSpace);
    QCOMPARE(fileBytes(rig.exportTo), QByteArray("old export"));
    QCOMPARE(disk.entries(), QStringList{QStringLiteral("incidents.csv")});
}

void TestSettingsView::exportOutlivesThePage_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("back while it runs") << false;
    QTest::newRow("back after it failed") << true;
}

void TestSettingsView::exportOutlivesThePage()
{
    QFETCH(bool, fails);
    Rig rig;
    seedMany(rig.f, 6000);
    QTemporaryDir out;
    std::optional<FullFolder> disk;
    std::optional<WriteGate> gate;
    if (fails) {
        disk.emplace();
        QVERIFY(disk->isReady());
        QVERIFY(disk->fill(0));
        rig.exportTo = disk->filePath(QStringLiteral("incidents.csv"));
    } else {
        gate.emplace(1);
        rig.exportTo = out.filePath(QStringLiteral("incidents.csv"));
    }
    click(rig.build().dataCard()->exportButton());
    // Another page takes the settings page's place before the export has ended.
    delete rig.view;
    rig.view = nullptr;
    auto *job = rig.f.model->findChild<CsvExport *>();
    QVERIFY(job);
    if (fails)
        QTRY_VERIFY(job->isFinished());
    else
        QVERIFY(gate->waitUntilHeld());

    SettingsView &again = rig.build();
    ChunkyButton *button = again.dataCard()->exportButton();
    ThemedLabel *problem = again.dataCard()->problem();
    if (fails) {
        // What nobody was there to see is told on the next visit, once.
        QVERIFY(button->isEnabled());
        QTRY_VERIFY(problem->isVisible());
        QCOMPARE(problem->text(), kNoSpace);
        QTRY_VERIFY(!rig.f.model->findChild<CsvExport *>());
        return;
    }
    QVERIFY(!button->isEnabled());
    QVERIFY2(button->text().startsWith(QStringLiteral("Exporting\u2026 ")), qPrintable(button->text()));
    gate->open();
    waitForExport(again);
    QCOMPARE(button->text(), QStringLiteral("Export CSV\u2026"));
    QVERIFY(problem->isHidden());
    QCOMPARE(fileBytes(rig.exportTo).count('\n'), 6000);
}

void TestSettingsView::eraseCountsAtThePress()
{
    Rig rig;
    rig.f.seed(rig.f.now.addSecs(-60));
    rig.f.seed(rig.f.now.addSecs(-120));
    rig.f.model->addTrigger(QStringLiteral("Printer"), QStringLiteral("\U0001F5A8"));
    const qsizetype triggers = rig.f.model->allTriggers().size();
    rig.f.prefs->setSeenAchievements({QStringLiteral("first")});
    SettingsView &view = rig.build();
    OverlayCenter *overlay = OverlayCenter::of(&view);
    QVERIFY(overlay);

    click(view.dataCard()->eraseButton());
    QVERIFY(overlay->dialog());
    QCOMPARE(overlay->dialog()->title, QStringLiteral("Erase all 2 incidents?"));
    QCOMPARE(overlay->dialog()->message, QStringLiteral("A clean slate. This can't be undone."));
    QCOMPARE(overlay->dialog()->confirm, QStringLiteral("Erase everything"));
    QVERIFY(overlay->dialog()->destructive);
    rig.f.model->log(EventSource::dashboard);
    QCOMPARE(overlay->dialog()->title, QStringLiteral("Erase all 2 incidents?"));

    // Escape cancels.
    QTest::keyClick(&rig.window, Qt::Key_Escape);
    QVERIFY(!overlay->dialog());
    QCOMPARE(rig.f.model->allEvents().size(), 3);

    click(view.dataCard()->eraseButton());
    QCOMPARE(overlay->dialog()->title, QStringLiteral("Erase all 3 incidents?"));
    QTest::keyClick(&rig.window, Qt::Key_Return);
    QTRY_VERIFY(rig.f.model->allEvents().isEmpty());
    QCOMPARE(rig.f.model->allTriggers().size(), triggers);
    QVERIFY(rig.f.prefs->seenAchievements().isEmpty());
}

void TestSettingsView::demoDataAddsAndRemoves()
{
    Rig rig;
    rig.f.seed(rig.f.now.addSecs(-60));
    SettingsView &view = rig.build();
    auto demoCount = [&] {
        const EventSnapshot events = rig.f.model->allEvents();
        return std::count_if(events.begin(), events.end(),
                             [](const VorpEvent &e) { return e.sourceRaw == QLatin1String("demo"); });
    };
    click(view.dataCard()->removeDemoButton()); // nothing to remove: nothing changes
    QCOMPARE(rig.f.model->allEvents().size(), 1);
    click(view.dataCard()->addDemoButton());
    const auto once = demoCount();
    QVERIFY(once > 0);
    click(view.dataCard()->addDemoButton()); // on top of the first batch
    QVERIFY(demoCount() > once);
    click(view.dataCard()->removeDemoButton());
    QCOMPARE(demoCount(), 0);
    QCOMPARE(rig.f.model->allEvents().size(), 1);
}

void TestSettingsView::recorderRingOnlyWhenTabbedTo_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("an accepted key") << int(Qt::Key_K) << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("Return, then Escape") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("a second click") << 0 << 0;
}

void TestSettingsView::recorderRingOnlyWhenTabbedTo()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Rig rig;
    SettingsView &view = rig.build();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    RecorderButton *button = view.recorder()->button();

    // Reached by the mouse, the button records and ends without the keyboard's ring.
    click(button);
    QVERIFY(view.recorder()->isRecording());
    if (key)
        QTest::keyClick(&rig.window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    else
        click(button);
    if (view.recorder()->isRecording())
        QTest::keyClick(&rig.window, Qt::Key_Escape);
    QVERIFY(!view.recorder()->isRecording());
    QVERIFY(!button->hasFocus());
    QCOMPARE(ringPixels(button), 0);

    // Reached by Tab, it wears the ring.
    for (int i = 0; i < 60 && !button->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &rig.window, Qt::Key_Tab);
    QVERIFY(button->hasFocus());
    QVERIFY(ringPixels(button) > 20);
}

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"

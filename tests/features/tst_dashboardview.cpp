#include "app/AppModel.h"
#include "features/achievements/AchievementsView.h"
#include "features/dashboard/DashboardView.h"
#include "features/dashboard/Sidebar.h"
#include "features/history/EventDetailView.h"
#include "features/history/FactRow.h"
#include "features/history/HistoryList.h"
#include "features/history/HistoryView.h"
#include "features/history/NoteEditor.h"
#include "features/onboarding/OnboardingView.h"
#include "features/overview/OverviewCards.h"
#include "features/overview/OverviewView.h"
#include "features/overview/WeekChartCard.h"
#include "features/overview/WeekChartPlot.h"
#include "features/overview/WeekChartValues.h"
#include "features/report/ReportPreview.h"
#include "features/report/ReportThemeChip.h"
#include "features/report/ReportView.h"
#include "features/settings/SettingsDataCard.h"
#include "features/settings/SettingsView.h"
#include "features/triggers/AddTriggerCard.h"
#include "features/triggers/TriggerRow.h"
#include "features/triggers/TriggersView.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "shell/WindowPlacement.h"
#include "support/FakeAppServices.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"
#include "ui/BrutalCard.h"
#include "ui/ChunkyButton.h"
#include "ui/EStopButton.h"
#include "ui/Fonts.h"
#include "ui/GXToggles.h"
#include "ui/Labels.h"
#include "ui/MiniButton.h"
#include "ui/PageHeader.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"
#include "ui/UnsavedNote.h"

#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

// The dashboard driven offscreen against a real store: pages, the first-run card, logging from the
// overview's hero button and filing the incident.
class TestDashboardView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void sidebarAndOtherWritersSwitchThePage();
    void brandLinesUpWithThePageHeader();
    void firstRunCardWithDemoWeek();
    void firstRunCardLetsGoOnReturn();
    void heroLogsFromTheDashboardAndFiles();
    void ctrlReturnPressesTheHeroButton();
    void hiddenTriggersAreNotOffered();
    void scopeChangesOnlyTheLowerCards();
    void weekChartHoverAndPaging();
    void achievementsOfAnEmptyStore();
    void weekChartAxisLabelsFit_data();
    void weekChartAxisLabelsFit();
    void achievementsPageEndsAtItsLastRow_data();
    void achievementsPageEndsAtItsLastRow();
    void everyPageFitsItsWindow_data();
    void everyPageFitsItsWindow();
    void firstRunCardFitsTheSmallestWindow();
    void reportKeepsItsActionsInView_data();
    void reportKeepsItsActionsInView();
    void incidentDateKeepsToOneLine_data();
    void incidentDateKeepsToOneLine();
    void historyCardsShowWhole_data();
    void historyCardsShowWhole();
    void settingsColumnsShareTheWidth_data();
    void settingsColumnsShareTheWidth();
    void sidebarTellsOfUnsavedChanges_data();
    void sidebarTellsOfUnsavedChanges();
    void historyEditorShowsNamesAndTheNote_data();
    void historyEditorShowsNamesAndTheNote();
    void triggersPageGivesNamesTheirWidth_data();
    void triggersPageGivesNamesTheirWidth();
    void heroKeyCapsLineShowsWhole_data();
    void heroKeyCapsLineShowsWhole();
    void firstRunActionsInViewOnALaptop_data();
    void firstRunActionsInViewOnALaptop();

private:
    VorpEvent addEvent(const QDateTime &when, std::optional<QString> trigger = std::nullopt);
    std::unique_ptr<DashboardView> shownDashboard();
    // The dashboard showing `tab` at `size`, below its minimum too (as on a screen too small for it).
    std::unique_ptr<DashboardView> shownAt(DashboardTab tab, const QSize &size);

    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    QDateTime m_now;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<FakeServices> m_fakes;
};

void TestDashboardView::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestDashboardView::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_prefs->setValue(PrefKey::hasOnboarded, true);
    // Wednesday afternoon.
    m_now = QDateTime(QDate(2025, 3, 5), QTime(15, 0), m_zone);
    QString error;
    m_model = std::make_unique<AppModel>(m_dir->filePath(QStringLiteral("Grumblix.store")), *m_prefs, &error);
    QVERIFY2(m_model->isValid(), qPrintable(error));
    m_model->setClock([this] { return m_now; });
    m_model->setTimeZone(m_zone);
    m_fakes = std::make_unique<FakeServices>();
    m_fakes->install(*m_model);
    m_model->bootstrap({QStringLiteral("grumblix")});
}

void TestDashboardView::cleanup()
{
    m_model.reset();
    m_fakes.reset();
    m_prefs.reset();
    m_dir.reset();
}

VorpEvent TestDashboardView::addEvent(const QDateTime &when, std::optional<QString> trigger)
{
    VorpEvent e = VorpEvent::make(when, QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal"),
                                  trigger, std::nullopt, EventSource::menuBar);
    m_model->store().insert(e);
    m_model->store().save();
    return e;
}

std::unique_ptr<DashboardView> TestDashboardView::shownDashboard()
{
    auto view = std::make_unique<DashboardView>(*m_model);
    view->setPermissionRequest([] {});
    view->resize(1200, 800);
    view->show();
    QApplication::setActiveWindow(view.get());
    if (!QTest::qWaitForWindowActive(view.get()))
        qWarning("dashboard window not active");
    return view;
}

std::unique_ptr<DashboardView> TestDashboardView::shownAt(DashboardTab tab, const QSize &size)
{
    m_model->setDashboardTab(tab);
    auto view = shownDashboard();
    view->setMinimumSize(view->minimumSize().boundedTo(size));
    view->resize(size);
    if (!QTest::qWaitFor([&] { return view->size() == size; }))
        qWarning("dashboard not resized");
    QApplication::processEvents();
    return view;
}

void TestDashboardView::sidebarAndOtherWritersSwitchThePage()
{
    auto view = shownDashboard();
    QCOMPARE(view->page()->objectName(), QStringLiteral("overview"));
    QVERIFY(qobject_cast<OverviewView *>(view->page()));

    const QList<SidebarItem *> items = view->sidebar()->items();
    QCOMPARE(items.size(), 6);
    QVERIFY(items[0]->isSelected());
    QTest::mouseClick(items[3], Qt::LeftButton);
    QCOMPARE(m_model->dashboardTab(), DashboardTab::achievements);
    QVERIFY(qobject_cast<AchievementsView *>(view->page()));
    QVERIFY(items[3]->isSelected());
    QVERIFY(!items[0]->isSelected());

    // Clicking the selected row again keeps the same page instance.
    QPointer<QWidget> before = view->page();
    QTest::mouseClick(items[3], Qt::LeftButton);
    QCOMPARE(view->page(), before.data());

    // A page change from elsewhere (menu, URL, notification) switches at once too.
    m_model->setDashboardTab(DashboardTab::settings);
    QCOMPARE(view->page()->objectName(), QStringLiteral("settings"));
    QVERIFY(items[5]->isSelected());
    QVERIFY(before.isNull());
    auto *header = view->page()->findChild<PageHeader *>();
    QVERIFY(header);
    QCOMPARE(header->title(), QStringLiteral("Adjust the chaos."));

    // Coming back builds the page fresh.
    m_model->setDashboardTab(DashboardTab::overview);
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QVERIFY(overview);
    QCOMPARE(overview->scope(), Scope::week);
    QCOMPARE(overview->weekOffset(), 0);
    QVERIFY(!overview->logged());
}

void TestDashboardView::brandLinesUpWithThePageHeader()
{
    auto view = shownDashboard();
    m_model->setDashboardTab(DashboardTab::achievements);
    const auto *header = view->page()->findChild<PageHeader *>();
    const auto *mini = view->sidebar()->findChild<MiniButton *>();
    const auto *name = view->sidebar()->findChild<ThemedLabel *>(QStringLiteral("brandTitle"));
    const auto *tagline = view->sidebar()->findChild<ThemedLabel *>(QStringLiteral("brandTagline"));
    QVERIFY(header && mini && name && tagline);
    QTRY_VERIFY(header->isVisible());
    const int brandTop =
        std::min(mini->mapTo(view.get(), QPoint()).y(), name->mapTo(view.get(), QPoint()).y());
    QCOMPARE(brandTop, header->mapTo(view.get(), QPoint()).y());
    // The tagline starts 2 above the end of the title's line, not a layout's default spacing below it.
    QCOMPARE(tagline->mapTo(view.get(), QPoint()).y(),
             name->mapTo(view.get(), QPoint()).y() + name->sizeHint().height() - 2);
    QCOMPARE(name->height(), name->sizeHint().height());
    QCOMPARE(tagline->height(), tagline->sizeHint().height());
    QCOMPARE(tagline->x(), name->x());
    // The pair is centred on the emblem.
    const int namesMiddle = (name->mapTo(view.get(), QPoint()).y() +
                             tagline->mapTo(view.get(), QPoint(0, tagline->height())).y()) /
                            2;
    QVERIFY(qAbs(namesMiddle - mini->mapTo(view.get(), QPoint(0, mini->height() / 2)).y()) <= 1);
}

void TestDashboardView::firstRunCardWithDemoWeek()
{
    m_prefs->setValue(PrefKey::hasOnboarded, false);
    auto view = shownDashboard();
    QVERIFY(view->isOnboardingShown());
    OnboardingView *card = view->onboarding();
    QVERIFY(card);
    QCOMPARE(card->shortcutTitle(), QStringLiteral("Alt+Shift+F from anywhere"));

    // The sidebar beneath the dimming takes no click.
    QTest::mouseClick(view.get(), Qt::LeftButton, {},
                      view->sidebar()->items()[1]->mapTo(view.get(), QPoint(20, 10)));
    QCOMPARE(m_model->dashboardTab(), DashboardTab::overview);

    QStringList steps;
    card->setPermissionRequest([&] {
        steps << QStringLiteral("permission with %1 incidents, notifyFriday %2")
                     .arg(m_model->allEvents().isEmpty() ? "no" : "demo")
                     .arg(m_prefs->value(PrefKey::notifyFriday).toBool() ? "true" : "false");
    });
    card->setWantsFridayReport(false);
    QTest::mouseClick(card->demoButton(), Qt::LeftButton);

    QCOMPARE(steps, QStringList{QStringLiteral("permission with demo incidents, notifyFriday false")});
    QVERIFY(m_prefs->boolValue(PrefKey::hasOnboarded));
    QVERIFY(!m_model->allEvents().isEmpty());
    QVERIFY(m_model->allEvents().first().sourceRaw == QStringLiteral("demo"));
    QTRY_VERIFY(!view->isOnboardingShown());
    // The overview behind the card shows the demo incidents.
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QTRY_COMPARE(overview->tileValues().at(2), int(m_model->allEvents().size()));
}

void TestDashboardView::firstRunCardLetsGoOnReturn()
{
    m_prefs->setValue(PrefKey::hasOnboarded, false);
    auto view = shownDashboard();
    int asked = 0;
    view->onboarding()->setPermissionRequest([&] { ++asked; });
    QTest::keyClick(view.get(), Qt::Key_Return);
    QCOMPARE(asked, 1);
    QVERIFY(m_prefs->boolValue(PrefKey::hasOnboarded));
    QVERIFY(m_prefs->boolValue(PrefKey::notifyFriday));
    QVERIFY(m_model->allEvents().isEmpty());
    QTRY_VERIFY(!view->isOnboardingShown());
    // Gone for good: a new dashboard does not show it.
    DashboardView again(*m_model);
    QVERIFY(!again.isOnboardingShown());
}

void TestDashboardView::heroLogsFromTheDashboardAndFiles()
{
    auto view = shownDashboard();
    auto *overview = qobject_cast<OverviewView *>(view->page());
    overview->setSeed(3);
    QCOMPARE(overview->headline(), QStringLiteral("Same shit.\nDifferent day."));
    QCOMPARE(overview->relativeLine(), QStringLiteral("No incidents yet. Suspicious."));
    QVERIFY(overview->triggerGrid()->isHidden());

    overview->press();
    QCOMPARE(m_model->allEvents().size(), 1);
    const VorpEvent first = m_model->allEvents().first();
    QCOMPARE(first.sourceRaw, QStringLiteral("dashboard"));
    QCOMPARE(overview->headline(), QStringLiteral("First one of the day.\nPace yourself."));
    QCOMPARE(overview->relativeLine(), QStringLiteral("Last incident: just now"));
    QVERIFY(overview->triggerGrid()->isVisible());
    QCOMPARE(overview->triggerGrid()->selected(), std::nullopt);

    // A second press before picking leaves the first unfiled.
    overview->press();
    const VorpEvent second = *overview->logged();
    QVERIFY(!first.sameRecord(second));
    QCOMPARE(overview->headline(), QStringLiteral("Logged.\nBack to pretending you're fine."));

    TriggerTile *bug = nullptr;
    for (TriggerTile *tile : overview->triggerGrid()->tiles())
        if (tile->trigger().key == QStringLiteral("bug"))
            bug = tile;
    QVERIFY(bug);
    QTest::mouseClick(bug, Qt::LeftButton);
    QCOMPARE(overview->chosen(), std::optional<QString>(QStringLiteral("bug")));
    QCOMPARE(m_model->store().event(second.id)->triggerKey, std::optional<QString>(QStringLiteral("bug")));
    QCOMPARE(m_model->store().event(first.id)->triggerKey, std::nullopt);
    QCOMPARE(overview->triggerGrid()->selected(), std::optional<QString>(QStringLiteral("bug")));
    // The rankings follow at once.
    QCOMPARE(overview->topTriggers()->rows().size(), 2);
    QCOMPARE(overview->tileValues(), (QList<int>{2, 2, 2}));
}

void TestDashboardView::ctrlReturnPressesTheHeroButton()
{
    auto view = shownDashboard();
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QTest::keyClick(view.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_model->allEvents().size(), 1);
    QCOMPARE(m_model->allEvents().first().sourceRaw, QStringLiteral("dashboard"));
    QVERIFY(overview->logged());
}

void TestDashboardView::hiddenTriggersAreNotOffered()
{
    Trigger meeting = m_model->allTriggers().first();
    meeting.isHidden = true;
    m_model->store().update(meeting);
    m_model->store().save();
    OverviewView overview(*m_model);
    overview.press();
    QStringList offered;
    for (TriggerTile *tile : overview.triggerGrid()->tiles())
        offered << tile->trigger().key;
    QVERIFY(!offered.contains(meeting.key));
    QVERIFY(offered.contains(QStringLiteral("email")));
}

void TestDashboardView::scopeChangesOnlyTheLowerCards()
{
    addEvent(m_now.addSecs(-3600), QStringLiteral("bug"));
    addEvent(m_now.addDays(-20), QStringLiteral("email")); // February, earlier month
    OverviewView overview(*m_model);
    const QList<int> tiles = overview.tileValues();
    QCOMPARE(tiles, (QList<int>{1, 1, 2}));
    QCOMPARE(overview.topTriggers()->rows().size(), 1);
    overview.setScope(Scope::all);
    QCOMPARE(overview.topTriggers()->rows().size(), 2);
    QCOMPARE(overview.topApps()->rows().first().count, 2);
    QCOMPARE(overview.tileValues(), tiles);
    QCOMPARE(overview.weekChart()->week().summary.total, 1);
    overview.setScope(Scope::month);
    QCOMPARE(overview.topTriggers()->rows().size(), 1);
}

void TestDashboardView::weekChartHoverAndPaging()
{
    addEvent(QDateTime(QDate(2025, 3, 3), QTime(9, 41), m_zone), QStringLiteral("meeting"));
    OverviewView overview(*m_model);
    overview.resize(1100, 1400);
    overview.show();
    WeekChartCard *card = overview.weekChart();
    QCOMPARE(card->weekLabel(), QStringLiteral("This week"));
    QCOMPARE(card->totalText(), QStringLiteral("⚡ Total: 1"));
    QVERIFY(!card->canPageForward());
    QCOMPARE(card->footerLine(), QStringLiteral("Hover a day for the gory details."));

    // Pointer over Monday's band.
    WeekChartPlot *plot = card->plot();
    QTest::mouseMove(plot, plot->barRect(0).center().toPoint());
    QTRY_COMPARE(card->hovered(), QStringLiteral("Mon"));
    QCOMPARE(card->footerLine(), QStringLiteral("Monday was catastrophic."));
    QCOMPARE(card->footerFacts(),
             QStringLiteral("1 Grumblix moment  ·  Peak: 09:41  ·  Top trigger: 💬 Meeting"));

    // Paging keeps the weekday hovered; the back button has no lower bound.
    card->pageBack();
    QCOMPARE(card->weekLabel(), QStringLiteral("Last week"));
    QVERIFY(card->canPageForward());
    QCOMPARE(card->footerLine(), QStringLiteral("Suspiciously peaceful Monday."));
    card->pageBack();
    QCOMPARE(card->weekLabel(), QStringLiteral("Feb 17 – Feb 23"));
    for (int i = 0; i < 200; ++i)
        card->pageBack();
    QCOMPARE(overview.weekOffset(), -202);
    card->setWeekOffset(0);
    card->pageForward();
    QCOMPARE(overview.weekOffset(), 0);

    card->setHovered({});
    QCOMPARE(card->footerLine(), QStringLiteral("Hover a day for the gory details."));
}

void TestDashboardView::achievementsOfAnEmptyStore()
{
    AchievementsView page(*m_model);
    QCOMPARE(page.header()->eyebrow(), QStringLiteral("0 of 25 unlocked"));
    QCOMPARE(page.header()->title(), QStringLiteral("Easter eggs of pain."));
    QCOMPARE(page.grid()->cards().size(), 25);
    for (const AchievementCard *card : page.grid()->cards())
        QVERIFY(!card->isUnlocked());
    page.resize(1000, 800);
    page.show();
    // 1000 wide less the padding and scroll bar leaves room for three columns.
    QTRY_COMPARE(page.grid()->columnCount(), 3);
    const QRect a = page.grid()->cards()[0]->geometry();
    const QRect b = page.grid()->cards()[1]->geometry();
    QCOMPARE(a.top(), b.top());
    QVERIFY(a.width() >= 230);
    QVERIFY(a.height() >= 170);
}

void TestDashboardView::weekChartAxisLabelsFit_data()
{
    QTest::addColumn<int>("largest");
    QTest::newRow("empty week") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("tens") << 17;
    QTest::newRow("hundreds") << 480;
}

void TestDashboardView::weekChartAxisLabelsFit()
{
    QFETCH(int, largest);
    WeekChartPlot plot;
    plot.resize(500, 210);
    QList<WeekChartPlot::Bar> bars;
    for (int i = 0; i < 7; ++i)
        bars << WeekChartPlot::Bar{QStringLiteral("Mo"), i == 3 ? largest : 0, false, false};
    plot.setBars(bars);
    // Every value label fits between the widget's left edge and the plot.
    const QFontMetricsF values(Fonts::font(10, QFont::Normal));
    for (int mark : WeekChartValues::axisMarks(largest))
        QVERIFY2(values.horizontalAdvance(QString::number(mark)) <= plot.plotRect().left(),
                 qPrintable(QString::number(mark)));
}

void TestDashboardView::achievementsPageEndsAtItsLastRow_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("two columns") << 748;
    QTest::newRow("three columns") << 1000;
    QTest::newRow("six columns") << 1700;
}

void TestDashboardView::achievementsPageEndsAtItsLastRow()
{
    QFETCH(int, width);
    AchievementsView page(*m_model);
    page.resize(width, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *scroll = page.findChild<QScrollArea *>();
    QVERIFY(scroll);
    const AchievementCard *last = page.grid()->cards().constLast();
    QTRY_VERIFY(last->geometry().bottom() > 0);
    const int lastBottom = last->mapTo(scroll->widget(), QPoint(0, last->height())).y();
    // Below the last row only the page's bottom padding.
    QTRY_COMPARE(scroll->widget()->height(), lastBottom + 32);
}

void TestDashboardView::everyPageFitsItsWindow_data()
{
    QTest::addColumn<DashboardTab>("tab");
    QTest::addColumn<QSize>("size");
    for (DashboardTab tab : allDashboardTabs()) {
        const QByteArray name = rawValue(tab).toLatin1();
        QTest::newRow(name + " smallest")
            << tab << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
        QTest::newRow(name + " large") << tab << QSize(1500, 950);
        // The root of a window fitted to a 1366 x 768 laptop (32 px panel, 30 px title bar, 22 px
        // menu bar), and to a 1024 x 600 one, too small even for the minimum.
        const QMargins decoration(0, 30, 0, 0);
        const QSize bar(0, 22);
        for (const auto &[screen, label] :
             {std::pair(QSize(1366, 768), " laptop screen"), std::pair(QSize(1024, 600), " small screen")}) {
            const WindowPlacement::Fit fit = WindowPlacement::fitDashboard(
                QSize(1120, 780) + bar, std::nullopt,
                QSize(DashboardView::minimumWidth, DashboardView::minimumHeight) + bar, decoration,
                QRect(QPoint(0, 0), screen - QSize(0, 32)));
            QTest::newRow(name + label) << tab << fit.geometry.size() - bar;
        }
    }
}

void TestDashboardView::everyPageFitsItsWindow()
{
    QFETCH(DashboardTab, tab);
    QFETCH(QSize, size);
    for (int day = 0; day < 7; ++day)
        addEvent(m_now.addDays(-day).addSecs(-3600), QStringLiteral("meetings"));
    auto view = shownDashboard();
    // As the window does on a screen too small for the minimum.
    view->setMinimumSize(view->minimumSize().boundedTo(size));
    view->resize(size);
    m_model->setDashboardTab(tab);
    QTRY_COMPARE(view->pageTab(), tab);
    QTRY_COMPARE(view->size(), size);
    QApplication::processEvents();
    QWidget *page = view->page();
    QVERIFY(page);
    // A page that changed its arrangement for the new width settles over a few layout passes.
    for (const QScrollArea *scroll : page->findChildren<QScrollArea *>())
        if (scroll->widget() && scroll->widgetResizable())
            QTRY_VERIFY(scroll->widget()->width() <= scroll->viewport()->width());
    const int right = view->width();
    // The page and the sidebar beside it.
    for (const QWidget *w : page->findChildren<QWidget *>() + view->sidebar()->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(view.get()) || w->width() <= 0)
            continue;
        const int wRight = w->mapTo(view.get(), QPoint(w->width(), 0)).x();
        QVERIFY2(wRight <= right, qPrintable(QStringLiteral("%1 (%2) ends at x %3 in a window %4 wide")
                                                 .arg(w->metaObject()->className(), w->objectName())
                                                 .arg(wRight)
                                                 .arg(right)));
        // Nothing ends below the window but what its page scrolls.
        const QScrollArea *scroll = nullptr;
        for (const QObject *o = w->parent(); o && !scroll; o = o->parent())
            scroll = qobject_cast<const QScrollArea *>(o);
        if (!scroll) {
            const int wBottom = w->mapTo(view.get(), QPoint(0, w->height())).y();
            QVERIFY2(wBottom <= view->height(),
                     qPrintable(QStringLiteral("%1 (%2) ends at y %3 in a window %4 high")
                                    .arg(w->metaObject()->className(), w->objectName())
                                    .arg(wBottom)
                                    .arg(view->height())));
        }
        // A one-line label narrower than its text shows it cut off with an ellipsis.
        if (const auto *label = qobject_cast<const ThemedLabel *>(w); label && !label->hasHeightForWidth()) {
            const QFontMetricsF fm(label->font());
            QVERIFY2(
                fm.elidedText(label->text(), Qt::ElideRight, label->width()) == label->text(),
                qPrintable(
                    QStringLiteral("\"%1\" is cut to %2 pixels").arg(label->text()).arg(label->width())));
        }
    }
}

void TestDashboardView::firstRunCardFitsTheSmallestWindow()
{
    m_prefs->setHasOnboarded(false);
    auto view = shownDashboard();
    view->resize(DashboardView::minimumWidth, DashboardView::minimumHeight);
    QTRY_COMPARE(view->height(), DashboardView::minimumHeight);
    QVERIFY(view->isOnboardingShown());
    QApplication::processEvents();
    // No two of the card's texts overlap, and each is tall enough for its lines.
    QList<ThemedLabel *> labels;
    for (ThemedLabel *label : view->onboarding()->findChildren<ThemedLabel *>())
        if (label->isVisibleTo(view.get()) && !label->text().isEmpty())
            labels << label;
    QVERIFY(labels.size() >= 4);
    for (int i = 0; i < labels.size(); ++i) {
        const ThemedLabel *a = labels[i];
        if (a->hasHeightForWidth())
            QVERIFY2(a->height() >= a->heightForWidth(a->width()), qPrintable(a->text()));
        const QRect ra(a->mapTo(view.get(), QPoint()), a->size());
        for (int j = i + 1; j < labels.size(); ++j) {
            const ThemedLabel *b = labels[j];
            const QRect rb(b->mapTo(view.get(), QPoint()), b->size());
            QVERIFY2(!ra.intersects(rb), qPrintable(a->text() + QStringLiteral(" / ") + b->text()));
        }
    }
}

void TestDashboardView::reportKeepsItsActionsInView_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QSize>("size");
    for (const ReportTheme theme : ReportThemes::allCases()) {
        const QString raw = ReportThemes::rawValue(theme);
        QTest::addRow("%s smallest", qPrintable(raw))
            << raw << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
        QTest::addRow("%s default", qPrintable(raw)) << raw << QSize(1120, 780);
    }
    QTest::newRow("large: the card at its own size") << QStringLiteral("midnight") << QSize(1500, 950);
}

void TestDashboardView::reportKeepsItsActionsInView()
{
    QFETCH(QString, theme);
    QFETCH(QSize, size);
    m_prefs->setReportTheme(theme);
    m_model->addDemoData();
    m_model->setDashboardTab(DashboardTab::report);
    auto view = shownDashboard();
    view->resize(size);
    QTRY_COMPARE(view->size(), size);
    auto *report = qobject_cast<ReportView *>(view->page());
    QVERIFY(report);
    QApplication::processEvents();
    const auto frame = [&](const QWidget *w) { return QRect(w->mapTo(view.get(), QPoint(0, 0)), w->size()); };

    // Without scrolling: every chip, Export and Copy lie whole inside the window, beside the card.
    QVERIFY(!report->isStacked());
    const QRect card = report->preview()->cardRect().toRect().translated(frame(report->preview()).topLeft());
    QList<QWidget *> wanted{report->exportButton(), report->copyButton()};
    for (ReportThemeChip *chip : report->chips())
        wanted << chip;
    for (const QWidget *w : std::as_const(wanted)) {
        QVERIFY2(view->rect().contains(frame(w)),
                 qPrintable(w->objectName() + QStringLiteral(" is out of view")));
        QVERIFY2(frame(w).left() >= card.right() + 36 - 1, qPrintable(w->objectName()));
    }
    // The card starts in view at the page's padding, top-aligned with the column, and is no
    // smaller than the room beside the column forces.
    QVERIFY(view->rect().contains(card.topLeft()));
    QCOMPARE(report->preview()->mapTo(report, report->preview()->cardRect().topLeft().toPoint()).x(), 32);
    const QSizeF own = report->preview()->card()->size();
    if (size.width() >= 1500)
        QCOMPARE(report->preview()->scale(), 1.0);
    QVERIFY(report->preview()->scale() >= ReportView::minimumPreviewScale);
    QVERIFY(qAbs(card.width() - own.width() * report->preview()->scale()) <= 1);
    // The image for sharing keeps the card's own size, however small the page shows it.
    const QImage image = report->image();
    QVERIFY(image.width() / image.devicePixelRatio() >= own.width());
}

void TestDashboardView::incidentDateKeepsToOneLine_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
    QTest::newRow("default") << QSize(1120, 780);
}

void TestDashboardView::incidentDateKeepsToOneLine()
{
    QFETCH(QSize, size);
    // A long date: "Wednesday, December 9, 2026".
    m_now = QDateTime(QDate(2026, 12, 9), QTime(15, 0), m_zone);
    const VorpEvent event = addEvent(m_now.addSecs(-600), QStringLiteral("meeting"));
    m_model->setDashboardTab(DashboardTab::history);
    auto view = shownDashboard();
    view->resize(size);
    QTRY_COMPARE(view->size(), size);
    auto *history = qobject_cast<HistoryView *>(view->page());
    QVERIFY(history);
    history->clickRow(event.id);
    QTRY_VERIFY(history->detail() && history->detail()->isVisible());
    QApplication::processEvents();
    const auto *date = history->detail()->findChild<ThemedLabel *>(QStringLiteral("date"));
    QVERIFY(date);
    QCOMPARE(date->text(), QStringLiteral("Wednesday, December 9, 2026"));
    QVERIFY2(date->width() >= date->sizeHint().width(), qPrintable(QString::number(date->width())));
    QCOMPARE(date->height(), date->heightForWidth(date->sizeHint().width()));
    // Under the time, 2 below it, clear of the tools beside the time.
    const QRect dateFrame(date->mapTo(view.get(), QPoint(0, 0)), date->size());
    for (const QWidget *w : history->detail()->findChildren<QWidget *>()) {
        if (w == date || !w->isVisible() || w->isAncestorOf(date) || date->isAncestorOf(w))
            continue;
        const QRect frame(w->mapTo(view.get(), QPoint(0, 0)), w->size());
        QVERIFY2(!frame.intersects(dateFrame), w->metaObject()->className());
    }
}

namespace {

// The part of `w` that its ancestors up to `top` leave on screen, in `top`'s coordinates.
QRect shownPart(const QWidget *w, const QWidget *top)
{
    QRect shown(w->mapTo(top, QPoint(0, 0)), w->size());
    for (const QWidget *p = w->parentWidget(); p && p != top; p = p->parentWidget())
        shown &= QRect(p->mapTo(top, QPoint(0, 0)), p->size());
    return shown & top->rect();
}

} // namespace

void TestDashboardView::historyCardsShowWhole_data()
{
    QTest::addColumn<QSize>("size");
    // How the two facts stand.
    QTest::addColumn<FactRow::Arrangement>("arrangement");
    QTest::newRow("smallest") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight)
                              << FactRow::Arrangement::Table;
    QTest::newRow("default") << QSize(1120, 780) << FactRow::Arrangement::SideBySide;
    QTest::newRow("large") << QSize(1500, 950) << FactRow::Arrangement::SideBySide;
}

void TestDashboardView::historyCardsShowWhole()
{
    QFETCH(QSize, size);
    QFETCH(FactRow::Arrangement, arrangement);
    // The widest words the editor's boxes show: a two-word application and a long source label.
    VorpEvent event = VorpEvent::make(m_now.addSecs(-600), QStringLiteral("Microsoft Outlook"),
                                      QStringLiteral("com.microsoft.Outlook"), QStringLiteral("meeting"),
                                      QStringLiteral("Quick call?"), EventSource::url);
    m_model->store().insert(event);
    m_model->store().save();
    m_model->setDashboardTab(DashboardTab::history);
    auto view = shownDashboard();
    view->resize(size);
    QTRY_COMPARE(view->size(), size);
    auto *history = qobject_cast<HistoryView *>(view->page());
    QVERIFY(history);
    history->clickRow(history->list()->rowIds().value(0));
    QTRY_VERIFY(history->detail() && history->detail()->isVisible());
    QApplication::processEvents();

    // Both cards, their slabs included, lie whole across inside the page's padding, 22 apart; the
    // editor scrolls down, so only its top has to show.
    const QRect content = history->layout()->contentsRect();
    const auto *listCard = qobject_cast<const BrutalCard *>(history->list()->parentWidget());
    const EventDetailView *detail = history->detail();
    QVERIFY(listCard);
    for (const BrutalCard *card : {listCard, static_cast<const BrutalCard *>(detail)}) {
        const QRect frame(card->mapTo(history, QPoint(0, 0)), card->size());
        const QRect shown = shownPart(card, history);
        QVERIFY2(
            shown.left() == frame.left() && shown.right() == frame.right() && shown.top() == frame.top(),
            qPrintable(QStringLiteral("%1 wide card shows %2 of it").arg(frame.width()).arg(shown.width())));
        QVERIFY2(frame.left() >= content.left() && frame.right() <= content.right(),
                 qPrintable(QStringLiteral("card ends at x %1 past the padding at %2")
                                .arg(frame.right())
                                .arg(content.right())));
    }
    const QRectF listFrame(listCard->mapTo(history, QPoint(0, 0)), listCard->cardRect().size());
    const QRectF detailFrame(detail->mapTo(history, QPoint(0, 0)), detail->cardRect().size());
    QCOMPARE(listFrame.width(), 400.0);
    QCOMPARE(detailFrame.left() - listFrame.right(), 22.0);
    // The editor has the whole column but the 6 beside it that its slab takes.
    QVERIFY2(qAbs(detailFrame.right() + 6 - (content.right() + 1)) <= 1,
             qPrintable(QString::number(detailFrame.right())));

    // Nothing in the editor overlaps, is clipped or leaves its padding; the trigger grid spans it.
    const QRect inner = detail->cardRect().adjusted(24, 24, -24, -24).toAlignedRect();
    QList<QRect> frames;
    for (const QWidget *w : detail->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!w->isVisibleTo(detail) || w->width() <= 0 || w->height() <= 0)
            continue;
        const QRect frame = w->geometry();
        QVERIFY2(inner.contains(frame), w->metaObject()->className());
        for (const QRect &other : std::as_const(frames))
            QVERIFY2(!other.intersects(frame), w->metaObject()->className());
        frames << frame;
        for (const QWidget *part : w->findChildren<QWidget *>()) {
            if (!part->isVisibleTo(detail) || qobject_cast<const QScrollBar *>(part))
                continue;
            const QRect partFrame(part->mapTo(detail, QPoint(0, 0)), part->size());
            QVERIFY2(frame.contains(partFrame), part->metaObject()->className());
        }
    }
    const TriggerGrid *grid = detail->grid();
    QCOMPARE(grid->width(), inner.width());
    const QList<TriggerTile *> tiles = grid->tiles();
    QVERIFY(tiles.size() >= 5);
    for (int i = 0; i < tiles.size(); ++i)
        for (int j = i + 1; j < tiles.size(); ++j)
            QVERIFY(!tiles[i]->geometry().intersects(tiles[j]->geometry()));
    // Where the values leave no room for two boxes side by side, the facts share one box as a table.
    const FactRow *facts = detail->facts();
    QCOMPARE(facts->arrangement(), arrangement);
    QCOMPARE(facts->width(), inner.width());
    const QList<QRect> wells = facts->wells();
    if (arrangement == FactRow::Arrangement::SideBySide) {
        QCOMPARE(wells.size(), 2);
        QCOMPARE(wells[1].y(), wells[0].y());
        QCOMPARE(wells[1].height(), wells[0].height());
        QCOMPARE(wells[1].x() - (wells[0].right() + 1), 12);
        QCOMPARE(wells[1].right(), facts->rect().right());
    } else {
        QCOMPARE(wells.size(), 1);
        QCOMPARE(wells[0], facts->rect());
    }
    // Every caption and value lies in a well, 12 inside its edges, and none overlaps another.
    QList<QRect> parts;
    for (const QWidget *part : facts->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const bool inWell = std::any_of(wells.begin(), wells.end(), [&](const QRect &well) {
            return well.adjusted(12, 12, -12, -12).contains(part->geometry());
        });
        QVERIFY2(inWell, part->metaObject()->className());
        for (const QRect &other : std::as_const(parts))
            QVERIFY(!other.intersects(part->geometry()));
        parts << part->geometry();
    }
}

void TestDashboardView::settingsColumnsShareTheWidth_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
    QTest::newRow("default") << QSize(1120, 780);
    QTest::newRow("large") << QSize(1500, 950);
    // The root on a 1024 x 600 screen, narrower than the smallest window.
    QTest::newRow("narrower") << QSize(800, 510);
}

void TestDashboardView::settingsColumnsShareTheWidth()
{
    QFETCH(QSize, size);
    auto view = shownAt(DashboardTab::settings, size);
    QCOMPARE(view->size(), size);
    auto *settings = qobject_cast<SettingsView *>(view->page());
    QVERIFY(settings);
    const auto *left = settings->findChild<QWidget *>(QStringLiteral("leftColumn"));
    const auto *right = settings->findChild<QWidget *>(QStringLiteral("rightColumn"));
    QVERIFY(left && right);
    // Narrower than the smallest window, a column keeps the width its controls need.
    const bool equal = size.width() >= DashboardView::minimumWidth;
    if (equal)
        QVERIFY2(qAbs(left->width() - right->width()) <= 1,
                 qPrintable(QStringLiteral("%1 and %2").arg(left->width()).arg(right->width())));
    // The cards stand 22 apart from one card's own edge to the next, across and down, their slabs in
    // the gaps; the right-hand cards end at the page's padding, 32 from its edge.
    const auto cardFrame = [settings](const BrutalCard *card) {
        return QRectF(card->mapTo(settings, QPoint(0, 0)), card->cardRect().size());
    };
    QList<QList<const BrutalCard *>> cards;
    for (const QWidget *side : {left, right}) {
        QList<const BrutalCard *> column;
        for (const BrutalCard *card : side->findChildren<BrutalCard *>(Qt::FindDirectChildrenOnly))
            if (card->isVisible())
                column << card;
        std::sort(column.begin(), column.end(),
                  [](const BrutalCard *a, const BrutalCard *b) { return a->y() < b->y(); });
        QVERIFY(column.size() >= 3);
        for (int i = 1; i < column.size(); ++i)
            QCOMPARE(cardFrame(column[i]).top() - cardFrame(column[i - 1]).bottom(), 22.0);
        cards << column;
    }
    const QRectF leftCard = cardFrame(cards[0].first()), rightCard = cardFrame(cards[1].first());
    QCOMPARE(rightCard.left() - leftCard.right(), 22.0);
    QVERIFY(!equal || qAbs(leftCard.width() - rightCard.width()) <= 1);
    QCOMPARE(leftCard.left(), 32.0);
    QCOMPARE(rightCard.right(), qreal(settings->width() - 32));
    // The data buttons keep their size and stay inside their card, on more lines if need be.
    const SettingsDataCard *data = settings->dataCard();
    const QList<ChunkyButton *> buttons{data->exportButton(), data->addDemoButton(),
                                        data->removeDemoButton()};
    QList<QRect> frames;
    for (const ChunkyButton *button : buttons) {
        QCOMPARE(button->size(), button->sizeHint());
        const QRect frame(button->mapTo(data, QPoint(0, 0)), button->size());
        QVERIFY2(data->rect().contains(frame), qPrintable(button->text()));
        for (const QRect &other : std::as_const(frames))
            QVERIFY2(!other.intersects(frame), qPrintable(button->text()));
        frames << frame;
    }
    // Nothing below them overlaps them either.
    const QRect erase(data->eraseButton()->mapTo(data, QPoint(0, 0)), data->eraseButton()->size());
    for (const QRect &frame : std::as_const(frames))
        QVERIFY(erase.top() > frame.bottom());

    // What each switch's label gets (the row less the 42-point switch and 24 before it) against what
    // its text needs: one line where it fits, else as many lines as it wraps to, and no word cut.
    const QFontMetricsF font(Fonts::rounded(13, QFont::DemiBold));
    const QList<GXSwitch *> switches = settings->findChildren<GXSwitch *>();
    QCOMPARE(switches.size(), 8);
    int wrapped = 0;
    for (const GXSwitch *row : switches) {
        const int gets = row->width() - 42 - 24;
        const QRectF lines = font.boundingRect(QRectF(0, 0, gets, 1e6), Qt::TextWordWrap, row->text());
        QVERIFY2(row->height() >= qFloor(lines.height()),
                 qPrintable(QStringLiteral("\"%1\" needs %2 high in %3, has %4")
                                .arg(row->text())
                                .arg(lines.height())
                                .arg(gets)
                                .arg(row->height())));
        for (const QString &word : row->text().split(QLatin1Char(' ')))
            QVERIFY2(font.horizontalAdvance(word) <= gets, qPrintable(word));
        if (font.horizontalAdvance(row->text()) <= gets)
            QVERIFY(row->height() < 2 * font.lineSpacing());
        else
            ++wrapped;
    }
    // Narrower than the smallest window, some labels take two lines.
    QCOMPARE(wrapped > 0, size.width() < DashboardView::minimumWidth);
}

void TestDashboardView::historyEditorShowsNamesAndTheNote_data()
{
    QTest::addColumn<QString>("app");
    QTest::addColumn<EventSource>("source");
    // Whether the facts are short enough for the note's first line to show under them.
    QTest::addColumn<bool>("noteInView");
    QTest::newRow("Calendar, demo data") << QStringLiteral("Calendar") << EventSource::demo << true;
    QTest::newRow("Slack, dashboard") << QStringLiteral("Slack") << EventSource::dashboard << true;
    QTest::newRow("Terminal, tray") << QStringLiteral("Terminal") << EventSource::menuBar << true;
    QTest::newRow("two words, shortcut") << QStringLiteral("Google Chrome") << EventSource::shortcut << false;
    QTest::newRow("one long word, URL") << QStringLiteral("Thunderbird") << EventSource::url << false;
}

void TestDashboardView::historyEditorShowsNamesAndTheNote()
{
    QFETCH(QString, app);
    QFETCH(EventSource, source);
    QFETCH(bool, noteInView);
    VorpEvent event = VorpEvent::make(m_now.addSecs(-600), app, QStringLiteral("org.example.App"),
                                      QStringLiteral("production"), std::nullopt, source);
    m_model->store().insert(event);
    m_model->store().save();
    auto view =
        shownAt(DashboardTab::history, QSize(DashboardView::minimumWidth, DashboardView::minimumHeight));
    auto *history = qobject_cast<HistoryView *>(view->page());
    QVERIFY(history);
    history->clickRow(event.id);
    QTRY_VERIFY(history->detail() && history->detail()->isVisible());
    QApplication::processEvents();
    const EventDetailView *detail = history->detail();

    // Each tile's name at 9.5, shrunk towards 70 % of that where its tile is narrower, and cut only
    // where even 70 % is too wide: what the name needs against what its tile gives.
    const QFontMetricsF reference(Fonts::rounded(100, QFont::Bold));
    bool production = false;
    for (const TriggerTile *tile : detail->grid()->tiles()) {
        const QString name = tile->trigger().name;
        const qreal gets = tile->width() - TriggerTile::kSlabRoom;
        const qreal perPixel = reference.horizontalAdvance(name) / 100;
        const QString what =
            QStringLiteral("%1: %2 px at 70 %, %3 given").arg(name).arg(perPixel * 6.65).arg(gets);
        if (perPixel * 9.5 <= gets) {
            QCOMPARE(tile->nameSize(), 9.5);
            QCOMPARE(tile->shownName(), name);
        } else if (perPixel * 6.65 <= gets) {
            QVERIFY2(tile->shownName() == name, qPrintable(what));
            QVERIFY(tile->nameSize() < 9.5 && tile->nameSize() >= 6.65);
            QVERIFY(qAbs(perPixel * tile->nameSize() - gets) < 0.5);
        } else {
            QCOMPARE(tile->nameSize(), 6.65);
            QVERIFY2(tile->shownName() != name && tile->shownName().endsWith(QChar(0x2026)),
                     qPrintable(what));
        }
        production = production || (name == QStringLiteral("Production") && tile->shownName() == name);
    }
    QVERIFY2(production, "Production is cut in its tile");

    // No fact value is narrower than a word of it, nor shorter than its lines.
    const QFontMetricsF value(Fonts::rounded(14, QFont::Bold));
    for (const FactValue *fact : detail->facts()->findChildren<FactValue *>()) {
        const qreal scale = fact->scaleAt(fact->width());
        for (const QString &word : fact->text().split(QLatin1Char(' ')))
            QVERIFY2(value.horizontalAdvance(word) * scale <= fact->width() + 0.5, qPrintable(word));
        const QRectF lines =
            value.boundingRect(QRectF(0, 0, fact->width() / scale, 1e6), Qt::TextWordWrap, fact->text());
        QVERIFY2(fact->height() >= qFloor(lines.height() * scale), qPrintable(fact->text()));
    }

    // The note's first line shows under the facts without scrolling.
    if (noteInView) {
        const QWidget *viewport = detail->parentWidget()->parentWidget();
        const QPlainTextEdit *field = detail->noteEditor()->field();
        const int firstBaseline = field->mapTo(viewport, QPoint(0, 0)).y() +
                                  qCeil(field->document()->documentMargin()) + field->fontMetrics().ascent();
        QVERIFY2(firstBaseline <= viewport->height(),
                 qPrintable(QStringLiteral("the note's first line sits at %1 under a fold at %2")
                                .arg(firstBaseline)
                                .arg(viewport->height())));
    }
}

void TestDashboardView::triggersPageGivesNamesTheirWidth_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
    QTest::newRow("default") << QSize(1120, 780);
}

void TestDashboardView::triggersPageGivesNamesTheirWidth()
{
    QFETCH(QSize, size);
    auto view = shownAt(DashboardTab::triggers, size);
    auto *triggers = qobject_cast<TriggersView *>(view->page());
    QVERIFY(triggers);
    const QList<TriggerRow *> rows = triggers->rows();
    QVERIFY(rows.size() >= 10);
    const auto frame = [triggers](const BrutalCard *card) {
        return QRectF(card->mapTo(triggers, QPoint(0, 0)), card->cardRect().size());
    };
    // The list takes what the 300-wide add card and the 22 between their own edges leave inside the
    // padding; the slabs count for nothing, and neither does the scroll bar of the page, which scrolls.
    const auto *listCard = qobject_cast<const BrutalCard *>(rows.first()->parentWidget());
    QVERIFY(listCard);
    const QRectF list = frame(listCard), add = frame(triggers->addCard());
    QCOMPARE(list.left(), 32.0);
    QCOMPARE(add.width(), 300.0);
    QCOMPARE(add.right(), qreal(triggers->width() - 32));
    QCOMPARE(add.left() - list.right(), 22.0);
    // Inside the list card (padding 8) a row's name gets what its padding, emoji, spacing, count and
    // four 28-point buttons leave.
    const qreal name = list.width() - 2 * 8 - 2 * 12 - 34 - 4 * 12 - 44 - (4 * 28 + 3 * 2);
    const QFontMetricsF font(Fonts::rounded(14, QFont::Bold));
    for (const TriggerRow *row : rows) {
        QVERIFY2(
            qAbs(row->nameRect().width() - name) <= 1,
            qPrintable(QStringLiteral("%1 gets %2").arg(row->trigger().name).arg(row->nameRect().width())));
        const bool fits = font.horizontalAdvance(row->trigger().name) <= row->nameRect().width();
        QCOMPARE(row->shownName() == row->trigger().name, fits);
        if (row->trigger().name == QStringLiteral("Production"))
            QVERIFY2(fits, qPrintable(QString::number(row->nameRect().width())));
    }
}

void TestDashboardView::heroKeyCapsLineShowsWhole_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("modifiers");
    // Whether "from anywhere" stands beside the caps rather than under them.
    QTest::addColumn<bool>("beside");
    const quint32 altShift = Shortcut::optionBit | Shortcut::shiftBit;
    const quint32 all =
        Shortcut::controlBit | Shortcut::optionBit | Shortcut::shiftBit | Shortcut::commandBit;
    // Beside the hero the tiles leave its text column page width - 64 - (230 + 22) - 2 * 24 - 280 - 26.
    QTest::newRow("1080, tiles beside the hero") << 1080 << altShift << true;
    QTest::newRow("1080, four modifiers") << 1080 << all << false;
    QTest::newRow("1120") << 1120 << altShift << true;
    // Narrower, the tiles go under the hero and the column has the hero's whole width.
    QTest::newRow("smallest, tiles under the hero") << DashboardView::minimumWidth << altShift << true;
    QTest::newRow("smallest, four modifiers") << DashboardView::minimumWidth << all << true;
}

void TestDashboardView::heroKeyCapsLineShowsWhole()
{
    QFETCH(int, width);
    QFETCH(quint32, modifiers);
    QFETCH(bool, beside);
    Shortcut shortcut;
    shortcut.carbonModifiers = modifiers;
    m_model->setShortcut(shortcut);
    auto view = shownAt(DashboardTab::overview, QSize(width, DashboardView::minimumHeight));
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QVERIFY(overview);
    const auto *caps = overview->findChild<KeyCaps *>();
    ThemedLabel *anywhere = nullptr;
    for (ThemedLabel *label : overview->findChildren<ThemedLabel *>())
        if (label->text() == QStringLiteral("from anywhere"))
            anywhere = label;
    QVERIFY(caps && anywhere);
    const QWidget *column = overview->headlineLabel()->parentWidget();
    const QRect columnFrame(column->mapTo(overview, QPoint(0, 0)), column->size());
    const bool tilesBeside = overview->width() >= OverviewView::tilesBesideHeroFrom;
    QCOMPARE(tilesBeside, width >= 1080);
    const int expected =
        tilesBeside ? overview->width() - 64 - 252 - 48 - 280 - 26 : overview->width() - 64 - 48 - 280 - 26;
    QVERIFY2(
        qAbs(columnFrame.width() - expected) <= 1,
        qPrintable(
            QStringLiteral("the text column is %1 wide, not %2").arg(columnFrame.width()).arg(expected)));

    // What the words get against what they need, and where they stand.
    const QFontMetricsF font(Fonts::rounded(12, QFont::Medium));
    QVERIFY2(anywhere->width() >= font.horizontalAdvance(anywhere->text()),
             qPrintable(QStringLiteral("\"from anywhere\" has %1 of %2")
                            .arg(anywhere->width())
                            .arg(font.horizontalAdvance(anywhere->text()))));
    const QRect capsFrame(caps->mapTo(overview, QPoint(0, 0)), caps->size());
    const QRect wordsFrame(anywhere->mapTo(overview, QPoint(0, 0)), anywhere->size());
    QVERIFY(columnFrame.contains(capsFrame) && columnFrame.contains(wordsFrame));
    QVERIFY(!capsFrame.intersects(wordsFrame));
    QCOMPARE(caps->width(), caps->sizeHint().width());
    if (beside) {
        QCOMPARE(wordsFrame.left() - capsFrame.right() - 1, 8);
        QCOMPARE(wordsFrame.center().y(), capsFrame.center().y());
    } else {
        QCOMPARE(wordsFrame.left(), capsFrame.left());
        QVERIFY(wordsFrame.top() > capsFrame.bottom());
    }
}

void TestDashboardView::firstRunActionsInViewOnALaptop_data()
{
    QTest::addColumn<QSize>("size");
    // The root of the first window on a 1366 x 768 screen with a 32 px panel at the bottom, under a
    // title bar and the menu bar.
    const QSize bar(0, 22);
    for (const auto &[decoration, label] : {std::pair(QMargins(0, 30, 0, 0), "30 px title bar"),
                                            std::pair(QMargins(1, 20, 1, 5), "20 px title bar, framed")}) {
        const WindowPlacement::Fit fit = WindowPlacement::fitDashboard(
            QSize(1120, 780) + bar, std::nullopt,
            QSize(DashboardView::minimumWidth, DashboardView::minimumHeight) + bar, decoration,
            QRect(0, 0, 1366, 768 - 32));
        QTest::newRow(label) << fit.geometry.size() - bar;
    }
    QTest::newRow("smallest window") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight);
    QTest::newRow("default size") << QSize(1120, 780);
}

void TestDashboardView::firstRunActionsInViewOnALaptop()
{
    QFETCH(QSize, size);
    m_prefs->setHasOnboarded(false);
    auto view = shownAt(DashboardTab::overview, size);
    QVERIFY(view->isOnboardingShown());
    const OnboardingView *card = view->onboarding();
    const auto frame = [&](const QWidget *w) { return QRect(w->mapTo(view.get(), QPoint(0, 0)), w->size()); };
    // The whole card and both ways in show without scrolling; the card gave up only its button's size.
    QVERIFY2(
        view->rect().contains(frame(card)),
        qPrintable(
            QStringLiteral("a card %1 high in a window %2 high").arg(card->height()).arg(size.height())));
    for (const QWidget *action :
         {static_cast<const QWidget *>(card->demoButton()), static_cast<const QWidget *>(card->goButton())})
        QVERIFY(view->rect().contains(frame(action)));
    for (const QScrollArea *scroll : view->findChildren<QScrollArea *>())
        if (scroll->isAncestorOf(card))
            QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
    QCOMPARE(card->width(), OnboardingView::cardWidth + 6);
    const qreal button = card->button()->buttonWidth();
    QVERIFY(button >= OnboardingView::leastButtonWidth && button <= OnboardingView::buttonWidth);
    if (size.height() >= 780)
        QCOMPARE(button, qreal(OnboardingView::buttonWidth));

    // Fitted again and again before the window repaints (a window manager's run of resizes), the
    // card counts its new button each time.
    OnboardingView *fitted = view->onboarding();
    for (const int height : {600, 700, 800, 640}) {
        fitted->fitInto(height);
        QVERIFY(fitted->button()->isVisibleTo(fitted));
        QCOMPARE(fitted->minimumHeight(), fitted->heightForWidth(fitted->width()));
    }
}

void TestDashboardView::sidebarTellsOfUnsavedChanges_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("whole");
    QTest::newRow("smallest") << QSize(DashboardView::minimumWidth, DashboardView::minimumHeight) << true;
    // The window's root on a 1024 x 600 screen, held below its minimum: the note keeps its first
    // sentence rather than push the shortcut out or cut a line.
    const WindowPlacement::Fit fit = WindowPlacement::fitDashboard(
        QSize(1120, 802), std::nullopt, QSize(DashboardView::minimumWidth, DashboardView::minimumHeight + 22),
        QMargins(0, 30, 0, 0), QRect(0, 0, 1024, 600 - 32));
    QTest::newRow("small screen") << fit.geometry.size() - QSize(0, 22) << false;
}

void TestDashboardView::sidebarTellsOfUnsavedChanges()
{
    QFETCH(QSize, size);
    QFETCH(bool, whole);
    // The store must be opened over the disk that fills up.
    cleanup();
    FullDisk disk;
    init();
    m_model->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    auto view = shownDashboard();
    view->setMinimumSize(view->minimumSize().boundedTo(size));
    view->resize(size);
    QTRY_COMPARE(view->size(), size);
    UnsavedNote *note = view->sidebar()->unsavedNote();
    QVERIFY(note);
    const QRect keysBefore(view->sidebar()->keyCaps()->mapTo(view.get(), QPoint()),
                           view->sidebar()->keyCaps()->size());
    QVERIFY(!note->isShown());

    disk.setFull(true);
    m_model->log(EventSource::dashboard, AppContext{});
    m_model->log(EventSource::dashboard, AppContext{});
    QVERIFY(note->isShown());
    QCOMPARE(note->summary(), QStringLiteral("2 incidents aren't saved yet: the disk is full."));
    QCOMPARE(note->outlook(),
             QStringLiteral("Grumblix keeps them while it runs and saves them once there is room."));
    QCOMPARE(note->accessibleName(), m_model->unsavedNotice());
    QCOMPARE(note->showsOutlook(), whole);
    // It fills the space above the shortcut, which stays where it was; every line shows whole.
    const QRect box(note->mapTo(view.get(), note->box().topLeft()), note->box().size());
    const QRect keys(view->sidebar()->keyCaps()->mapTo(view.get(), QPoint()),
                     view->sidebar()->keyCaps()->size());
    QCOMPARE(keys, keysBefore);
    QVERIFY2(
        box.bottom() < keys.top() - 20 && box.top() >= 0,
        qPrintable(
            QStringLiteral("note %1 to %2, keys from %3").arg(box.top()).arg(box.bottom()).arg(keys.top())));
    QCOMPARE(box.left(), 16);
    QCOMPARE(box.width(), Sidebar::width - 32);
    for (const ThemedLabel *line : note->findChildren<ThemedLabel *>()) {
        if (line->isVisibleTo(note)) {
            QVERIFY(note->box().contains(line->geometry()));
            QCOMPARE(line->height(), line->heightForWidth(line->width()));
        }
    }

    // A log while it shows updates the same note; a save that works takes it away.
    m_model->log(EventSource::dashboard, AppContext{});
    QCOMPARE(note->summary(), QStringLiteral("3 incidents aren't saved yet: the disk is full."));
    disk.setFull(false);
    QVERIFY(m_model->flushPendingChanges());
    QVERIFY(!note->isShown());
    view.reset();
    cleanup();
}

QTEST_MAIN(TestDashboardView)
#include "tst_dashboardview.moc"

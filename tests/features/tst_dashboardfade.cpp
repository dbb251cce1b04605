#include "app/AppModel.h"
#include "features/achievements/AchievementsView.h"
#include "features/dashboard/DashboardView.h"
#include "features/dashboard/Sidebar.h"
#include "features/onboarding/OnboardingView.h"
#include "features/overview/OverviewView.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "support/FirstFrame.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/EStopButton.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"
#include "ui/TriggerGrid.h"

#include <QtTest>

// What the dashboard shows while a page change or the first-run card's exit fades: the first frame
// is what was on screen before, never an empty page, and the e-stop stays where it stands.
class TestDashboardFade : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void pageChangeStartsFromTheOldPage_data();
    void pageChangeStartsFromTheOldPage();
    void pageChangeEndsOnTheLivePage_data();
    void pageChangeEndsOnTheLivePage();
    void firstRunCardLeavesFromWhereItStood();
    void fadeStartsAtItsFirstFrame_data();
    void fadeStartsAtItsFirstFrame();
    void heroHeadlineCrossFadesAndTheGridRisesIn();
    void oldHeadlineFadesToNothingSmoothly();
    void heroButtonGlidesWithTheCard_data();
    void heroButtonGlidesWithTheCard();

private:
    std::unique_ptr<DashboardView> shownDashboard(QSize size = QSize(1200, 800));
    void addEvents(int count);

    std::unique_ptr<TestSupport::ModelFixture> m_fixture;
    AppModel *m_model = nullptr;
};

namespace {

// The share of pixels of `rect` that differ between two shots by more than a rounding step.
qreal differingShare(const QImage &a, const QImage &b, const QRect &rect)
{
    int differing = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (qAbs(p.red() - q.red()) > 2 || qAbs(p.green() - q.green()) > 2 ||
                qAbs(p.blue() - q.blue()) > 2)
                ++differing;
        }
    }
    return qreal(differing) / (rect.width() * rect.height());
}

} // namespace

void TestDashboardFade::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestDashboardFade::init()
{
    m_fixture = std::make_unique<TestSupport::ModelFixture>();
    m_model = m_fixture->model.get();
}

void TestDashboardFade::cleanup()
{
    m_model = nullptr;
    m_fixture.reset();
}

void TestDashboardFade::addEvents(int count)
{
    for (int i = 0; i < count; ++i) {
        VorpEvent e = VorpEvent::make(m_fixture->now.addSecs(-3600 * (i + 1)), QStringLiteral("Terminal"),
                                      QStringLiteral("org.gnome.Terminal"), QStringLiteral("build"),
                                      std::nullopt, EventSource::menuBar);
        m_model->store().insert(e);
    }
    m_model->store().save();
}

std::unique_ptr<DashboardView> TestDashboardFade::shownDashboard(QSize size)
{
    auto view = std::make_unique<DashboardView>(*m_model);
    view->setPermissionRequest([] {});
    view->resize(size);
    view->show();
    // The first-run card's Return is a window shortcut: the window must be the active one.
    QApplication::setActiveWindow(view.get());
    if (!QTest::qWaitForWindowActive(view.get()))
        qWarning("dashboard window not active");
    return view;
}

void TestDashboardFade::pageChangeStartsFromTheOldPage_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("achievements to overview")
        << int(DashboardTab::achievements) << int(DashboardTab::overview);
    QTest::newRow("overview to history") << int(DashboardTab::overview) << int(DashboardTab::history);
}

void TestDashboardFade::pageChangeStartsFromTheOldPage()
{
    QFETCH(int, from);
    QFETCH(int, to);
    addEvents(5);
    m_model->setDashboardTab(DashboardTab(from));
    auto view = shownDashboard();
    QWidget *area = view->page()->parentWidget();
    const QRect areaBox(area->mapTo(view.get(), QPoint()), area->size());
    QTest::qWait(50); // the page's first layout settles
    const QImage before = view->grab().toImage();

    QTest::mouseClick(view->sidebar()->items()[to], Qt::LeftButton);
    // The new page is built at once, under a fade that starts from the old one.
    QCOMPARE(view->pageTab(), DashboardTab(to));
    QVERIFY(view->page()->isVisible());
    QVERIFY(view->isPageFading());
    const QImage first = view->grab().toImage();
    QVERIFY2(differingShare(before, first, areaBox) < 0.01, "the first frame of the fade is the old page");

    QTRY_VERIFY(!view->isPageFading());
    const QImage last = view->grab().toImage();
    QVERIFY2(differingShare(before, last, areaBox) > 0.05, "the new page is shown");
}

void TestDashboardFade::pageChangeEndsOnTheLivePage_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("dark");
    const std::pair<DashboardTab, DashboardTab> pairs[] = {
        {DashboardTab::achievements, DashboardTab::overview},
        {DashboardTab::overview, DashboardTab::history},
        {DashboardTab::history, DashboardTab::report},
        {DashboardTab::report, DashboardTab::achievements},
        {DashboardTab::achievements, DashboardTab::triggers},
        {DashboardTab::triggers, DashboardTab::settings},
        {DashboardTab::settings, DashboardTab::overview},
    };
    for (const bool dark : {false, true}) {
        for (const auto &[from, to] : pairs) {
            const QString name = rawValue(from) + QStringLiteral(" to ") + rawValue(to) +
                                 (dark ? QStringLiteral(", dark") : QStringLiteral(", light"));
            QTest::newRow(qPrintable(name)) << int(from) << int(to) << dark;
        }
    }
}

void TestDashboardFade::pageChangeEndsOnTheLivePage()
{
    // The fade's picture of the incoming page is the page's first shown frame: nothing (a value, a
    // roll of the counters, a scroll bar and the narrower width it leaves) jumps when the live page
    // takes over.
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, dark);
    const Theme::ScopedScheme scheme(dark ? ColorScheme::Dark : ColorScheme::Light);
    addEvents(40); // enough incidents that every counter differs from 0 and long pages scroll
    m_model->setDashboardTab(DashboardTab(from));
    auto view = shownDashboard();
    QTest::qWait(50); // the first page's own layout settles

    QTest::mouseClick(view->sidebar()->items()[to], Qt::LeftButton);
    QVERIFY(view->isPageFading());
    const QImage incoming = view->incomingPagePicture().toImage();
    QVERIFY(!incoming.isNull());

    QTRY_VERIFY(!view->isPageFading());
    QWidget *area = view->page()->parentWidget();
    const QImage live = area->grab().toImage();
    QCOMPARE(incoming.size(), live.size());
    const qreal share = differingShare(incoming, live, incoming.rect());
    QVERIFY2(share < 0.0001,
             qPrintable(
                 QStringLiteral("%1% of the page changed when the fade ended").arg(share * 100, 0, 'f', 3)));
}

void TestDashboardFade::firstRunCardLeavesFromWhereItStood()
{
    // The card's e-stop stands in a card that fades out over the overview's own e-stop; neither
    // may be drawn anywhere else on the way out.
    m_fixture->prefs->setValue(PrefKey::hasOnboarded, false);
    auto view = shownDashboard();
    QVERIFY(view->isOnboardingShown());
    QTest::qWait(50);
    const QImage before = view->grab().toImage();

    QTest::keyClick(view.get(), Qt::Key_Return);
    QVERIFY(view->isOnboardingFading());
    const QImage first = view->grab().toImage();
    QVERIFY2(differingShare(before, first, view->rect()) < 0.01, "the fade starts from the card as it stood");

    QTRY_VERIFY(!view->isOnboardingFading());
    QVERIFY(!view->isOnboardingShown());
    auto *hero = view->page()->findChild<EStopButton *>();
    QVERIFY(hero);
    for (QWidget *w = hero; w; w = w->parentWidget())
        QVERIFY2(!w->graphicsEffect(), qPrintable(w->metaObject()->className()));
}

void TestDashboardFade::fadeStartsAtItsFirstFrame_data()
{
    QTest::addColumn<bool>("card");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("report to settings") << false << int(DashboardTab::report) << int(DashboardTab::settings);
    QTest::newRow("overview to report") << false << int(DashboardTab::overview) << int(DashboardTab::report);
    QTest::newRow("first-run card, demo week") << true << int(DashboardTab::overview) << -1;
}

void TestDashboardFade::fadeStartsAtItsFirstFrame()
{
    // The clock starts once the first frame of the fade is out: on a heavy page, or with a demo week
    // just loaded behind the card, that frame may take as long as the whole fade.
    QFETCH(bool, card);
    QFETCH(int, from);
    QFETCH(int, to);
    TestSupport::SteppedClock clock;
    addEvents(40);
    m_model->setDashboardTab(DashboardTab(from));
    m_fixture->prefs->setValue(PrefKey::hasOnboarded, !card);
    auto view = shownDashboard();
    for (int i = 0; i < 10; ++i) { // the first page settles
        QTest::qWait(10);
        clock.step();
    }

    std::function<qreal()> done; // how far the fade has gone; 1 once it is over
    if (card) {
        QTest::mouseClick(view->onboarding()->demoButton(), Qt::LeftButton);
        QVERIFY(view->onboardingFade());
        done = [&] { return view->onboardingFade() ? 1 - view->onboardingFadeOpacity() : 1.0; };
    } else {
        QTest::mouseClick(view->sidebar()->items()[to], Qt::LeftButton);
        QVERIFY(view->pageFade());
        done = [&] { return view->pageFade() ? view->pageFadeProgress() : 1.0; };
    }
    TestSupport::SlowFirstFrame frame(card ? view->onboardingFade() : view->pageFade(), done);
    // Whatever the change queued runs before its first frame is painted: a clock started with
    // the change (it takes a few queued hops) is running by then.
    for (int hop = 0; hop < 4; ++hop)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);

    QVERIFY(QTest::qWaitFor([&] { return frame.isPainted(); }));
    QCOMPARE(frame.lookAtFirstFrame(), 0.0);
    clock.step();
    QVERIFY2(done() < 0.5, qPrintable(QString::number(done())));
    for (int i = 0; i < 100 && done() < 1; ++i) {
        QTest::qWait(10);
        clock.step();
    }
    QCOMPARE(done(), 1.0);
    QTRY_VERIFY(!view->isPageFading() && !view->isOnboardingFading());
}

void TestDashboardFade::heroHeadlineCrossFadesAndTheGridRisesIn()
{
    auto view = shownDashboard();
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QVERIFY(overview);
    overview->setSeed(0); // a two-line idle headline, itself cross-faded in
    QTRY_VERIFY(!overview->isHeroChanging());
    QWidget *headline = overview->headlineLabel();
    const QRect headBox(headline->mapTo(view.get(), QPoint()), headline->size());
    const QImage before = view->grab().toImage();
    const QString idleText = overview->headline();

    overview->button()->press();
    QVERIFY(overview->headline() != idleText);
    QVERIFY(overview->isHeroChanging());
    // The first frame still reads the old headline; the grid is there, not yet seen.
    const QImage first = view->grab().toImage();
    QVERIFY2(differingShare(before, first, headBox) < 0.01, "the headline starts from the old text");
    QVERIFY(overview->triggerGrid()->isVisible());
    const QRect gridBox(overview->triggerGrid()->mapTo(view.get(), QPoint()),
                        overview->triggerGrid()->size());
    const QImage firstGrid = first.copy(gridBox);

    QTRY_VERIFY(!overview->isHeroChanging());
    const QImage last = view->grab().toImage();
    QVERIFY2(differingShare(before, last, headBox) > 0.02, "the new headline is shown");
    QVERIFY2(differingShare(firstGrid, last.copy(gridBox), QRect(QPoint(), gridBox.size())) > 0.05,
             "the grid has come in");
    for (QWidget *w = overview->button(); w; w = w->parentWidget())
        QVERIFY2(!w->graphicsEffect(), qPrintable(w->metaObject()->className()));
}

void TestDashboardFade::oldHeadlineFadesToNothingSmoothly()
{
    // The spring creeps over its last tenth for as long as it took for the first nine: the old
    // headline must be gone by then, in small steps, not hang there faintly and vanish at once.
    auto view = shownDashboard();
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QVERIFY(overview);
    overview->setSeed(0);
    QTRY_VERIFY(!overview->isHeroChanging());
    overview->button()->press();
    SpringAnimator *spring = overview->heroSpring();
    QVERIFY(spring->isRunning());
    QCOMPARE(overview->oldHeadlineOpacity(), 1.0);

    qreal shown = 1;
    qreal atNineTenths = -1;
    for (int step = 0; spring->isRunning() && step < 1000; ++step) {
        spring->advance(0.008);
        const qreal now = qMax<qreal>(0, overview->oldHeadlineOpacity()); // gone: nothing shows
        const QString where =
            QStringLiteral("spring at %1: %2 after %3").arg(spring->value()).arg(now).arg(shown);
        QVERIFY2(now <= shown, qPrintable(where));
        QVERIFY2(shown - now <= 0.08, qPrintable(where));
        if (atNineTenths < 0 && spring->value() >= 0.9)
            atNineTenths = now;
        shown = now;
    }
    QVERIFY2(atNineTenths < 0.02, qPrintable(QString::number(atNineTenths)));
    QCOMPARE(shown, 0.0);
    QTRY_VERIFY(!overview->isHeroChanging());
}

void TestDashboardFade::heroButtonGlidesWithTheCard_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("events");
    QTest::addColumn<bool>("filedFirst");
    QTest::addColumn<int>("travel"); // at least this far, so that the row shows motion at all
    // The grid (and a banner for the day's count) grows the column past the tiles beside the card.
    QTest::newRow("idle to logged") << QSize(1200, 800) << 5 << false << 10;
    // The tiles have left the card's side; the after-press headline wraps onto a third line.
    QTest::newRow("idle to logged, smallest window") << QSize(960, 660) << 5 << false << 20;
    // Only the headline changes: the next after-press text takes another line.
    QTest::newRow("filed to logged again, smallest window") << QSize(960, 660) << 0 << true << 10;
    // The first incident ever: its achievement's banner joins the column with the grid.
    QTest::newRow("first incident, smallest window") << QSize(960, 660) << 0 << false << 20;
}

void TestDashboardFade::heroButtonGlidesWithTheCard()
{
    QFETCH(QSize, window);
    QFETCH(int, events);
    QFETCH(bool, filedFirst);
    QFETCH(int, travel);
    addEvents(events);
    // A banner leaving on its own clock would move the card mid-measure.
    m_model->setAnnouncementDuration(std::chrono::hours(1));
    auto view = shownDashboard(window);
    auto *overview = qobject_cast<OverviewView *>(view->page());
    QVERIFY(overview);
    overview->setSeed(7); // an idle headline that wraps at the smallest window
    QTRY_VERIFY(!overview->isHeroChanging());
    if (filedFirst) {
        overview->button()->press();
        QTRY_VERIFY(!overview->isHeroChanging());
        overview->pick(overview->triggerGrid()->triggers().first());
        QTRY_VERIFY(!overview->isHeroChanging());
    }
    QTest::qWait(50); // every layout settles

    // One turn of the event loop without its timers: what the last step changed is laid out (and
    // the achievement check queued by a log runs), while the spring waits for the next step.
    const auto laidOut = [&] {
        for (int i = 0; i < 8; ++i)
            QCoreApplication::sendPostedEvents();
        return overview->button()->mapTo(view.get(), QPoint()).y();
    };
    const int before = laidOut();
    overview->button()->press();
    QList<int> ys{laidOut()};
    SpringAnimator *spring = overview->heroSpring();
    QVERIFY(spring->isRunning());
    for (int step = 0; spring->isRunning() && step < 1000; ++step) {
        spring->advance(0.008);
        ys << laidOut();
    }
    QVERIFY(!spring->isRunning());
    QVERIFY(!overview->isHeroChanging());
    QTest::qWait(50);
    const int after = laidOut();

    // Starts where it stood, moves in small steps, ends where the settled layout puts it.
    QCOMPARE(ys.first(), before);
    QVERIFY2(qAbs(after - before) >= travel, qPrintable(QStringLiteral("moved %1 px").arg(after - before)));
    int largest = 0;
    for (qsizetype i = 1; i < ys.size(); ++i)
        largest = qMax(largest, qAbs(ys[i] - ys[i - 1]));
    QVERIFY2(largest <= 3, qPrintable(QStringLiteral("the button jumps by %1 px").arg(largest)));
    QCOMPARE(ys.last(), after);
}

QTEST_MAIN(TestDashboardFade)
#include "tst_dashboardfade.moc"

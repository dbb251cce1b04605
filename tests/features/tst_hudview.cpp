#include "features/toast/HUDView.h"
#include "models/Store.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"
#include "ui/TriggerGrid.h"

#include <QAbstractButton>
#include <QtTest>

using TestSupport::ModelFixture;

// The toast's header, its filing flow and its hover reports.
class TestHUDView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void headerNamesTheApplication_data();
    void headerNamesTheApplication();
    void countIncludesTheIncident();
    void incidentWithTriggerShowsFiledChip_data();
    void incidentWithTriggerShowsFiledChip();
    void pickFilesBeforeTellingTheOwner();
    void pickSwapsGridForChipInOneSpring();
    void hoverIsReported();
    void everyTriggerHiddenLeavesNoTiles();
    void renderLightAndDark();

private:
    std::unique_ptr<ModelFixture> m_f;
};

void TestHUDView::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestHUDView::init()
{
    m_f = std::make_unique<ModelFixture>();
}

void TestHUDView::cleanup()
{
    m_f.reset();
}

void TestHUDView::headerNamesTheApplication_data()
{
    QTest::addColumn<QString>("name"); // empty = none
    QTest::addColumn<QString>("bundle");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("icon");
    QTest::newRow("name and id") << "Terminal"
                                 << "org.gnome.Terminal"
                                 << "Logged in Terminal" << true;
    QTest::newRow("id without name") << ""
                                     << "org.gnome.Terminal"
                                     << "Logged" << false;
    QTest::newRow("neither") << ""
                             << ""
                             << "Logged" << false;
}

void TestHUDView::headerNamesTheApplication()
{
    QFETCH(QString, name);
    QFETCH(QString, bundle);
    QFETCH(QString, text);
    QFETCH(bool, icon);
    const VorpEvent event =
        m_f->seed(m_f->now, std::nullopt, name.isEmpty() ? std::nullopt : std::optional(name),
                  bundle.isEmpty() ? std::nullopt : std::optional(bundle));
    HUDView view(*m_f->model, event, {}, {});
    QCOMPARE(view.loggedText(), text);
    QCOMPARE(view.showsAppIcon(), icon);
}

void TestHUDView::countIncludesTheIncident()
{
    m_f->seed(m_f->now.addDays(-1));
    const VorpEvent event = m_f->model->log(EventSource::shortcut);
    HUDView view(*m_f->model, event, {}, {});
    QCOMPARE(view.todayCount(), 1);
    m_f->model->log(EventSource::shortcut);
    QCOMPARE(view.todayCount(), 2); // follows the store while shown
}

void TestHUDView::incidentWithTriggerShowsFiledChip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("known") << "meeting" << QStringLiteral("💬  Filed under Meeting ✓");
    QTest::newRow("deleted") << "gone" << QStringLiteral("🗑️  Filed under Deleted trigger ✓");
}

void TestHUDView::incidentWithTriggerShowsFiledChip()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    const Trigger meeting = m_f->model->allTriggers().first();
    QCOMPARE(meeting.key, QStringLiteral("meeting"));
    const VorpEvent event = m_f->seed(m_f->now, key);
    HUDView view(*m_f->model, event, {}, {});
    QCOMPARE(view.chosen(), std::optional<QString>(key));
    QVERIFY(!view.triggerGrid());
    QCOMPARE(view.filedText(), text);
}

void TestHUDView::pickFilesBeforeTellingTheOwner()
{
    const VorpEvent event = m_f->seed(m_f->now);
    std::optional<QString> seenByOwner;
    int chosenCalls = 0;
    HUDView view(*m_f->model, event,
                 [&] {
                     ++chosenCalls;
                     seenByOwner = m_f->model->store().event(event.id)->triggerKey;
                 },
                 {});
    QVERIFY(view.triggerGrid());
    QVERIFY(!view.triggerGrid()->isNumbered());
    QCOMPARE(view.filedText(), QString());
    const Trigger third = view.triggerGrid()->triggers().at(2);
    view.triggerGrid()->tiles().at(2)->click();
    QCOMPARE(chosenCalls, 1);
    QCOMPARE(seenByOwner, std::optional<QString>(third.key));
    QCOMPARE(view.chosen(), std::optional<QString>(third.key));
    QVERIFY(!view.triggerGrid()); // the chip for good
    QCOMPARE(view.filedText(),
             third.emoji + QStringLiteral("  Filed under ") + third.name + QStringLiteral(" ✓"));
}

void TestHUDView::pickSwapsGridForChipInOneSpring()
{
    const VorpEvent event = m_f->seed(m_f->now);
    HUDView view(*m_f->model, event, {}, {});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int gridHeight = view.triggerGrid()->height();
    view.triggerGrid()->tiles().at(0)->click();
    // Filed at once; on screen the grid still stands, giving way.
    QVERIFY(!view.triggerGrid());
    QVERIFY(!view.filedText().isEmpty());
    QVERIFY(view.isSwapping());
    QCOMPARE(view.filingArea()->sizeHint().height(), gridHeight);
    // The toast shrinks through the spring, not in one step...
    QList<int> heights;
    QTRY_VERIFY_WITH_TIMEOUT((heights << view.filingArea()->sizeHint().height(), !view.isSwapping()), 3000);
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    QVERIFY2(heights.size() > 2, "heights between the grid's and the chip's");
    // ...and ends as the chip alone.
    QCoreApplication::processEvents();
    const int chipHeight = view.filingArea()->sizeHint().height();
    QVERIFY(chipHeight < gridHeight);
    QTRY_COMPARE(view.filingArea()->height(), chipHeight);
}

void TestHUDView::hoverIsReported()
{
    const VorpEvent event = m_f->seed(m_f->now);
    QList<bool> reports;
    HUDView view(*m_f->model, event, {}, [&](bool inside) { reports << inside; });
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(&view, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    QCOMPARE(reports, (QList<bool>{true, false}));
    QVERIFY(view.triggerGrid()); // nothing else changes
}

void TestHUDView::everyTriggerHiddenLeavesNoTiles()
{
    for (Trigger t : m_f->model->store().triggers()) {
        t.isHidden = true;
        m_f->model->store().update(t);
    }
    const VorpEvent event = m_f->seed(m_f->now);
    HUDView view(*m_f->model, event, {}, {});
    QVERIFY(view.triggerGrid());
    QCOMPARE(view.triggerGrid()->tiles().size(), 0);
}

void TestHUDView::renderLightAndDark()
{
    const QString dir = qEnvironmentVariable("GRUMBLIX_GALLERY_DIR");
    m_f->seed(m_f->now.addSecs(-600));
    const VorpEvent open =
        m_f->seed(m_f->now, std::nullopt, QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal"));
    const VorpEvent filed = m_f->seed(m_f->now, QStringLiteral("build"));
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme forced(scheme);
        for (const VorpEvent &event : {open, filed}) {
            HUDView view(*m_f->model, event, {}, {});
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            // 6 + 14 + 340 + 14 + 10: the content, the card's padding and the outer room.
            QCOMPARE(view.width(), 384);
            const QImage shot = view.grab().toImage();
            QCOMPARE(shot.pixelColor(6 + 7, 4 + 40).rgb(), QColor(Theme::card).rgb());
            if (!dir.isEmpty())
                shot.save(dir + QStringLiteral("/toast-%1-%2.png")
                                    .arg(event.triggerKey ? "filed" : "picker",
                                         scheme == ColorScheme::Light ? "light" : "dark"));
        }
    }
}

QTEST_MAIN(TestHUDView)
#include "tst_hudview.moc"

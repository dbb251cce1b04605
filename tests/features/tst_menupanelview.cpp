#include "features/panel/MenuPanelView.h"
#include "models/Store.h"
#include "services/Copy.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "ui/EStopButton.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/Theme.h"
#include "ui/ThemedText.h"
#include "ui/TriggerGrid.h"

#include <QAbstractButton>
#include <QtTest>

using TestSupport::ModelFixture;

// The quick-log panel's states, texts, counts and close timers over a real store.
class TestMenuPanelView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void idleTextsFromSeed_data();
    void idleTextsFromSeed();
    void emptyStoreReadsZero();
    void countsTodayWeekAndTotal();
    void pressLogsAndShowsPicker();
    void appNameShownWhenKnown();
    void quipBoxAndPickerCrossFade();
    void longAppNameIsElidedBeforeTheQuestion_data();
    void longAppNameIsElidedBeforeTheQuestion();
    void secondPressBelongsToNewerIncident();
    void choosingFilesAndClosesSoon();
    void digitKeysPickOnlyWhilePickerShows();
    void returnPressesTheButton();
    void hoverCancelsAndLeavingReArms();
    void autoCloseOffNeverCloses();
    void pendingCloseDiesWithItsPanel();
    void footerShowsShortcutAndOpensPages();
    void achievementBannerFollowsModel();
    void renderLightAndDark();

private:
    std::unique_ptr<MenuPanelView> makeView(int seed = 0);

    std::unique_ptr<ModelFixture> m_f;
    int m_closes = 0;
};

void TestMenuPanelView::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestMenuPanelView::init()
{
    m_f = std::make_unique<ModelFixture>();
    m_closes = 0;
}

void TestMenuPanelView::cleanup()
{
    m_f.reset();
}

std::unique_ptr<MenuPanelView> TestMenuPanelView::makeView(int seed)
{
    return std::make_unique<MenuPanelView>(
        *m_f->model, [this] { ++m_closes; }, seed);
}

void TestMenuPanelView::idleTextsFromSeed_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<QString>("slogan");
    QTest::addColumn<QString>("tagline");
    QTest::newRow("0") << 0 << "Sometimes you just have to press it."
                       << "Deep breath.\nYou've got this (probably).";
    QTest::newRow("7") << 7 << "Emergency stop for your patience."
                       << "Somewhere, a build\nis failing for you.";
    QTest::newRow("999") << 999 << Copy::slogans().at(3) << Copy::taglines().at(9);
}

void TestMenuPanelView::idleTextsFromSeed()
{
    QFETCH(int, seed);
    QFETCH(QString, slogan);
    QFETCH(QString, tagline);
    auto view = makeView(seed);
    QCOMPARE(view->line(), slogan);
    QCOMPARE(view->quip(), QChar(0x201C) + tagline + QChar(0x201D));
    QVERIFY(!view->showsPicker());
    // A fresh panel draws its own seed in 0…999.
    MenuPanelView drawn(*m_f->model, {});
    QVERIFY(drawn.seed() >= 0 && drawn.seed() < 1000);
}

void TestMenuPanelView::emptyStoreReadsZero()
{
    auto view = makeView();
    QCOMPARE(view->counts(), (QList<int>{0, 0, 0}));
    QCOMPARE(view->lastIncidentLine(), QStringLiteral("No incidents yet. Suspicious."));
    QVERIFY(!view->isClosePending());
}

void TestMenuPanelView::countsTodayWeekAndTotal()
{
    // Wednesday 15:00: two today, one on Monday, one last Sunday, one a month ago.
    m_f->seed(m_f->now.addSecs(-3600));
    m_f->seed(m_f->now.addSecs(-60 * 17));
    m_f->seed(m_f->now.addDays(-2));
    m_f->seed(m_f->now.addDays(-3));
    m_f->seed(m_f->now.addDays(-30));
    auto view = makeView();
    QCOMPARE(view->counts(), (QList<int>{2, 3, 5}));
    QCOMPARE(view->lastIncidentLine(), QStringLiteral("Last incident: 17m ago"));
    // The counters follow the store live.
    m_f->seed(m_f->now);
    QCOMPARE(view->counts(), (QList<int>{3, 4, 6}));
    QCOMPARE(view->lastIncidentLine(), QStringLiteral("Last incident: just now"));
}

void TestMenuPanelView::pressLogsAndShowsPicker()
{
    auto view = makeView(7);
    view->button()->press();
    const auto &events = m_f->model->store().events();
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().sourceRaw, QStringLiteral("menuBar"));
    QVERIFY(!events.first().triggerKey);
    QVERIFY(view->logged() && view->logged()->sameRecord(events.first()));
    QVERIFY(!view->chosen());
    // Today's count already includes the new incident; the two lines read as one.
    QCOMPARE(view->line(), QStringLiteral("First one of the day. Pace yourself."));
    QCOMPARE(view->counts(), (QList<int>{1, 1, 1}));
    QVERIFY(view->showsPicker());
    QCOMPARE(view->chipText(), QStringLiteral("LOGGED ✓"));
    QCOMPARE(view->appText(), QString());
    QCOMPARE(view->pendingCloseMs(), 3500);
    QCOMPARE(view->triggerGrid()->triggers().size(), 10);
    QVERIFY(view->triggerGrid()->isNumbered());
}

void TestMenuPanelView::appNameShownWhenKnown()
{
    m_f->fakes->frontmost.current =
        AppContext{QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal")};
    auto view = makeView();
    view->press();
    QCOMPARE(view->appText(), QStringLiteral("Terminal"));
}

void TestMenuPanelView::quipBoxAndPickerCrossFade()
{
    auto view = makeView(7);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    const QImage idle = view->grab().toImage();
    view->press();
    // Both stand in the middle area at once: the quip box still shown, the picker coming in.
    QVERIFY(view->isCrossFading());
    QVERIFY(view->picker()->isVisible());
    const QList<QWidget *> middle =
        view->picker()->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    int shown = 0;
    for (QWidget *w : middle)
        shown += w->isVisible() ? 1 : 0;
    QCOMPARE(shown, 2);
    // The fade starts from the quip as it stood (the picker's tiles cover its well)...
    QWidget *well = nullptr;
    for (ThemedText *t : view->findChildren<ThemedText *>())
        if (t->text() == view->quip())
            well = t->parentWidget();
    QVERIFY(well);
    const QRect wellBox(well->mapTo(view.get(), QPoint()), well->size());
    const QImage start = view->grab().toImage();
    QCOMPARE(start.copy(wellBox), idle.copy(wellBox));
    // ...and ends with the picker alone.
    QTRY_VERIFY(!view->isCrossFading());
    shown = 0;
    for (QWidget *w : middle)
        shown += w->isVisible() ? 1 : 0;
    QCOMPARE(shown, 1);
    QVERIFY(view->picker()->isVisible());
    QVERIFY(!view->picker()->graphicsEffect());
}

void TestMenuPanelView::longAppNameIsElidedBeforeTheQuestion_data()
{
    QTest::addColumn<QString>("name");
    // Whether the name must be cut; "Visual Studio Code" is about as wide as the room and fits or
    // not with the face the test machine draws it in.
    QTest::addColumn<std::optional<bool>>("elided");
    QTest::newRow("short") << QStringLiteral("Terminal") << std::optional<bool>(false);
    QTest::newRow("three words") << QStringLiteral("Visual Studio Code") << std::optional<bool>();
    QTest::newRow("class with detail")
        << QStringLiteral("ImageMagick (color depth=q16)") << std::optional<bool>(true);
}

void TestMenuPanelView::longAppNameIsElidedBeforeTheQuestion()
{
    QFETCH(QString, name);
    QFETCH(std::optional<bool>, elided);
    m_f->fakes->frontmost.current = AppContext{name, QStringLiteral("org.example.App")};
    auto view = makeView();
    view->press();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QCOMPARE(view->appText(), name);
    QWidget *label = view->appNameLabel();
    QWidget *question = view->questionLabel();
    QVERIFY(label && question);
    QWidget *row = view->picker();
    const QRect nameBox(label->mapTo(row, QPoint()), label->size());
    const QRect questionBox(question->mapTo(row, QPoint()), question->size());
    // Side by side, never overlapping, and the question whole inside the row.
    QVERIFY2(nameBox.right() < questionBox.left(),
             qPrintable(QStringLiteral("name ends at %1, question starts at %2")
                            .arg(nameBox.right())
                            .arg(questionBox.left())));
    QVERIFY(questionBox.right() < row->width());
    QCOMPARE(question->width(), question->sizeHint().width());
    const QString shown = view->shownAppText();
    const QFontMetricsF metrics(Fonts::rounded(12, QFont::DemiBold));
    const bool cut = metrics.horizontalAdvance(name) > label->width();
    if (elided)
        QCOMPARE(cut, *elided);
    if (cut) {
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(shown) <= label->width());
    } else {
        QCOMPARE(shown, name);
    }
}

void TestMenuPanelView::secondPressBelongsToNewerIncident()
{
    auto view = makeView();
    view->press();
    view->triggerGrid()->tiles().at(0)->click();
    QCOMPARE(view->chipText(), QStringLiteral("FILED ✓"));
    QCOMPARE(view->pendingCloseMs(), 700);
    const qint64 first = view->logged()->id;
    m_f->now = m_f->now.addSecs(1);
    view->press();
    QVERIFY(view->logged()->id != first);
    QVERIFY(!view->chosen());
    QCOMPARE(view->chipText(), QStringLiteral("LOGGED ✓"));
    QCOMPARE(view->pendingCloseMs(), 3500);
    QCOMPARE(view->line(), Copy::afterPress(2).replace('\n', ' '));
}

void TestMenuPanelView::choosingFilesAndClosesSoon()
{
    auto view = makeView();
    view->press();
    const QList<Trigger> triggers = view->triggerGrid()->triggers();
    view->triggerGrid()->tiles().at(2)->click();
    QCOMPARE(view->chosen(), std::optional<QString>(triggers.at(2).key));
    QCOMPARE(m_f->model->store().events().first().triggerKey, std::optional<QString>(triggers.at(2).key));
    QCOMPARE(view->triggerGrid()->selected(), std::optional<QString>(triggers.at(2).key));
    // A later pick files it again and re-arms the short close.
    view->triggerGrid()->tiles().at(4)->click();
    QCOMPARE(m_f->model->store().events().first().triggerKey, std::optional<QString>(triggers.at(4).key));
    QCOMPARE(view->pendingCloseMs(), 700);
    QCOMPARE(m_closes, 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_closes, 1, 2000);
    QCOMPARE(m_f->model->store().events().size(), 1);
}

void TestMenuPanelView::digitKeysPickOnlyWhilePickerShows()
{
    auto view = makeView();
    view->show();
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    QTest::keyClick(view.get(), Qt::Key_1);
    QVERIFY(!view->chosen());
    view->press();
    QTest::keyClick(view.get(), Qt::Key_2);
    const QList<Trigger> triggers = view->triggerGrid()->triggers();
    QCOMPARE(view->chosen(), std::optional<QString>(triggers.at(1).key));
    QTest::keyClick(view.get(), Qt::Key_0);
    QCOMPARE(view->chosen(), std::optional<QString>(triggers.at(9).key));
    QCOMPARE(m_f->model->store().events().first().triggerKey, std::optional<QString>(triggers.at(9).key));
}

void TestMenuPanelView::returnPressesTheButton()
{
    auto view = makeView();
    view->show();
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    QTest::keyClick(view.get(), Qt::Key_Return);
    QCOMPARE(m_f->model->store().events().size(), 1);
    QVERIFY(view->showsPicker());
    QCOMPARE(view->button()->waveCount(), 1);
}

void TestMenuPanelView::hoverCancelsAndLeavingReArms()
{
    auto view = makeView();
    view->press();
    view->pickerHovered(true);
    QVERIFY(!view->isClosePending());
    view->pickerHovered(false);
    QCOMPARE(view->pendingCloseMs(), 2000);
    // Choosing while the pointer stays over the picker still closes 0.7 s later.
    view->pickerHovered(true);
    view->triggerGrid()->tiles().at(0)->click();
    QCOMPARE(view->pendingCloseMs(), 700);
    // Once filed, leaving does not re-arm the longer close.
    view->pickerHovered(false);
    QCOMPARE(view->pendingCloseMs(), 700);
}

void TestMenuPanelView::autoCloseOffNeverCloses()
{
    m_f->prefs->setValue(PrefKey::autoClosePanel, false);
    auto view = makeView();
    view->press();
    QVERIFY(!view->isClosePending());
    view->triggerGrid()->tiles().at(0)->click();
    view->pickerHovered(true);
    view->pickerHovered(false);
    QVERIFY(!view->isClosePending());
}

void TestMenuPanelView::pendingCloseDiesWithItsPanel()
{
    // Press, close the panel another way (Escape hides it), open a new one: the first panel's
    // pending close must not close the second.
    auto first = makeView();
    first->show();
    first->press();
    QVERIFY(first->isClosePending());
    first->hide();
    QVERIFY(!first->isClosePending());
    auto second = makeView();
    second->show();
    QVERIFY(!second->isClosePending());

    // The same with a close due at once, so that a stray one would have fired.
    second->scheduleClose(0.01);
    second->hide();
    second.reset();
    first->scheduleClose(0.01);
    first.reset();
    QTest::qWait(100);
    QCOMPARE(m_closes, 0);
}

void TestMenuPanelView::footerShowsShortcutAndOpensPages()
{
    auto view = makeView();
    QCOMPARE(view->shortcutCaps()->keys(), (QStringList{"Alt", "Shift", "F"}));
    QCOMPARE(view->shortcutCaps()->toolTip(), QStringLiteral("Log from anywhere with Alt+Shift+F"));
    Shortcut ctrl;
    ctrl.carbonModifiers = Shortcut::controlBit;
    ctrl.keyCode = Qt::Key_F1;
    ctrl.keyLabel = QStringLiteral("F1");
    m_f->model->setShortcut(ctrl);
    QCOMPARE(view->shortcutCaps()->keys(), (QStringList{"Ctrl", "F1"}));

    view->press();
    QVERIFY(view->isClosePending());
    const QList<std::pair<QString, DashboardTab>> buttons{{"Report", DashboardTab::report},
                                                          {"Dashboard", DashboardTab::overview},
                                                          {"Settings", DashboardTab::settings}};
    for (const auto &[name, tab] : buttons) {
        QAbstractButton *button = nullptr;
        for (auto *b : view->findChildren<QAbstractButton *>())
            if (b->text() == name || b->toolTip() == name)
                button = b;
        QVERIFY2(button, qPrintable(name));
        m_f->fakes->journal.calls.clear();
        button->click();
        QCOMPARE(m_f->model->dashboardTab(), tab);
        QCOMPARE(m_f->fakes->journal.calls, (QStringList{"closePanel", "showDashboard"}));
    }
    QVERIFY(!view->isClosePending());
}

void TestMenuPanelView::achievementBannerFollowsModel()
{
    m_f->model->setAnnouncementDuration(std::chrono::milliseconds(300));
    auto view = makeView();
    QVERIFY(!view->banner());
    view->press(); // the first incident ever unlocks an achievement
    QTRY_VERIFY(m_f->model->freshAchievement());
    QVERIFY(view->banner());
    QCOMPARE(view->banner()->title(), m_f->model->freshAchievement()->title);
    QTRY_VERIFY(!m_f->model->freshAchievement());
    QVERIFY(!view->banner());
}

void TestMenuPanelView::renderLightAndDark()
{
    const QString dir = qEnvironmentVariable("GRUMBLIX_GALLERY_DIR");
    m_f->seed(m_f->now.addSecs(-600));
    m_f->fakes->frontmost.current =
        AppContext{QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal")};
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme forced(scheme);
        auto view = makeView(7);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        // 8 + 320 + 12 wide: the card and its margins.
        QCOMPARE(view->width(), 340);
        const QImage idle = view->grab().toImage();
        // The card's fill shows inside its border, in the scheme's card colour.
        QCOMPARE(idle.pixelColor(8 + 160, 6 + 3).rgb(), QColor(Theme::card).rgb());
        view->press();
        // The after-press look, once the quip box has cross-faded into the picker.
        QTRY_VERIFY(view->showsPicker() && !view->isCrossFading());
        const QImage logged = view->grab().toImage();
        QVERIFY(logged != idle);
        const QString name = scheme == ColorScheme::Light ? QStringLiteral("light") : QStringLiteral("dark");
        if (!dir.isEmpty()) {
            idle.save(dir + QStringLiteral("/panel-idle-%1.png").arg(name));
            logged.save(dir + QStringLiteral("/panel-logged-%1.png").arg(name));
        }
    }
}

QTEST_MAIN(TestMenuPanelView)
#include "tst_menupanelview.moc"

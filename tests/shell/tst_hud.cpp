#include "features/toast/HUDView.h"
#include "shell/HUDController.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/TriggerGrid.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

using TestSupport::ShellFixture;

class HudTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;

    HUDController *hud() { return f->hud(); }
    VorpEvent logged(const QString &app)
    {
        return f->model->log(EventSource::shortcut, AppContext{app, app}, QStringLiteral("meeting"));
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void init() { f = std::make_unique<ShellFixture>(); }
    void cleanup() { f.reset(); }

    void showsAtTopCentreAndHidesAfterFourSeconds()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        ToastWindow *window = hud()->window();
        QVERIFY(window && window->isVisible());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window->pos().y(), available.y() + 10);
        QCOMPARE(window->geometry().center().x(), available.center().x());
        QCOMPARE(hud()->pendingHideInterval(), 4000);
        QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
    }

    void interactionReschedulesTheHide()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        hud()->chosen();
        QCOMPARE(hud()->pendingHideInterval(), 900);
        hud()->hover(true);
        QVERIFY(!hud()->isHidePending()); // held up while the pointer stays
        hud()->hover(false);
        QCOMPARE(hud()->pendingHideInterval(), 1600);
        // A new show replaces whatever was pending.
        hud()->show(logged(QStringLiteral("Editor")));
        QCOMPARE(hud()->pendingHideInterval(), 4000);
    }

    void pickHidesSoonWhereverThePointerGoes_data()
    {
        // Where the pointer ends up after the pick: filing shrinks the toast, so a pointer that
        // picked in the lower row is outside at once, and each of the window and its content
        // reports that leave.
        QTest::addColumn<bool>("leaves");
        QTest::newRow("stays over the toast") << false;
        QTest::newRow("left outside by the shrink") << true;
    }

    void pickHidesSoonWhereverThePointerGoes()
    {
        QFETCH(bool, leaves);
        hud()->show(f->model->log(EventSource::shortcut, AppContext{QStringLiteral("Editor"), {}}));
        ToastWindow *window = hud()->window();
        auto *view = window->findChild<HUDView *>();
        QVERIFY(view && view->triggerGrid());
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(window, &enter);
        QCoreApplication::sendEvent(view, &enter);
        QVERIFY(!hud()->isHidePending());

        const QString key = view->triggerGrid()->triggers().last().key;
        view->choose(key);
        QCOMPARE(f->model->allEvents().last().triggerKey, std::optional<QString>(key));
        QCOMPARE(hud()->pendingHideInterval(), 900);
        if (leaves) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(view, &leave);
            QCoreApplication::sendEvent(window, &leave);
        }
        QCOMPARE(hud()->pendingHideInterval(), 900);
        QVERIFY(hud()->isHidePending());

        // Back in and out again is an ordinary visit: held, then the usual 1.6 s.
        QCoreApplication::sendEvent(window, &enter);
        QVERIFY(!hud()->isHidePending());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(window, &leave);
        QCOMPARE(hud()->pendingHideInterval(), 1600);
    }

    void pointerOverTheWindowHoldsIt()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(hud()->window(), &enter);
        QVERIFY(!hud()->isHidePending());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(hud()->window(), &leave);
        QCOMPARE(hud()->pendingHideInterval(), 1600);
    }

    void hidesAfterItsFade()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        hud()->scheduleHide(0);
        QTRY_VERIFY_WITH_TIMEOUT(!hud()->window()->isVisible(), 1000);
    }

    void showDuringFadeOutKeepsTheWindowUp()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        ToastWindow *window = hud()->window();
        hud()->scheduleHide(0);
        QTest::qWait(80); // inside the 0.2 s fade-out
        hud()->show(logged(QStringLiteral("Browser")));
        QTest::qWait(400);
        QVERIFY(window->isVisible());
        QCOMPARE(hud()->window(), window); // one window, reused
        QCOMPARE(window->windowOpacity(), 1.0);
        QCOMPARE(hud()->pendingHideInterval(), 4000);
    }

    void contentFollowsTheNewIncident()
    {
        hud()->show(logged(QStringLiteral("Editor")));
        hud()->show(logged(QStringLiteral("Browser")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList texts;
        for (HUDView *view : hud()->window()->findChildren<HUDView *>())
            texts << view->loggedText();
        QVERIFY2(texts.join(QLatin1Char('|')).contains(QLatin1String("Browser")),
                 qPrintable(texts.join('|')));
        QVERIFY(!texts.join(QLatin1Char('|')).contains(QLatin1String("Editor")));
    }
};

QTEST_MAIN(HudTest)
#include "tst_hud.moc"

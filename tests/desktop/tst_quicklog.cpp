#include "features/panel/MenuPanelView.h"
#include "features/toast/HUDView.h"
#include "models/Prefs.h"
#include "shell/FloatingPanel.h"
#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "shell/TrayClick.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/EStopButton.h"
#include "ui/Theme.h"
#include "ui/TriggerGrid.h"

#include <QScreen>
#include <QtTest>

// The quick-log flows on a real X server: a tray click opens the panel, a click on the button logs,
// a digit key files; the shortcut's toast files with one click.
class TestQuickLog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void trayPanelLogsAndFilesByDigit();
    void toastFilesWithOneClick();

private:
    void shoot(const QString &name);
    std::unique_ptr<TestSupport::ShellFixture> m_f;
};

void TestQuickLog::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestQuickLog::init()
{
    m_f = std::make_unique<TestSupport::ShellFixture>();
}

void TestQuickLog::cleanup()
{
    m_f.reset();
}

void TestQuickLog::shoot(const QString &name)
{
    const QString dir = qEnvironmentVariable("GRUMBLIX_GALLERY_DIR");
    if (!dir.isEmpty())
        QGuiApplication::primaryScreen()->grabWindow(0).save(dir + QLatin1Char('/') + name +
                                                             QStringLiteral(".png"));
}

void TestQuickLog::trayPanelLogsAndFilesByDigit()
{
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme forced(scheme);
        const int before = m_f->storedCount();
        m_f->statusItem()->perform(TrayAction::TogglePanel);
        FloatingPanel *panel = m_f->statusItem()->panel();
        QVERIFY(panel);
        QVERIFY(QTest::qWaitForWindowActive(panel));
        auto *view = panel->findChild<MenuPanelView *>();
        QVERIFY(view);
        QCOMPARE(panel->size(), view->size());

        EStopButton *button = view->button();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(m_f->storedCount(), before + 1);
        QVERIFY(view->showsPicker());
        QTest::qWait(250); // mid-ring
        shoot(scheme == ColorScheme::Light ? QStringLiteral("desktop-panel-light")
                                           : QStringLiteral("desktop-panel-dark"));

        QTest::keyClick(panel, Qt::Key_3);
        const QString third = view->triggerGrid()->triggers().at(2).key;
        QCOMPARE(m_f->model->allEvents().last().triggerKey, std::optional<QString>(third));
        QCOMPARE(view->chipText(), QStringLiteral("FILED ✓"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_f->statusItem()->panel(), 2000);
    }
}

void TestQuickLog::toastFilesWithOneClick()
{
    m_f->prefs->setValue(PrefKey::showHUD, true);
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme forced(scheme);
        m_f->model->logFromShortcut();
        ToastWindow *toast = m_f->hud()->window();
        QVERIFY(toast);
        QVERIFY(QTest::qWaitForWindowExposed(toast));
        QTRY_VERIFY(!toast->findChildren<HUDView *>().isEmpty());
        HUDView *view = toast->findChildren<HUDView *>().last();
        QTest::qWait(200);
        shoot(scheme == ColorScheme::Light ? QStringLiteral("desktop-toast-light")
                                           : QStringLiteral("desktop-toast-dark"));
        QTest::mouseClick(view->triggerGrid()->tiles().at(0), Qt::LeftButton);
        QCOMPARE(m_f->model->allEvents().last().triggerKey,
                 std::optional<QString>(m_f->model->allTriggers().first().key));
        QVERIFY(!view->filedText().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!toast->isVisible(), 3000);
    }
}

QTEST_MAIN(TestQuickLog)
#include "tst_quicklog.moc"

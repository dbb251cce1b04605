#include "app/AppModel.h"
#include "models/Prefs.h"
#include "shell/Shell.h"
#include "support/DesktopTools.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

// A desktop without any tray: after waiting a while for one, the program shows its dashboard so it
// is never invisible, and the shortcut and URLs keep working.
class NoTrayTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dashboardStandsInForTheIcon()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        TestSupport::isolateFolders();
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTemporaryDir dir;
        Shell shell;
        QVERIFY(shell.build({dir.filePath(QStringLiteral("Grumblix.conf")),
                             dir.filePath(QStringLiteral("Grumblix.store")),
                             dir.filePath(QStringLiteral("WindowState.conf"))},
                            Platform::forApplication()));
        shell.prefs()->setHasOnboarded(true);
        shell.start({QStringLiteral("grumblix")});
        AppModel &model = *shell.model();

        auto dashboardShown = [] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("dashboard") && window->isVisible())
                    return true;
            }
            return false;
        };
        QTest::qWait(2000);
        QVERIFY(!dashboardShown()); // a tray may still be starting
        QVERIFY(DesktopTools::waitFor(dashboardShown, 15000));

        // URLs still log.
        model.handle(QStringLiteral("grumblix://log?note=no%20tray"));
        QCOMPARE(model.allEvents().size(), 1);
        QCOMPARE(model.allEvents().first().note, std::optional(QStringLiteral("no tray")));
    }
};

QTEST_MAIN(NoTrayTest)
#include "tst_notray.moc"

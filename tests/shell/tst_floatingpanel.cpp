#include "shell/FloatingPanel.h"
#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/EStopButton.h"

#include <QHBoxLayout>
#include <QtTest>

// The panel's buttons take their hover from the pointer's moves, so a panel that the window system
// mapped under a still pointer (and that got no enter event) still lights what the pointer is over.
class TestFloatingPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void hoverFollowsMovesWithoutEnterEvents_data();
    void hoverFollowsMovesWithoutEnterEvents();
};

void TestFloatingPanel::hoverFollowsMovesWithoutEnterEvents_data()
{
    // Where the pointer moves, one step after another, and what must then be lit.
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QStringList>("lit");
    QTest::newRow("gear, then the e-stop") << QStringList{"gear", "estop"} << QStringList{"gear", "estop"};
    QTest::newRow("e-stop, margin, gear")
        << QStringList{"estop", "margin", "gear"} << QStringList{"estop", "", "gear"};
}

void TestFloatingPanel::hoverFollowsMovesWithoutEnterEvents()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, lit);
    auto *content = new QWidget;
    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(20, 20, 20, 20);
    auto *gear = new GhostButton(QStringLiteral("Settings"));
    auto *estop = new EStopButton(120, ButtonSkin::classic, [] {});
    row->addWidget(gear);
    row->addWidget(estop);
    FloatingPanel panel(content);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    const QHash<QString, QPoint> at{
        {QStringLiteral("gear"), gear->mapTo(&panel, gear->rect().center())},
        {QStringLiteral("estop"), estop->mapTo(&panel, estop->rect().center())},
        {QStringLiteral("margin"), QPoint(5, 5)},
    };
    for (int i = 0; i < path.size(); ++i) {
        // Straight to the window, as the window system delivers a move: no enter or leave first.
        const QPoint local = at.value(path[i]);
        QMouseEvent move(QEvent::MouseMove, local, panel.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&panel, &move);
        const QString step = QStringLiteral("after the move to %1").arg(path[i]);
        QVERIFY2(gear->isHovering() == (lit[i] == QLatin1String("gear")), qPrintable(step));
        QVERIFY2(estop->isHovering() == (lit[i] == QLatin1String("estop")), qPrintable(step));
    }
}

QTEST_MAIN(TestFloatingPanel)
#include "tst_floatingpanel.moc"

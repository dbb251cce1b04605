#include "platform/QuitOnSignal.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>
#include <unistd.h>

// A termination signal ends the program the orderly way, through aboutToQuit (where the store
// writes what is pending), wherever the event loop stands: idle, or under modal dialogs, one that
// would not let itself be closed among them.
class QuitOnSignalTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        quitOnTerminationSignals();
        mainLoopStarting();
    }

    void signalQuitsThroughAboutToQuit_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("boxes"); // modal boxes open, one inside the other
        QTest::addColumn<bool>("closable");
        QTest::newRow("SIGTERM, idle") << int(SIGTERM) << 0 << true;
        QTest::newRow("SIGINT, idle") << int(SIGINT) << 0 << true;
        QTest::newRow("SIGHUP, idle") << int(SIGHUP) << 0 << true;
        QTest::newRow("SIGTERM under a message box") << int(SIGTERM) << 1 << true;
        QTest::newRow("SIGHUP under a box within a box") << int(SIGHUP) << 2 << true;
        // Without a button that stands for "no", a message box ignores being closed.
        QTest::newRow("SIGTERM under a box that will not close") << int(SIGTERM) << 1 << false;
    }

    void signalQuitsThroughAboutToQuit()
    {
        QFETCH(int, signal);
        QFETCH(int, boxes);
        QFETCH(bool, closable);
        int quitsHeard = 0;
        int boxesReturned = 0;
        QObject listening;
        connect(qApp, &QCoreApplication::aboutToQuit, &listening, [&] { ++quitsHeard; });

        std::function<void(int)> open = [&](int depth) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Grumblix"),
                            QStringLiteral("Box %1").arg(depth));
            if (closable) {
                box.addButton(QMessageBox::Ok);
            } else {
                box.addButton(QStringLiteral("This"), QMessageBox::AcceptRole);
                box.addButton(QStringLiteral("That"), QMessageBox::AcceptRole);
            }
            // Runs inside the box's own event loop.
            QTimer::singleShot(0, &box, [&, depth] {
                if (depth + 1 < boxes)
                    open(depth + 1);
                else
                    ::kill(::getpid(), signal);
            });
            box.exec();
            ++boxesReturned;
        };
        QTimer::singleShot(0, &listening, [&] {
            if (boxes > 0)
                open(0);
            else
                ::kill(::getpid(), signal);
        });
        // Only a signal that went unheeded waits this long.
        QTimer unheeded;
        unheeded.setSingleShot(true);
        connect(&unheeded, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        unheeded.start(20000);

        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(quitsHeard, 1);
        QCOMPARE(boxesReturned, boxes);
    }
};

QTEST_MAIN(QuitOnSignalTest)
#include "tst_quitonsignal.moc"

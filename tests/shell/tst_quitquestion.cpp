#include "shell/QuitQuestion.h"
#include "support/FullDisk.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using TestSupport::ModelFixture;

// A quit while changes wait to be saved asks first, as the quit would lose them.
class QuitQuestionTest : public QObject
{
    Q_OBJECT

    // Over a disk that can fill up: made before the store opens.
    std::unique_ptr<FullDisk> m_disk;
    std::unique_ptr<ModelFixture> m_fixture;
    std::unique_ptr<QuitQuestion> m_question;
    int m_quits = 0;

    AppModel &model() { return *m_fixture->model; }

    // Logs `count` incidents the full disk cannot take.
    void logUnsaved(int count)
    {
        m_disk->setFull(true);
        for (int i = 0; i < count; ++i)
            model().log(EventSource::menuBar, AppContext{});
        QCOMPARE(model().unsavedChanges(), count);
    }

    static QList<QMessageBox *> shownBoxes()
    {
        QList<QMessageBox *> boxes;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                boxes << box;
        }
        return boxes;
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }

    void init()
    {
        m_disk = std::make_unique<FullDisk>();
        m_fixture = std::make_unique<ModelFixture>();
        // No try of its own unless a test asks for one.
        model().setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
        m_quits = 0;
        m_question = std::make_unique<QuitQuestion>(model(), [this] { ++m_quits; });
    }

    void cleanup()
    {
        m_question.reset();
        m_fixture.reset();
        m_disk.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void nothingWaitingQuitsAtOnce_data()
    {
        QTest::addColumn<bool>("failedBefore");
        QTest::newRow("every save succeeded") << false;
        QTest::newRow("what failed is saved since") << true;
    }
    void nothingWaitingQuitsAtOnce()
    {
        QFETCH(bool, failedBefore);
        model().log(EventSource::menuBar, AppContext{});
        if (failedBefore) {
            logUnsaved(2);
            m_disk->setFull(false);
            QVERIFY(model().flushPendingChanges());
        }
        m_question->request();
        QCOMPARE(m_quits, 1);
        QVERIFY(!m_question->box());
        QVERIFY(shownBoxes().isEmpty());
    }

    void questionSaysWhatQuittingLoses_data()
    {
        QTest::addColumn<int>("incidents");
        QTest::addColumn<bool>("edit"); // a saved incident filed under a trigger as well
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quitText");
        QTest::newRow("one incident") << 1 << false << "Quit Grumblix and lose 1 incident?"
                                      << "Quit and lose it";
        QTest::newRow("three incidents") << 3 << false << "Quit Grumblix and lose 3 incidents?"
                                         << "Quit and lose them";
        QTest::newRow("an incident and an edit") << 1 << true << "Quit Grumblix and lose 2 changes?"
                                                 << "Quit and lose them";
    }
    void questionSaysWhatQuittingLoses()
    {
        QFETCH(int, incidents);
        QFETCH(bool, edit);
        QFETCH(QString, text);
        QFETCH(QString, quitText);
        const VorpEvent saved = model().log(EventSource::menuBar, AppContext{});
        logUnsaved(incidents);
        if (edit)
            model().setTrigger(QStringLiteral("email"), saved);

        m_question->request();
        QCOMPARE(m_quits, 0);
        QMessageBox *box = m_question->box();
        QVERIFY(box);
        QCOMPARE(shownBoxes(), QList<QMessageBox *>{box});
        QVERIFY(box->isModal());
        QCOMPARE(box->text(), text);
        // Why, and what becomes of them while Grumblix keeps running.
        QCOMPARE(box->informativeText(), model().unsavedNotice());
        QVERIFY(box->informativeText().contains(QLatin1String("the disk is full")));
        QCOMPARE(m_question->keepButton()->text(), QStringLiteral("Keep Grumblix running"));
        QCOMPARE(m_question->quitButton()->text(), quitText);
        QCOMPARE(box->defaultButton(), m_question->keepButton());
        QCOMPARE(box->escapeButton(), m_question->keepButton());
        QCOMPARE(box->focusWidget(), m_question->keepButton());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("quits");
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("Return") << "return" << false;
        QTest::newRow("the keep button") << "keep" << false;
        QTest::newRow("the window closed") << "close" << false;
        QTest::newRow("the quit button") << "quit" << true;
    }
    void answers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, quits);
        logUnsaved(2);
        m_question->request();
        QMessageBox *box = m_question->box();
        QVERIFY(box);
        if (answer == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (answer == QLatin1String("return"))
            QTest::keyClick(box->focusWidget(), Qt::Key_Return);
        else if (answer == QLatin1String("keep"))
            QTest::mouseClick(m_question->keepButton(), Qt::LeftButton);
        else if (answer == QLatin1String("close"))
            box->close();
        else
            QTest::mouseClick(m_question->quitButton(), Qt::LeftButton);
        QVERIFY(!m_question->box());
        QVERIFY(shownBoxes().isEmpty());
        QCOMPARE(m_quits, quits ? 1 : 0);
        // Kept running, the changes still wait; the next quit asks again.
        QCOMPARE(model().unsavedChanges(), 2);
        if (!quits) {
            m_question->request();
            QVERIFY(m_question->box());
            QCOMPARE(m_quits, 0);
        }
    }

    void askingAgainBringsTheOpenQuestionForward()
    {
        logUnsaved(1);
        m_question->request();
        QMessageBox *box = m_question->box();
        m_question->request();
        QCOMPARE(m_question->box(), box);
        QCOMPARE(shownBoxes(), QList<QMessageBox *>{box});
        QCOMPARE(m_quits, 0);
    }

    // The question counts what would be lost now, not when it was asked.
    void questionFollowsWhatWaits()
    {
        logUnsaved(1);
        m_question->request();
        QMessageBox *box = m_question->box();
        model().log(EventSource::url, AppContext{});
        QCOMPARE(m_question->box(), box);
        QCOMPARE(box->text(), QStringLiteral("Quit Grumblix and lose 2 incidents?"));
        QCOMPARE(box->informativeText(), model().unsavedNotice());
        QCOMPARE(m_question->quitButton()->text(), QStringLiteral("Quit and lose them"));
        QCOMPARE(m_quits, 0);
    }

    // A retry that succeeds while the question is open leaves nothing to lose: the quit asked for
    // goes ahead without an answer.
    void aRetryThatSavesEndsTheQuestionAndQuits()
    {
        model().setSaveRetryDelays(std::chrono::milliseconds(20), std::chrono::milliseconds(20));
        logUnsaved(2);
        m_question->request();
        QVERIFY(m_question->box());
        const QPointer<QMessageBox> box = m_question->box();
        m_disk->setFull(false);
        QTRY_COMPARE(m_quits, 1);
        QCOMPARE(model().unsavedChanges(), 0);
        QVERIFY(!m_question->box());
        QVERIFY(shownBoxes().isEmpty());
        // Gone for good, and without quitting a second time as it goes.
        QTRY_VERIFY(!box);
        QCOMPARE(m_quits, 1);
    }
};

QTEST_MAIN(QuitQuestionTest)
#include "tst_quitquestion.moc"

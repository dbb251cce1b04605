#include "features/history/EventDetailView.h"
#include "features/history/EventRow.h"
#include "features/history/HistoryList.h"
#include "features/history/HistoryView.h"
#include "features/history/IncidentText.h"
#include "features/history/NoteDocument.h"
#include "features/history/NoteEditor.h"
#include "models/Csv.h"
#include "models/Store.h"
#include "support/StoredRecords.h"
#include "support/ModelFixture.h"
#include "support/OddStore.h"
#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/DialogCard.h"
#include "ui/EmptyHint.h"
#include "ui/GXDropdown.h"
#include "ui/GXTextField.h"
#include "ui/IconButton.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/PageHeader.h"
#include "ui/StickyNote.h"
#include "ui/TriggerGrid.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtTest>
#include <sqlite3.h>

using namespace TestSupport;

// The history page offscreen over a real store: what it lists, the keyboard, the context menu,
// the incident editor and how the page follows the store.
class TestHistoryView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void emptyTextsAndEyebrow();
    void downTwiceDeleteReturnRemovesThatIncident();
    void deleteDialogGivesTheKeyboardBack_data();
    void deleteDialogGivesTheKeyboardBack();
    void keysTypedInTheSearchNeverMoveTheSelection();
    void searchTypedOnFollowsTheStore();
    void keysPassOnWithModifiersOverlaysAndWithoutSelection();
    void escapeClearsTheSelection();
    void contextMenuDeletesThatIncidentOnly();
    void logsAndDeletesShowUpAndTheSelectionHolds();
    void hiddenSelectionStaysInTheEditor();
    void keyboardStepScrollsTheRowIntoView();
    void pickingTheCurrentTriggerClearsIt();
    void noteCommitsOnceWithoutNewline();
    void noteTypedThenLeavingSavesIt();
    void failedNoteSaveStaysAndIsRetried();
    void noteRowFollowsEveryKey();
    void rowQuoteShowsTheWholeLineElided_data();
    void rowQuoteShowsTheWholeLineElided();
    void keysRepaintOnlyTheRowsTheyChange();
    void longNoteIsShownEditedAndSavedWhole_data();
    void longNoteIsShownEditedAndSavedWhole();
    void erasingAtACutRemovesTheCharacterBeyondIt();
    void trashButtonDeletesAndShowsTheStickyNote();
    void leavingThePageRemovesTheKeyMonitor();
    void walkingOddRowsWritesNothingAndExportsThemAsStored();
    void editingAnOddRowWritesTheNoteAlone();

private:
    void openPage();
    VorpEvent seed(int minutesAgo, std::optional<QString> trigger = std::nullopt,
                   std::optional<QString> app = std::nullopt, std::optional<QString> note = std::nullopt);
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QList<qint64> storedIds() const;

    std::unique_ptr<ModelFixture> m_fx;
    std::unique_ptr<QWidget> m_window;
    HistoryView *m_page = nullptr;
    OverlayCenter *m_overlay = nullptr;
};

void TestHistoryView::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestHistoryView::init()
{
    m_fx = std::make_unique<ModelFixture>();
}

void TestHistoryView::cleanup()
{
    m_window.reset();
    m_page = nullptr;
    m_fx.reset();
}

void TestHistoryView::openPage()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_page = new HistoryView(*m_fx->model);
    layout->addWidget(m_page);
    m_overlay = OverlayHost::install(m_window.get())->center();
    m_window->resize(1100, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    // Keys go to the window itself, not to the first control that took the focus.
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
}

VorpEvent TestHistoryView::seed(int minutesAgo, std::optional<QString> trigger, std::optional<QString> app,
                                std::optional<QString> note)
{
    VorpEvent e = VorpEvent::make(m_fx->now.addSecs(-60 * minutesAgo), app,
                                  app ? std::optional(app->toLower()) : std::nullopt, trigger, note,
                                  EventSource::menuBar);
    m_fx->model->store().insert(e);
    m_fx->model->store().save();
    return e;
}

void TestHistoryView::press(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get();
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

QList<qint64> TestHistoryView::storedIds() const
{
    QList<qint64> ids;
    for (const VorpEvent &e : m_fx->model->allEvents())
        ids << e.id;
    return ids;
}

void TestHistoryView::emptyTextsAndEyebrow()
{
    openPage();
    QCOMPARE(m_page->header()->eyebrow(), QStringLiteral("0 incidents on file"));
    QVERIFY(m_page->showsEmptyHint());
    QCOMPARE(m_page->emptyHint()->text(), QStringLiteral("Nothing yet.\nGo press the button."));
    QVERIFY(m_page->placeholderNote()->isVisible());

    seed(5, QStringLiteral("bug"), QStringLiteral("Slack"));
    QTRY_COMPARE(m_page->header()->eyebrow(), QStringLiteral("1 incidents on file"));
    QVERIFY(!m_page->showsEmptyHint());
    m_page->searchField()->lineEdit()->setText(QStringLiteral("zzz"));
    QVERIFY(m_page->showsEmptyHint());
    QCOMPARE(m_page->emptyHint()->text(), QStringLiteral("No matches."));
    QCOMPARE(m_page->header()->eyebrow(), QStringLiteral("1 incidents on file"));
}

void TestHistoryView::downTwiceDeleteReturnRemovesThatIncident()
{
    const VorpEvent a = seed(40), b = seed(30), c = seed(20), d = seed(10);
    openPage();
    QCOMPARE(m_page->list()->rowIds(), (QList<qint64>{d.id, c.id, b.id, a.id}));
    press(Qt::Key_Down); // no selection: the top row
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::optional(c.id));
    press(Qt::Key_Delete);
    QVERIFY(m_overlay->dialog());
    QCOMPARE(m_overlay->dialog()->title, QStringLiteral("Delete this incident?"));
    QCOMPARE(storedIds().size(), 4); // nothing before the confirmation
    press(Qt::Key_Return);
    QVERIFY(!m_overlay->dialog());
    QCOMPARE(storedIds(), (QList<qint64>{a.id, b.id, d.id}));
    QCOMPARE(m_page->selection(), std::nullopt);
    QTRY_COMPARE(m_page->list()->rowIds(), (QList<qint64>{d.id, b.id, a.id}));
    // Reopening the store finds the deletion saved.
    QVERIFY(!m_fx->model->store().hasPendingChanges());
}

void TestHistoryView::deleteDialogGivesTheKeyboardBack_data()
{
    QTest::addColumn<bool>("dropdownFocused");
    QTest::addColumn<Qt::FocusReason>("reason");
    QTest::addColumn<bool>("ring");
    QTest::newRow("nothing focused") << false << Qt::OtherFocusReason << false;
    QTest::newRow("drop-down given the keyboard by the window")
        << true << Qt::ActiveWindowFocusReason << false;
    QTest::newRow("drop-down clicked") << true << Qt::MouseFocusReason << false;
    QTest::newRow("drop-down reached by Tab") << true << Qt::TabFocusReason << true;
}

// Down, Delete, Return: once the dialog is gone the keyboard is where it was before, and the
// filter drop-down wears its ring only if Tab had brought the keyboard to it.
void TestHistoryView::deleteDialogGivesTheKeyboardBack()
{
    QFETCH(bool, dropdownFocused);
    QFETCH(Qt::FocusReason, reason);
    QFETCH(bool, ring);
    seed(20);
    const VorpEvent top = seed(10);
    openPage();
    GXDropdown *dropdown = m_page->filterDropdown();
    if (dropdownFocused)
        dropdown->setFocus(reason);
    QWidget *before = QApplication::focusWidget();
    QCOMPARE(before, dropdownFocused ? static_cast<QWidget *>(dropdown) : nullptr);
    QCOMPARE(dropdown->showsFocusRing(), ring);

    press(Qt::Key_Down);
    press(Qt::Key_Delete);
    QVERIFY(m_overlay->dialog());
    QVERIFY(!dropdown->showsFocusRing());
    press(Qt::Key_Return);
    QVERIFY(!m_overlay->dialog());
    QVERIFY(!storedIds().contains(top.id));
    QTRY_VERIFY(!m_overlay->host()->isVisible());
    QCOMPARE(QApplication::focusWidget(), before);
    QCOMPARE(dropdown->showsFocusRing(), ring);
}

void TestHistoryView::keysTypedInTheSearchNeverMoveTheSelection()
{
    const VorpEvent a = seed(20, std::nullopt, QStringLiteral("Slack")),
                    b = seed(10, std::nullopt, QStringLiteral("Zoom"));
    openPage();
    m_page->clickRow(a.id);
    LineEditor *field = m_page->searchField()->lineEdit();
    field->setFocus();
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("ca")); // both incidents stay listed
    for (const int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Backspace, Qt::Key_Delete})
        press(key);
    QCOMPARE(m_page->selection(), std::optional(a.id));
    QVERIFY(!m_overlay->dialog());
    QCOMPARE(field->text(), QStringLiteral("c")); // the backspace edited the text
    // A click on a row ends the editing; the keys move the selection again.
    m_page->clickRow(a.id);
    QVERIFY(!field->hasFocus());
    press(Qt::Key_Up);
    QCOMPARE(m_page->selection(), std::optional(b.id));
    QCOMPARE(m_page->search(), QStringLiteral("c"));
}

void TestHistoryView::searchTypedOnFollowsTheStore()
{
    const VorpEvent slack = seed(30, std::nullopt, QStringLiteral("Slack"));
    seed(20, std::nullopt, QStringLiteral("Zoom"));
    openPage();
    LineEditor *field = m_page->searchField()->lineEdit();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("sl"));
    QCOMPARE(m_page->list()->rowIds(), QList<qint64>{slack.id});
    // Logged and renamed while the search stands: typing on tests the store as it is now.
    const VorpEvent logged = m_fx->model->log(EventSource::shortcut, AppContext{QStringLiteral("Slack"), {}});
    QTRY_COMPARE(m_page->list()->rowIds(), (QList<qint64>{logged.id, slack.id}));
    VorpEvent renamed = slack;
    renamed.appName = QStringLiteral("Teams");
    m_fx->model->store().update(renamed);
    QTest::keyClicks(field, QStringLiteral("a"));
    QTRY_COMPARE(m_page->list()->rowIds(), QList<qint64>{logged.id});
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(m_page->list()->rowIds().size(), 3);
    QTest::keyClicks(field, QStringLiteral("tea"));
    QCOMPARE(m_page->list()->rowIds(), QList<qint64>{slack.id});
}

void TestHistoryView::keysPassOnWithModifiersOverlaysAndWithoutSelection()
{
    const VorpEvent a = seed(20), b = seed(10);
    openPage();
    press(Qt::Key_Down, Qt::ControlModifier);
    press(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(m_page->selection(), std::nullopt);
    press(Qt::Key_Delete);
    QVERIFY(!m_overlay->dialog());
    press(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(m_page->selection(), std::optional(b.id));
    press(Qt::Key_Backspace, Qt::ControlModifier);
    QVERIFY(!m_overlay->dialog());

    // An open drop-down menu takes the arrows itself.
    QVERIFY(m_page->filterDropdown()->openMenu());
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::optional(b.id));
    press(Qt::Key_Escape); // reaches the overlay
    QTRY_VERIFY(!m_overlay->popup());
    QCOMPARE(m_page->selection(), std::optional(b.id));
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::optional(a.id));
}

void TestHistoryView::escapeClearsTheSelection()
{
    const VorpEvent a = seed(10);
    openPage();
    m_page->clickRow(a.id);
    QVERIFY(m_page->detail());
    press(Qt::Key_Escape);
    QCOMPARE(m_page->selection(), std::nullopt);
    QVERIFY(!m_page->detail());
    QVERIFY(m_page->placeholderNote()->isVisible());
}

void TestHistoryView::contextMenuDeletesThatIncidentOnly()
{
    const VorpEvent a = seed(20), b = seed(10);
    openPage();
    m_page->clickRow(b.id);
    const QRect row = m_page->list()->rowRect(a.id);
    QVERIFY(!row.isEmpty());
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, row.center(),
                                m_page->list()->viewport()->mapToGlobal(row.center()));
    QApplication::sendEvent(m_page->list()->viewport(), &menuEvent);
    QVERIFY(m_overlay->popup());
    auto *item = m_overlay->popup()->content->findChild<MenuRow *>();
    QVERIFY(item);
    QCOMPARE(item->label(), QStringLiteral("Delete incident"));
    item->click();
    QVERIFY(!m_overlay->popup()); // the request closes the menu first
    QVERIFY(m_overlay->dialog());
    m_overlay->host()->findChild<DialogCard *>()->confirmButton()->click();
    QCOMPARE(storedIds(), QList<qint64>{b.id});
    QCOMPARE(m_page->selection(), std::optional(b.id));
}

void TestHistoryView::logsAndDeletesShowUpAndTheSelectionHolds()
{
    const VorpEvent a = seed(20), b = seed(10);
    openPage();
    m_page->clickRow(a.id);
    EventDetailView *editor = m_page->detail();
    const VorpEvent logged = m_fx->model->log(EventSource::shortcut, AppContext{});
    QTRY_COMPARE(m_page->list()->rowIds(), (QList<qint64>{logged.id, b.id, a.id}));
    QCOMPARE(m_page->header()->eyebrow(), QStringLiteral("3 incidents on file"));
    QCOMPARE(m_page->selection(), std::optional(a.id));
    QCOMPARE(m_page->detail(), editor); // the same editor, not a fresh one
    QCOMPARE(m_page->grouped().first().events.size(), 3);

    m_fx->model->deleteEvent(a);
    QTRY_COMPARE(m_page->list()->rowIds(), (QList<qint64>{logged.id, b.id}));
    // The selection names a gone incident: it matches nothing, the sticky note shows.
    QCOMPARE(m_page->selection(), std::optional(a.id));
    QVERIFY(!m_page->detail());
    press(Qt::Key_Delete);
    QVERIFY(!m_overlay->dialog());
}

void TestHistoryView::hiddenSelectionStaysInTheEditor()
{
    const VorpEvent a = seed(30, QStringLiteral("bug")), b = seed(20, QStringLiteral("email")),
                    c = seed(10, QStringLiteral("email"));
    openPage();
    m_page->clickRow(a.id);
    m_page->setFilter(QStringLiteral("email"));
    QCOMPARE(m_page->list()->rowIds(), (QList<qint64>{c.id, b.id}));
    QVERIFY(m_page->detail());
    QCOMPARE(m_page->detail()->eventId(), a.id);
    QCOMPARE(m_page->grouped().first().events.size(), 2); // the header counts what it shows
    press(Qt::Key_Up);                                    // from a hidden selection: the top row
    QCOMPARE(m_page->selection(), std::optional(c.id));
    m_page->clickRow(a.id);
    press(Qt::Key_Backspace); // the hidden selected incident can still be deleted
    QVERIFY(m_overlay->dialog());
    press(Qt::Key_Escape);
    QTRY_VERIFY(!m_overlay->dialog());
    QCOMPARE(storedIds().size(), 3);
}

void TestHistoryView::keyboardStepScrollsTheRowIntoView()
{
    for (int i = 0; i < 60; ++i)
        seed(600 - i * 5);
    openPage();
    HistoryList *list = m_page->list();
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    for (int i = 0; i < 30; ++i)
        press(Qt::Key_Down);
    const qint64 chosen = *m_page->selection();
    QTRY_VERIFY(!list->isScrolling());
    const QRect row = list->rowRect(chosen);
    QVERIFY(list->verticalScrollBar()->value() > 0);
    QVERIFY2(row.bottom() <= list->viewport()->height() && row.top() >= 0, "the row shows whole");
    // A click selects without scrolling.
    const int scrolled = list->verticalScrollBar()->value();
    const QList<qint64> ids = list->rowIds();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->rowRect(ids.at(ids.indexOf(chosen) - 2)).center());
    QCOMPARE(m_page->selection(), std::optional(ids.at(ids.indexOf(chosen) - 2)));
    QCOMPARE(list->verticalScrollBar()->value(), scrolled);
}

void TestHistoryView::pickingTheCurrentTriggerClearsIt()
{
    const VorpEvent a = seed(10, QStringLiteral("bug"));
    openPage();
    m_page->clickRow(a.id);
    TriggerGrid *grid = m_page->detail()->grid();
    QCOMPARE(grid->selected(), std::optional(QStringLiteral("bug")));
    const auto tileOf = [grid](const QString &key) -> TriggerTile * {
        for (TriggerTile *tile : grid->tiles())
            if (tile->trigger().key == key)
                return tile;
        return nullptr;
    };
    tileOf(QStringLiteral("bug"))->click();
    QCOMPARE(m_fx->model->store().event(a.id)->triggerKey, std::nullopt);
    QTRY_COMPARE(grid->selected(), std::nullopt);
    tileOf(QStringLiteral("email"))->click();
    QCOMPARE(m_fx->model->store().event(a.id)->triggerKey, std::optional(QStringLiteral("email")));
    QTRY_COMPARE(grid->selected(), std::optional(QStringLiteral("email")));
}

void TestHistoryView::noteCommitsOnceWithoutNewline()
{
    const VorpEvent a = seed(10);
    openPage();
    m_page->clickRow(a.id);
    NoteEditor *note = m_page->detail()->noteEditor();
    QCOMPARE(note->hint(), QStringLiteral("click to write"));
    QTest::mouseClick(note, Qt::LeftButton, {}, QPoint(note->width() - 20, note->height() - 20));
    QVERIFY(note->field()->hasFocus());
    QCOMPARE(note->hint(), QStringLiteral("\u21A9 to save"));
    QSignalSpy commits(note, &NoteEditor::committed);
    QSignalSpy changes(&m_fx->model->store(), &Store::changed);
    QTest::keyClicks(note->field(), QStringLiteral("hi"));
    // Each key writes the record in memory; nothing reaches the file while typing.
    QCOMPARE(changes.size(), 2);
    QCOMPARE(m_fx->model->store().event(a.id)->note, std::optional(QStringLiteral("hi")));
    QCOMPARE(StoredRecords::event(m_fx->model->store().path(), a.id)->note, std::nullopt);
    QTest::keyClick(note->field(), Qt::Key_Return);
    QCOMPARE(commits.size(), 1);
    QCOMPARE(m_fx->model->store().event(a.id)->note, std::optional(QStringLiteral("hi")));
    QVERIFY(!m_fx->model->store().hasPendingChanges());
    QCOMPARE(note->text(), QStringLiteral("hi"));
    // Clicking elsewhere afterwards commits nothing more.
    m_page->clickRow(a.id);
    QCOMPARE(commits.size(), 1);
    QCOMPARE(changes.size(), 2);

    // Cleared to nothing: stored as no note.
    QTest::mouseClick(note, Qt::LeftButton);
    note->field()->selectAll();
    QTest::keyClick(note->field(), Qt::Key_Backspace);
    QTest::keyClick(note->field(), Qt::Key_Enter);
    QCOMPARE(m_fx->model->store().event(a.id)->note, std::nullopt);
}

void TestHistoryView::noteTypedThenLeavingSavesIt()
{
    const VorpEvent a = seed(20), b = seed(10);
    openPage();
    m_page->clickRow(a.id);
    NoteEditor *note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    QTest::keyClicks(note->field(), QStringLiteral("  "));
    // Choosing another incident removes the editor and saves the note as typed (blanks stay).
    press(Qt::Key_Escape); // typing: Escape is the field's, not the page's
    QCOMPARE(m_page->selection(), std::optional(a.id));
    m_page->clickRow(b.id);
    QCOMPARE(m_fx->model->store().event(a.id)->note, std::optional(QStringLiteral("  ")));
    QVERIFY(!m_fx->model->store().hasPendingChanges());
    QCOMPARE(m_page->detail()->eventId(), b.id);

    // Closing the page with a note being typed saves it too.
    QTest::mouseClick(m_page->detail()->noteEditor(), Qt::LeftButton);
    QTest::keyClicks(m_page->detail()->noteEditor()->field(), QStringLiteral("bye"));
    m_window.reset();
    QCOMPARE(m_fx->model->store().event(b.id)->note, std::optional(QStringLiteral("bye")));
}

void TestHistoryView::failedNoteSaveStaysAndIsRetried()
{
    const VorpEvent a = seed(10);
    openPage();
    m_page->clickRow(a.id);
    Store &store = m_fx->model->store();
    store.setBusyTimeout(10);
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(store.path().toUtf8(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    NoteEditor *note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    QTest::keyClicks(note->field(), QStringLiteral("kept"));
    QTest::keyClick(note->field(), Qt::Key_Return);
    // The save failed: the edit stays in the record, the field and the list.
    QVERIFY(store.hasPendingChanges());
    QCOMPARE(store.event(a.id)->note, std::optional(QStringLiteral("kept")));
    QTRY_COMPARE(m_page->detail()->noteEditor()->text(), QStringLiteral("kept"));

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // The next commit retries it.
    QTest::mouseClick(note, Qt::LeftButton);
    QTest::keyClick(note->field(), Qt::Key_Return);
    QVERIFY(!store.hasPendingChanges());
    QCOMPARE(StoredRecords::event(store.path(), a.id)->note, std::optional(QStringLiteral("kept")));
}

void TestHistoryView::noteRowFollowsEveryKey()
{
    const VorpEvent a = seed(10);
    openPage();
    m_page->clickRow(a.id);
    const int plain = m_page->list()->rowRect(a.id).height();
    NoteEditor *note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    QTest::keyClick(note->field(), Qt::Key_H);
    // Before editing ends: the page's copy of the record (what its rows draw) has the note and the
    // row grew its quote line; the file has nothing yet.
    QTRY_COMPARE(m_page->selected()->note, std::optional(QStringLiteral("h")));
    QTRY_VERIFY(m_page->list()->rowRect(a.id).height() > plain);
    QTest::keyClick(note->field(), Qt::Key_I);
    QTRY_COMPARE(m_page->selected()->note, std::optional(QStringLiteral("hi")));
    QVERIFY(m_fx->model->store().hasPendingChanges());
    QCOMPARE(StoredRecords::event(m_fx->model->store().path(), a.id)->note, std::nullopt);
    // Typed away again: the quote line goes with the last character.
    QTest::keyClick(note->field(), Qt::Key_Backspace);
    QTest::keyClick(note->field(), Qt::Key_Backspace);
    QTRY_COMPARE(m_page->list()->rowRect(a.id).height(), plain);
    QCOMPARE(m_page->selected()->note, std::nullopt);
    QTest::keyClick(note->field(), Qt::Key_A);
    QTest::keyClick(note->field(), Qt::Key_Return);
    QCOMPARE(StoredRecords::event(m_fx->model->store().path(), a.id)->note, std::optional(QStringLiteral("a")));
}

void TestHistoryView::rowQuoteShowsTheWholeLineElided_data()
{
    QTest::addColumn<QString>("note");
    const auto repeated = [](const QString &piece, int times) { return piece.repeated(times); };
    QTest::newRow("short") << QStringLiteral("build broke");
    QTest::newRow("words") << repeated(QStringLiteral("the vorping simulator crashed again "), 20);
    QTest::newRow("one long word") << QString(600, u'w');
    QTest::newRow("narrow and wide letters") << repeated(QStringLiteral("iiiiiiiiWWWW"), 50);
    QTest::newRow("combining runs") << repeated(QStringLiteral("e\u0301\u0323a\u0300 "), 120);
    QTest::newRow("a mark run longer than the margin")
        << QStringLiteral("x") + QString(40, QChar(0x0301)) + repeated(QStringLiteral("a\u0301"), 200);
    QTest::newRow("colour emoji") << repeated(QStringLiteral("\U0001F921\U0001F4A2\U0001F9E8\U0001F643"), 10);
    QTest::newRow("32,756 colour emoji")
        << repeated(QStringLiteral("\U0001F921\U0001F4A2\U0001F9E8\U0001F643"), 8189);
    QTest::newRow("ZWJ sequences and skin tones") << repeated(
        QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\U0001F44D\U0001F3FD\U0001F1E9\U0001F1EA"),
        40);
    QTest::newRow("right to left") << repeated(
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD "), 60);
    QTest::newRow("joined Arabic") << repeated(
        QStringLiteral("\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064A\u0643\u0645 "), 40);
    QTest::newRow("emoji between right-to-left words") << QStringLiteral("abc \u05E9\u05DC\u05D5\u05DD ") +
                                                              repeated(QStringLiteral("\U0001F921 "), 150) +
                                                              QStringLiteral("\u05E2\u05D5\u05DC\u05DD");
    QTest::newRow("first strong letter far in")
        << repeated(QStringLiteral("\U0001F921 12 "), 80) + QStringLiteral("\u05E9\u05DC\u05D5\u05DD");
    QTest::newRow("direction marks past the cut")
        << repeated(QStringLiteral("abc "), 30) + QStringLiteral("\u202Bdef\u202C \u2067ghi\u2069 ") +
               repeated(QStringLiteral("xyz\u200F "), 60) + QStringLiteral("\u202E");
    QTest::newRow("brackets mirrored") << repeated(QStringLiteral("(\u05D0) [b] "), 80);
    QTest::newRow("line breaks") << repeated(QStringLiteral("line\nnext\r\n"), 60);
    QTest::newRow("variants separator") << repeated(QStringLiteral("one\u009Ctwo "), 60);
}

void TestHistoryView::rowQuoteShowsTheWholeLineElided()
{
    QFETCH(QString, note);
    const QString line = *IncidentText::shownNoteLine(note);
    const QFontMetricsF metrics(EventRow::noteFont());
    for (const qreal width : {0.0, 6.0, 31.5, 90.0, 184.0, 232.25, 300.0, 640.0}) {
        const QString old = metrics.elidedText(line, Qt::ElideRight, width);
        QCOMPARE(EventRow::fittedNoteLine(line, width), old);
        // Drawn from its kept layout, the quote paints as drawing the elided text did, with a
        // window's painter (left to right) and with an image's (the text's own direction).
        const NoteQuote quote(line, width);
        QCOMPARE(quote.text(), old);
        for (const auto direction : {Qt::LeftToRight, Qt::LayoutDirectionAuto})
            for (const qreal dpr : {1.0, 2.0}) {
                const auto render = [&](const auto &draw) {
                    QImage image((QSizeF(width + 20, 30) * dpr).toSize(),
                                 QImage::Format_ARGB32_Premultiplied);
                    image.setDevicePixelRatio(dpr);
                    image.fill(Qt::white);
                    QPainter p(&image);
                    p.setLayoutDirection(direction);
                    p.setFont(EventRow::noteFont());
                    p.setPen(QColor(0x6b, 0x5e, 0x52));
                    // A row's text column starts on a whole pixel; rows lie at any fraction below.
                    draw(p, QRectF(4, 7.3, width, metrics.height()));
                    return image;
                };
                QCOMPARE(render([&](QPainter &p, const QRectF &r) { quote.draw(p, r); }),
                         render([&](QPainter &p, const QRectF &r) {
                             p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, old);
                         }));
            }
    }
}

void TestHistoryView::keysRepaintOnlyTheRowsTheyChange()
{
    const QString emoji = QStringLiteral("\U0001F921\U0001F4A2\U0001F9E8").repeated(20);
    seed(60, std::nullopt, QStringLiteral("Slack"), emoji);
    seed(50, std::nullopt, QStringLiteral("Slack"), emoji);
    const VorpEvent b = seed(40, std::nullopt, QStringLiteral("Slack"), QStringLiteral("build"));
    const VorpEvent a = seed(30, std::nullopt, QStringLiteral("Slack"), QStringLiteral("standup"));
    openPage();
    m_page->clickRow(a.id);
    HistoryList *list = m_page->list();
    struct PaintSpy : QObject
    {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } spy;
    list->viewport()->installEventFilter(&spy);
    const auto settle = [&] {
        QTest::qWait(30);
        const QRegion painted = spy.painted;
        spy.painted = QRegion();
        return painted;
    };
    settle();

    // A key typed into the note: its row, and only its row, is painted again.
    NoteEditor *note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    settle();
    QTest::keyClick(note->field(), Qt::Key_S);
    QTRY_COMPARE(m_page->selected()->note, std::optional(QStringLiteral("standups")));
    QRegion painted = settle();
    QVERIFY(painted.contains(list->rowRect(a.id).center()));
    QCOMPARE(painted.boundingRect() & list->rowRect(a.id), painted.boundingRect());

    // A step down: the two rows whose selection changed.
    m_page->clickRow(a.id);
    settle();
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::optional(b.id));
    painted = settle();
    QVERIFY(painted.contains(list->rowRect(a.id).center()) && painted.contains(list->rowRect(b.id).center()));
    QCOMPARE(QRegion(list->rowRect(a.id)) + list->rowRect(b.id) + painted,
             QRegion(list->rowRect(a.id)) + list->rowRect(b.id));

    // A new incident moves every row: all of them are painted.
    m_fx->model->log(EventSource::shortcut, AppContext{});
    QTRY_COMPARE(list->rowIds().size(), 5);
    painted = settle();
    QVERIFY(painted.contains(list->viewport()->rect()));
}

void TestHistoryView::longNoteIsShownEditedAndSavedWhole_data()
{
    QTest::addColumn<QString>("stored");
    const QString words = QStringLiteral("the build again ").repeated(62'500);
    QTest::newRow("a megabyte of words") << words;
    QTest::newRow("a megabyte without a blank") << QString(1'000'000, u'x');
    QTest::newRow("long lines, odd separators")
        << QString(5000, u'y') + QStringLiteral("\r\n") + QString(7000, u'\u00A0') + QStringLiteral("\r") +
               QString(3000, u'z') + QChar(QChar::ParagraphSeparator) + QStringLiteral("\n\U0001F921") +
               QString(4095, u'q') + QStringLiteral("\U0001F921end");
}

void TestHistoryView::longNoteIsShownEditedAndSavedWhole()
{
    QFETCH(QString, stored);
    const VorpEvent a = seed(10, std::nullopt, std::nullopt, stored);
    const VorpEvent b = seed(5);
    openPage();
    Store &store = m_fx->model->store();
    QSignalSpy changes(&store, &Store::changed);

    // Shown, then left without an edit: the field holds the note exactly and nothing is written.
    m_page->clickRow(a.id);
    NoteEditor *note = m_page->detail()->noteEditor();
    QCOMPARE(note->text(), stored);
    QTest::mouseClick(note, Qt::LeftButton);
    note->field()->selectAll();
    note->field()->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), stored);
    m_page->clickRow(b.id);
    QCOMPARE(changes.size(), 0);

    // Typed at the end, then the whole note pasted once more behind it.
    m_page->clickRow(a.id);
    note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    QTest::keyClicks(note->field(), QStringLiteral("!!"));
    QTRY_COMPARE(m_page->selected()->note->size(), stored.size() + 2);
    note->field()->paste();
    QCOMPARE(note->text(), stored + QStringLiteral("!!") + stored);
    // Undo takes the paste back as one step, separators as they were.
    note->field()->undo();
    QCOMPARE(note->text(), stored + QStringLiteral("!!"));
    QTest::keyClick(note->field(), Qt::Key_Backspace);
    QTest::keyClick(note->field(), Qt::Key_Return);
    QVERIFY(!store.hasPendingChanges());
    QCOMPARE(StoredRecords::event(store.path(), a.id)->note, std::optional(stored + QStringLiteral("!")));
    // The row's quote is read from the start of the note only.
    const std::optional<QString> quote = IncidentText::shownNoteLine(stored);
    QVERIFY(quote && quote->size() <= 514);
    QVERIFY(!quote->contains(QLatin1Char('\n')) && !quote->contains(QLatin1Char('\r')));
}

void TestHistoryView::erasingAtACutRemovesTheCharacterBeyondIt()
{
    const QString stored = QString(3000, u'a') + QString(3000, u'b');
    NoteEditor editor(stored);
    editor.resize(400, 200);
    editor.show();
    QTextBlock cut = editor.field()->document()->begin().next();
    QVERIFY(NoteDocument::startsSoft(cut));
    // Where the cut stands in the note: after the first block's text.
    const qsizetype offset = editor.field()->document()->begin().text().size();
    QVERIFY(offset > 0 && offset < stored.size());
    editor.field()->setFocus();

    // Backspace at the start of the block after the cut removes the character before the cut.
    QTextCursor cursor(cut);
    editor.field()->setTextCursor(cursor);
    QTest::keyClick(editor.field(), Qt::Key_Backspace);
    QString expected = stored;
    expected.remove(offset - 1, 1);
    QCOMPARE(editor.text(), expected);
    // Delete at the end of the block before the cut removes the character after it.
    cut = editor.field()->document()->begin().next();
    QVERIFY(NoteDocument::startsSoft(cut));
    cursor = QTextCursor(cut.previous());
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor.field()->setTextCursor(cursor);
    QTest::keyClick(editor.field(), Qt::Key_Delete);
    expected.remove(offset - 1, 1);
    QCOMPARE(editor.text(), expected);
}

void TestHistoryView::trashButtonDeletesAndShowsTheStickyNote()
{
    const VorpEvent a = seed(10, std::nullopt, QStringLiteral("Slack"));
    openPage();
    m_page->clickRow(a.id);
    EventDetailView *editor = m_page->detail();
    QCOMPARE(editor->appText(), QStringLiteral("Slack"));
    QCOMPARE(editor->sourceText(), QStringLiteral("Tray"));
    editor->deleteButton()->click();
    QVERIFY(m_overlay->dialog());
    QCOMPARE(m_overlay->dialog()->message, QStringLiteral("It happened. But fine, we'll pretend it didn't."));
    QCOMPARE(m_overlay->dialog()->confirm, QStringLiteral("Delete"));
    QVERIFY(m_overlay->dialog()->destructive);
    press(Qt::Key_Return);
    QVERIFY(storedIds().isEmpty());
    QCOMPARE(m_page->selection(), std::nullopt);
    QTRY_VERIFY(m_page->showsEmptyHint());
    QVERIFY(!m_page->detail());
}

void TestHistoryView::leavingThePageRemovesTheKeyMonitor()
{
    const VorpEvent a = seed(10);
    openPage();
    QVERIFY(m_page->hasKeyMonitor());
    m_page->hide();
    QVERIFY(!m_page->hasKeyMonitor());
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::nullopt);
    m_page->show();
    press(Qt::Key_Down);
    QCOMPARE(m_page->selection(), std::optional(a.id));
}

void TestHistoryView::walkingOddRowsWritesNothingAndExportsThemAsStored()
{
    m_fx.reset();
    m_fx =
        std::make_unique<ModelFixture>([](const QString &path) { OddStore::create(path, OddStore::rows()); });
    const QString path = m_fx->model->store().path();
    const QByteArray stored = OddStore::dump(path);
    QCOMPARE(stored.count('\n'), OddStore::rows().size());
    openPage();
    QCOMPARE(m_page->list()->rowIds().size(), OddStore::rows().size());

    // Down over every row and back up; at each, the note is entered and left without typing.
    QSet<qint64> visited;
    for (int step = 0; step < 2 * OddStore::rows().size(); ++step) {
        press(step < OddStore::rows().size() ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(m_page->detail());
        visited.insert(m_page->detail()->eventId());
        NoteEditor *note = m_page->detail()->noteEditor();
        QTest::mouseClick(note, Qt::LeftButton);
        QVERIFY(note->isEditing());
        note->field()->clearFocus();
        QVERIFY(!note->isEditing());
        if (QWidget *focus = QApplication::focusWidget())
            focus->clearFocus();
    }
    QCOMPARE(visited.size(), OddStore::rows().size());
    press(Qt::Key_Escape);
    m_window.reset();
    QVERIFY(!m_fx->model->store().hasPendingChanges());
    QCOMPARE(OddStore::dump(path), stored);

    // The export gives back what is stored.
    const QString csv = m_fx->dir.filePath(QStringLiteral("export.csv"));
    QVERIFY(Csv::write(csv, m_fx->model->allEvents(), m_fx->model->allTriggers()));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), OddStore::csvDocument(OddStore::rows()));
}

void TestHistoryView::editingAnOddRowWritesTheNoteAlone()
{
    // Every odd column in one row, then a note typed into it.
    const OddStore::Row odd{"odd", "'not-a-uuid', 9e999, NULL, NULL, 'gone', X'FF00FE', 'Menubar '",
                            "not-a-uuid,Inf,\"\",\"\",\"Deleted trigger\",\"typed\",Menubar ", 0};
    m_fx.reset();
    m_fx = std::make_unique<ModelFixture>([&](const QString &path) { OddStore::create(path, {odd}); });
    const QString path = m_fx->model->store().path();
    QByteArray expected = OddStore::dump(path);
    expected.replace("blob ff00fe", "text " + QByteArray("typed").toHex());
    openPage();
    press(Qt::Key_Down);
    QVERIFY(m_page->detail());
    QCOMPARE(m_page->detail()->sourceText(), IncidentText::source(QStringLiteral("menuBar")).label);
    NoteEditor *note = m_page->detail()->noteEditor();
    QTest::mouseClick(note, Qt::LeftButton);
    note->field()->selectAll();
    QTest::keyClicks(note->field(), QStringLiteral("typed"));
    note->field()->clearFocus();
    QCOMPARE(OddStore::dump(path), expected);
    m_window.reset();
    QCOMPARE(OddStore::dump(path), expected);
    QCOMPARE(Csv::document(m_fx->model->allEvents(), m_fx->model->allTriggers()),
             OddStore::csvDocument({odd}));
}

QTEST_MAIN(TestHistoryView)
#include "tst_historyview.moc"

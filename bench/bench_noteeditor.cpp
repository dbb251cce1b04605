// A one-megabyte note in the history page's editor over 100,000 incidents: showing it (selecting
// its incident up to the painted frame), one keystroke in it (the record in memory and the row
// follow, the page refreshes and paints), one at a soft cut of its long line, a word deleted
// across half a megabyte of cuts, a paste of the whole megabyte, and saving it when editing ends.
// Each is the main thread's whole time for that action; the raw SQLite insert + commit floor is
// printed beside it.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/history/EventDetailView.h"
#include "features/history/HistoryView.h"
#include "features/history/NoteDocument.h"
#include "features/history/NoteEditor.h"
#include "models/Store.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kNoteSize = 1'000'000;

// Words and one long run without blanks, as a pasted log or a base64 blob would be.
QString longNote()
{
    QString note;
    note.reserve(kNoteSize);
    const QString words = QStringLiteral("the vorping simulator crashed again and took the build with it ");
    while (note.size() < kNoteSize / 2)
        note += words;
    note += QString(kNoteSize - note.size(), u'x');
    return note;
}

struct Fixture : LargeModel
{
    QString note = longNote();
    qint64 noted = 0; // the newest incident, which carries the note
    qint64 other = 0;
    std::unique_ptr<QWidget> window;
    HistoryView *page = nullptr;

    Fixture() : LargeModel(true)
    {
        Store &store = model->store();
        const EventSnapshot events = store.events();
        VorpEvent newest = events.at(events.size() - 1);
        newest.note = note;
        store.update(newest);
        store.save();
        noted = newest.id;
        other = events.at(events.size() - 2).id;
        window = std::make_unique<QWidget>();
        window->resize(1066, 700);
        page = new HistoryView(*model, window.get());
        page->setGeometry(window->rect());
        window->show();
        settleEvents();
    }

    QPlainTextEdit *field() const { return page->detail()->noteEditor()->field(); }

    void select(qint64 id)
    {
        page->clickRow(id);
        settleEvents();
    }

    void focusNote()
    {
        field()->setFocus(Qt::MouseFocusReason);
        settleEvents();
    }

    // The note's incident selected and its editor focused.
    void editNote()
    {
        select(noted);
        focusNote();
    }

    // Editing ends, which saves the note.
    void stopEditing()
    {
        field()->clearFocus();
        settleEvents();
    }

    void key(int key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(field(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(field(), &release);
    }

    // The caret at the start of a block after a soft cut, halfway through the run without blanks.
    void caretAfterACut()
    {
        const QTextDocument &document = *field()->document();
        QTextBlock block = document.findBlock(document.characterCount() * 3 / 4);
        while (block.isValid() && !NoteDocument::startsSoft(block))
            block = block.next();
        QTextCursor cursor(block);
        field()->setTextCursor(cursor);
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// Selecting the incident: the editor is built around the note, laid out and painted.
void BM_NoteEditorShowMegabyteNote(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.select(f.other);
        state.ResumeTiming();
        f.select(f.noted);
    }
    if (f.page->detail()->noteEditor()->text().size() != f.note.size())
        state.SkipWithError("the editor does not hold the whole note");
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorShowMegabyteNote)->Unit(benchmark::kMillisecond);

// One key typed into the note, alternately a letter and Backspace: the record in memory, the
// page's refresh over every incident and the painted frame.
void BM_NoteEditorKeystroke(benchmark::State &state)
{
    Fixture &f = fixture();
    f.editNote();
    f.field()->moveCursor(QTextCursor::End);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            f.key(Qt::Key_Backspace, QString());
        else
            f.key(Qt::Key_A, QStringLiteral("a"));
        typed = !typed;
        settleEvents();
    }
    if (typed)
        f.key(Qt::Key_Backspace, QString());
    f.stopEditing();
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorKeystroke)->Unit(benchmark::kMillisecond);

// The same at a soft cut: Backspace there takes the character before the cut, then it is typed
// back at the start of the block after it.
void BM_NoteEditorKeystrokeAtACut(benchmark::State &state)
{
    Fixture &f = fixture();
    f.editNote();
    f.caretAfterACut();
    bool erased = false;
    for (auto _ : state) {
        if (erased)
            f.key(Qt::Key_X, QStringLiteral("x"));
        else
            f.key(Qt::Key_Backspace, QString());
        erased = !erased;
        settleEvents();
    }
    if (erased)
        f.key(Qt::Key_X, QStringLiteral("x"));
    if (f.page->detail()->noteEditor()->text() != f.note)
        state.SkipWithError("the note changed");
    f.stopEditing();
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorKeystrokeAtACut)->Unit(benchmark::kMillisecond);

// Ctrl+Backspace at the note's end takes the whole half megabyte without a blank, read across
// every cut in it; undone between iterations, untimed.
void BM_NoteEditorDeleteWordAcrossCuts(benchmark::State &state)
{
    Fixture &f = fixture();
    f.editNote();
    f.field()->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        f.key(Qt::Key_Backspace, QString(), Qt::ControlModifier);
        settleEvents();
        state.PauseTiming();
        if (!f.page->detail()->noteEditor()->text().endsWith(QLatin1Char(' ')))
            state.SkipWithError("the word was not deleted whole");
        f.field()->undo();
        settleEvents();
        state.ResumeTiming();
    }
    if (f.page->detail()->noteEditor()->text() != f.note)
        state.SkipWithError("undo did not bring the word back");
    f.stopEditing();
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorDeleteWordAcrossCuts)->Unit(benchmark::kMillisecond);

// The whole megabyte pasted over the whole note, up to the painted frame.
void BM_NoteEditorPasteMegabyte(benchmark::State &state)
{
    Fixture &f = fixture();
    f.editNote();
    QApplication::clipboard()->setText(f.note);
    for (auto _ : state) {
        f.field()->selectAll();
        f.field()->paste();
        settleEvents();
    }
    if (f.page->detail()->noteEditor()->text() != f.note)
        state.SkipWithError("the paste did not arrive whole");
    f.stopEditing();
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorPasteMegabyte)->Unit(benchmark::kMillisecond);

// Editing ends: the note is written into the file (one megabyte, fsync included).
void BM_NoteEditorSaveMegabyteNote(benchmark::State &state)
{
    Fixture &f = fixture();
    f.select(f.noted);
    bool typed = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.focusNote();
        f.field()->moveCursor(QTextCursor::End);
        f.key(typed ? Qt::Key_Backspace : Qt::Key_A, typed ? QString() : QStringLiteral("a"));
        typed = !typed;
        settleEvents();
        state.ResumeTiming();
        f.field()->clearFocus();
        settleEvents();
    }
    if (f.model->store().hasPendingChanges())
        state.SkipWithError("the note was not saved");
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_NoteEditorSaveMegabyteNote)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { g_fixture.reset(); }});
}

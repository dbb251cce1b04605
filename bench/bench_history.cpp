// The history page over 100,000 incidents: one keystroke in the search (filter and group, then the
// page's whole update), a megabyte pasted into the search and the keys typed after it, a key typed
// into a note while the rows in view hold long emoji notes, opening the page up to its first
// painted frame, and painting one scrolled frame of the list. Each prints the raw SQLite floor
// beside its figure: a bare insert + commit (what a log costs at least) and a bare read of every
// row (what opening costs at least).
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/history/EventDetailView.h"
#include "features/history/HistoryDays.h"
#include "features/history/HistoryFilter.h"
#include "features/history/HistoryList.h"
#include "features/history/HistoryView.h"
#include "features/history/NoteEditor.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "ui/GXTextField.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QTimeZone &zone = LargeModel::zone;

// The large model, with notes to search, and the page in a window.
struct Fixture : LargeModel
{
    std::unique_ptr<QWidget> window;
    HistoryView *page = nullptr;
    double readAllMs = 0;

    Fixture() : LargeModel(true)
    {
        readAllMs = BenchFloor::measureReadAllMs(storePath());
        window = std::make_unique<QWidget>();
        window->resize(1066, 700);
        page = open(window.get());
        window->show();
        QApplication::processEvents();
    }

    HistoryView *open(QWidget *parent)
    {
        auto *view = new HistoryView(*model, parent);
        view->setGeometry(parent->rect());
        return view;
    }

    // Sends one key press and its release to whatever widget has the keyboard (else to the window),
    // then lets the page refresh and paint as a turn of the event loop would.
    void key(int key, const QString &text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
        settleEvents();
    }

    // A bare insert + commit (what a log costs at least) and a bare read of every row (what opening
    // costs at least).
    void addFloor(benchmark::State &state) const
    {
        BenchFloor::reportInsertCommit(state);
        state.counters["read_all_floor_ms"] = readAllMs;
    }
};

// Made on first use and destroyed before the application object, which its widgets need.
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// The rules alone: filter and group every incident for a search text.
void BM_HistoryFilterAndGroup(benchmark::State &state)
{
    Fixture &f = fixture();
    const HistoryEvents events = f.model->allEvents().toList();
    const QList<Trigger> triggers = f.model->allTriggers();
    const Calendar calendar(zone);
    const QString searches[] = {QStringLiteral("s"), QStringLiteral("sl"), QStringLiteral("sla")};
    int i = 0;
    for (auto _ : state) {
        const QList<qsizetype> passed =
            HistoryFilter::filter(spanOf(events), triggers, HistoryFilter::all, searches[i++ % 3]);
        benchmark::DoNotOptimize(HistoryDays::group(spanOf(events), passed, calendar));
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryFilterAndGroup)->Unit(benchmark::kMillisecond);

// A search across two fields (a blank in the text) builds every haystack.
void BM_HistoryFilterAndGroupAcrossFields(benchmark::State &state)
{
    Fixture &f = fixture();
    const HistoryEvents events = f.model->allEvents().toList();
    const QList<Trigger> triggers = f.model->allTriggers();
    const Calendar calendar(zone);
    for (auto _ : state) {
        const QList<qsizetype> passed =
            HistoryFilter::filter(spanOf(events), triggers, HistoryFilter::all, QStringLiteral("slack b"));
        benchmark::DoNotOptimize(HistoryDays::group(spanOf(events), passed, calendar));
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryFilterAndGroupAcrossFields)->Unit(benchmark::kMillisecond);

// One keystroke on the page: filter, group, lay the list out and update the editor.
void BM_HistorySearchKeystroke(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString searches[] = {QStringLiteral("s"), QStringLiteral("sl"), QStringLiteral("sla")};
    int i = 0;
    for (auto _ : state)
        f.page->setSearch(searches[i++ % 3]);
    f.page->setSearch(QString());
    f.addFloor(state);
}
BENCHMARK(BM_HistorySearchKeystroke)->Unit(benchmark::kMillisecond);

// A megabyte of words, as a pasted log would be.
QString megabyteOfWords()
{
    const QString words = QStringLiteral("the vorping simulator crashed again and took the build with it ");
    QString text;
    text.reserve(1'000'000 + words.size());
    while (text.size() < 1'000'000)
        text += words;
    return text;
}

// The search field with the keyboard and the megabyte on the clipboard.
void focusSearchWithMegabyteOnClipboard(Fixture &f)
{
    QApplication::clipboard()->setText(megabyteOfWords());
    f.page->searchField()->setFocus(Qt::MouseFocusReason);
    settleEvents();
}

void clearSearch(Fixture &f)
{
    f.page->searchField()->setText(QString());
    f.page->searchField()->clearFocus();
    settleEvents();
}

// Ctrl+V of a megabyte into the empty search field: the field takes it, the page filters by it
// and paints.
void BM_HistorySearchPasteMegabyte(benchmark::State &state)
{
    Fixture &f = fixture();
    focusSearchWithMegabyteOnClipboard(f);
    for (auto _ : state) {
        state.PauseTiming();
        f.page->searchField()->setText(QString());
        settleEvents();
        state.ResumeTiming();
        f.key(Qt::Key_V, {}, Qt::ControlModifier);
    }
    if (f.page->search().size() < 1'000'000)
        state.SkipWithError("the paste did not reach the search");
    clearSearch(f);
    f.addFloor(state);
}
BENCHMARK(BM_HistorySearchPasteMegabyte)->Unit(benchmark::kMillisecond);

enum class SearchKey
{
    homeEnd, // Home and End in turn: the cursor crosses the whole megabyte every time
    left,
    letter, // a letter and Backspace in turn: the search changes every time
};

// One key in the search field while it holds the pasted megabyte, up to the painted frame.
void BM_HistorySearchKeyAfterMegabytePaste(benchmark::State &state, SearchKey which)
{
    Fixture &f = fixture();
    focusSearchWithMegabyteOnClipboard(f);
    f.key(Qt::Key_V, {}, Qt::ControlModifier);
    bool flip = false;
    for (auto _ : state) {
        switch (which) {
        case SearchKey::homeEnd:
            f.key(flip ? Qt::Key_End : Qt::Key_Home);
            break;
        case SearchKey::left:
            f.key(Qt::Key_Left);
            break;
        case SearchKey::letter:
            if (flip)
                f.key(Qt::Key_Backspace);
            else
                f.key(Qt::Key_Q, QStringLiteral("q"));
            break;
        }
        flip = !flip;
    }
    if (f.page->search().size() < 1'000'000)
        state.SkipWithError("the paste did not reach the search");
    clearSearch(f);
    f.addFloor(state);
}
BENCHMARK_CAPTURE(BM_HistorySearchKeyAfterMegabytePaste, home_end, SearchKey::homeEnd)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistorySearchKeyAfterMegabytePaste, left, SearchKey::left)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistorySearchKeyAfterMegabytePaste, letter, SearchKey::letter)
    ->Unit(benchmark::kMillisecond);

// `count` colour emoji, a few dozen different ones in turn.
QString emojiNote(int count)
{
    static const char32_t pool[] = {0x1F921, 0x1F4A2, 0x1F9E8, 0x1F643, 0x1FAE0, 0x1F412, 0x1F3AB, 0x1F4DE,
                                    0x1F4CA, 0x1F9FE, 0x1F4B8, 0x1F6A8, 0x1F9EF, 0x1FAB3, 0x1F40C, 0x1F300,
                                    0x1F92F, 0x1F624, 0x1F972, 0x1F480, 0x1F644, 0x1FAE1, 0x1F9E0, 0x1F50C};
    QString note;
    note.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        note += QString::fromUcs4(&pool[i % std::size(pool)], 1);
    return note;
}

// Gives the `rows` incidents after the two newest `emoji` colour emoji each as their notes (none:
// their plain short notes stay) and puts the list at its top, the two newest and the rows with
// the long notes in view; puts the notes back when done.
class LongNotesInView
{
public:
    LongNotesInView(Fixture &f, int emoji, int rows = 8) : m_f(f)
    {
        Store &store = f.model->store();
        const EventSnapshot events = store.events();
        for (qsizetype i = events.size() - 2 - rows; i < events.size() - 2; ++i) {
            VorpEvent row = events.at(i);
            m_restore.append(row);
            if (emoji > 0) {
                row.note = emojiNote(emoji);
                store.update(row);
            }
        }
        store.save();
        newest = events.at(events.size() - 1).id;
        second = events.at(events.size() - 2).id;
        settleEvents();
        f.page->list()->verticalScrollBar()->setValue(0);
        settleEvents();
    }
    ~LongNotesInView()
    {
        m_f.page->clearSelection();
        for (const VorpEvent &row : m_restore)
            m_f.model->store().update(row);
        m_f.model->store().save();
        settleEvents();
    }

    qint64 newest = 0;
    qint64 second = 0;

private:
    Fixture &m_f;
    QList<VorpEvent> m_restore;
};

// A key typed into the note of the newest incident while eight rows in view hold `emoji` colour
// emoji each (none: their plain short notes): the record follows the key, the page refreshes over
// every incident, and the list and the editor paint.
void BM_HistoryNoteKeyBesideLongNotes(benchmark::State &state, int emoji)
{
    Fixture &f = fixture();
    const LongNotesInView rows(f, emoji);
    f.page->clickRow(rows.newest);
    settleEvents();
    QPlainTextEdit *note = f.page->detail()->noteEditor()->field();
    note->setFocus(Qt::MouseFocusReason);
    note->moveCursor(QTextCursor::End);
    settleEvents();

    PaintCounter paints;
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            f.key(Qt::Key_Backspace);
        else
            f.key(Qt::Key_Q, QStringLiteral("q"));
        typed = !typed;
    }
    paints.report(state);
    if (typed)
        f.key(Qt::Key_Backspace);
    note->clearFocus();
    settleEvents();
    f.addFloor(state);
}
BENCHMARK_CAPTURE(BM_HistoryNoteKeyBesideLongNotes, plain_rows, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistoryNoteKeyBesideLongNotes, emoji_40, 40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistoryNoteKeyBesideLongNotes, emoji_32756, 32756)->Unit(benchmark::kMillisecond);

// Down and Up in turn between the two newest rows while eight rows in view hold `emoji` colour
// emoji each: the selection moves, the editor of the newly selected incident is built, and the
// page paints.
void BM_HistoryStepBesideLongNotes(benchmark::State &state, int emoji)
{
    Fixture &f = fixture();
    const LongNotesInView rows(f, emoji);
    f.page->clickRow(rows.newest);
    settleEvents();
    PaintCounter paints;
    bool down = true;
    for (auto _ : state) {
        f.key(down ? Qt::Key_Down : Qt::Key_Up);
        down = !down;
    }
    paints.report(state);
    if (f.page->selection() != rows.newest && f.page->selection() != rows.second)
        state.SkipWithError("the keys did not move the selection");
    f.addFloor(state);
}
BENCHMARK_CAPTURE(BM_HistoryStepBesideLongNotes, plain_rows, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistoryStepBesideLongNotes, emoji_32756, 32756)->Unit(benchmark::kMillisecond);

// One wheel step of the list painted on screen (a frame of a keyboard step's scroll too), while
// every row in view holds `emoji` colour emoji.
void BM_HistoryPaintScrolledFrameOfLongNotes(benchmark::State &state, int emoji)
{
    Fixture &f = fixture();
    const LongNotesInView rows(f, emoji, 40);
    HistoryList *list = f.page->list();
    QScrollBar *bar = list->verticalScrollBar();
    bar->setValue(200);
    int step = 60;
    PaintCounter paints;
    for (auto _ : state) {
        bar->setValue(bar->value() + step);
        step = -step;
        list->viewport()->repaint();
    }
    paints.report(state);
    f.addFloor(state);
}
BENCHMARK_CAPTURE(BM_HistoryPaintScrolledFrameOfLongNotes, emoji_32756, 32756)->Unit(benchmark::kMillisecond);

// Opening the page: build it over every incident, lay it out and paint the first frame.
void BM_HistoryOpenFirstFrame(benchmark::State &state)
{
    Fixture &f = fixture();
    QWidget host;
    host.resize(1066, 700);
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        HistoryView *view = f.open(&host);
        QPainter p(&image);
        view->render(&p);
        p.end();
        state.PauseTiming();
        delete view;
        state.ResumeTiming();
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryOpenFirstFrame)->Unit(benchmark::kMillisecond);

// Scrolling: move the list by a wheel step and paint the list's new frame.
void BM_HistoryPaintScrolledFrame(benchmark::State &state)
{
    Fixture &f = fixture();
    HistoryList *list = f.page->list();
    QWidget *viewport = list->viewport();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar *bar = list->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state) {
        bar->setValue(bar->value() + 60);
        QPainter p(&image);
        viewport->render(&p);
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryPaintScrolledFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { g_fixture.reset(); }});
}

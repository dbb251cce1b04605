// The triggers page's name field over 100,000 incidents: a paste into it, up to the painted
// frame, that its length limit must count first (in characters as a person sees them): a
// megabyte of emoji, which it refuses, and a name of joined family emoji just under the limit,
// which it takes. Each prints the raw SQLite insert + commit floor beside its figure.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "features/triggers/AddTriggerCard.h"
#include "features/triggers/TriggersView.h"
#include "ui/GXTextField.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

namespace {

struct Fixture : LargeModel
{
    std::unique_ptr<QWidget> window;
    TriggersView *page = nullptr;

    Fixture()
    {
        window = std::make_unique<QWidget>();
        window->resize(1066, 700);
        page = new TriggersView(*model, {}, window.get());
        page->setGeometry(window->rect());
        window->show();
        settleEvents();
    }

    GXTextField *field() const { return page->addCard()->nameField(); }
};

std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// Ctrl+V of `pasted` into the empty name field.
void pasteIntoName(benchmark::State &state, const QString &pasted, bool taken)
{
    Fixture &f = fixture();
    QApplication::clipboard()->setText(pasted);
    f.field()->setFocus(Qt::MouseFocusReason);
    settleEvents();
    for (auto _ : state) {
        state.PauseTiming();
        f.field()->setText(QString());
        settleEvents();
        state.ResumeTiming();
        QWidget *editor = f.field()->focusProxy();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(editor, &release);
        settleEvents();
    }
    if ((f.field()->text() == pasted) != taken)
        state.SkipWithError(taken ? "the name was refused" : "the name was taken");
    f.field()->setText(QString());
    f.field()->clearFocus();
    settleEvents();
    BenchFloor::reportInsertCommit(state);
}

void BM_TriggerNamePasteMegabyteOfEmoji(benchmark::State &state)
{
    pasteIntoName(state, QStringLiteral("\U0001F921").repeated(500'000), false);
}
BENCHMARK(BM_TriggerNamePasteMegabyteOfEmoji)->Unit(benchmark::kMillisecond);

// 10,000 characters of eleven UTF-16 units each.
void BM_TriggerNamePasteLongestFamilyName(benchmark::State &state)
{
    pasteIntoName(
        state, QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466").repeated(10'000),
        true);
}
BENCHMARK(BM_TriggerNamePasteLongestFamilyName)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { g_fixture.reset(); }});
}

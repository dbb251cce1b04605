// The overview page over 100,000 incidents: one refresh after a log (every figure rebuilt from the
// full list, as the page does on each log tick) and painting the whole page into an image.
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/overview/OverviewView.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Fixture : LargeModel
{
    std::unique_ptr<OverviewView> page;

    Fixture()
    {
        page = std::make_unique<OverviewView>(*model);
        page->resize(1066, 1500);
        page->show();
        QApplication::processEvents();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_OverviewRefreshAfterLog(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state)
        f.page->refresh();
}
BENCHMARK(BM_OverviewRefreshAfterLog)->Unit(benchmark::kMillisecond);

void BM_OverviewRefreshAndPaint(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage image(f.page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        f.page->refresh();
        QApplication::processEvents(); // the layout pass the refresh asked for
        QPainter p(&image);
        f.page->render(&p);
    }
}
BENCHMARK(BM_OverviewRefreshAndPaint)->Unit(benchmark::kMillisecond);

void BM_OverviewPaintOnly(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage image(f.page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        f.page->render(&p);
    }
}
BENCHMARK(BM_OverviewPaintOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

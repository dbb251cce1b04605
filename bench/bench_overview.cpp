// The overview page over 100,000 incidents: one refresh after a log (every figure rebuilt from the
// full list, as the page does on each log tick) and painting the whole page into an image.
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

const QTimeZone zone("Europe/Berlin");
const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<OverviewView> page;

    Fixture()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setValue(PrefKey::hasOnboarded, true);
        model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("Grumblix.store")), *prefs);
        model->setClock([] { return now; });
        model->setTimeZone(zone);
        model->bootstrap({QStringLiteral("grumblix")});
        const QStringList apps{
            "Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom", "Figma"};
        const QStringList keys{"meeting", "email", "build",      "code",
                               "people",  "bug",   "management", "production"};
        // About two years of incidents, a few minutes apart, ending now; in UTC as the store loads them.
        for (int i = 0; i < 100'000; ++i) {
            VorpEvent e = VorpEvent::make(now.toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()],
                                          apps[i % apps.size()].toLower(),
                                          i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                                          std::nullopt, EventSource::menuBar);
            model->store().insert(e);
        }
        model->store().save();
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

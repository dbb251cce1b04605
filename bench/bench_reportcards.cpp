// The weekly report cards: laying out one card (a new ReportCard, as the page builds on every
// render) and painting it at scale 2 with the export's 24-point margin, for each of the eight looks.
// The report is built once from 100,000 incidents; the floor is clearing the same image.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "features/report/ReportCard.h"
#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "services/WeeklyReport.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

const QTimeZone zone("Europe/Berlin");
const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);

const WeeklyReport &report()
{
    static const WeeklyReport built = [] {
        QList<Trigger> triggers;
        int order = 0;
        for (const auto &b : Trigger::defaults())
            triggers << Trigger::make(QString::fromUtf8(b.key), QString::fromUtf8(b.name),
                                      QString::fromUtf8(b.emoji), order++, true);
        const QStringList apps{"Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom"};
        QList<VorpEvent> events;
        events.reserve(100'000);
        for (int i = 0; i < 100'000; ++i)
            events << VorpEvent::make(now.addSecs(-qint64(i) * 631), apps[i % apps.size()], std::nullopt,
                                      i % 5 ? std::optional(triggers[i % triggers.size()].key) : std::nullopt,
                                      std::nullopt, EventSource::menuBar);
        return WeeklyReport::build(events, triggers, -1, now, Calendar(zone));
    }();
    return built;
}

QImage canvas()
{
    // Tall enough for any card of this report, at scale 2 with the margin.
    QImage image(2 * (460 + 48), 2 * (1400 + 48), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    return image;
}

void BM_ReportCardMeasureAndPaint(benchmark::State &state)
{
    const ReportTheme theme = ReportThemes::allCases().at(int(state.range(0)));
    state.SetLabel(ReportThemes::rawValue(theme).toStdString());
    const Theme::ScopedScheme light(ColorScheme::Light);
    QImage image = canvas();
    for (auto _ : state) {
        image.fill(Qt::transparent);
        const ReportCard card(report(), theme, ButtonSkin::classic, QLocale());
        benchmark::DoNotOptimize(card.size());
        QPainter p(&image);
        card.paint(p, QPointF(24, 24));
    }
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_ReportCardMeasureAndPaint)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

void BM_FloorClearImage(benchmark::State &state)
{
    QImage image = canvas();
    for (auto _ : state) {
        image.fill(Qt::transparent);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_FloorClearImage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.before = report});
}

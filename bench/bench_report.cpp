// The report page over 100,000 incidents: opening it and painting its first frame (the report built
// once, the page laid out and painted), and the shareable PNG of each theme (card drawn at twice
// its size on its paper margin, then encoded). The floor beside them is one bare SQLite insert and
// commit.
#include "BenchMain.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/report/ReportCard.h"
#include "features/report/ReportImage.h"
#include "features/report/ReportView.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

using Fixture = LargeModel;
const QTimeZone &zone = LargeModel::zone;
const QDateTime &now = LargeModel::now;

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_ReportOpenAndFirstFrame(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage frame(1066, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ReportView page(*f.model);
        page.resize(frame.size());
        page.show();
        QApplication::processEvents(); // the layout pass of the first show
        QPainter p(&frame);
        page.render(&p);
    }
}
BENCHMARK(BM_ReportOpenAndFirstFrame)->Unit(benchmark::kMillisecond);

void BM_ReportPng(benchmark::State &state)
{
    Fixture &f = fixture();
    const ReportTheme theme = ReportThemes::allCases().value(int(state.range(0)));
    const WeeklyReport report =
        WeeklyReport::build(f.model->allEvents(), f.model->allTriggers(), 0, now, Calendar(zone));
    state.SetLabel(ReportThemes::rawValue(theme).toStdString());
    for (auto _ : state) {
        const auto png = ReportImage::pngData(ReportImage::render(ReportCard(report, theme)));
        if (!png)
            state.SkipWithError("no PNG");
        benchmark::DoNotOptimize(png->constData());
    }
}
BENCHMARK(BM_ReportPng)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// The floor: one row inserted and committed with the store's durability, nothing else.
void BM_FloorSqliteInsertCommit(benchmark::State &state)
{
    QTemporaryDir dir;
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(dir.filePath(QStringLiteral("floor.db"))).constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; CREATE TABLE t(a INTEGER, b TEXT);",
                 nullptr, nullptr, nullptr);
    for (auto _ : state)
        sqlite3_exec(db, "BEGIN; INSERT INTO t VALUES(1, 'x'); COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
BENCHMARK(BM_FloorSqliteInsertCommit)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets);
}

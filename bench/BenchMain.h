#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <functional>

// What a bench's main() does: the Qt application the bench needs (widgets drawn offscreen, texts in
// US English), then Google Benchmark with the command line. `before` runs ahead of the benchmarks;
// `after` runs while the application still exists (fixtures holding widgets must go first).
enum class BenchApp
{
    core,
    widgets,
};

struct BenchHooks
{
    std::function<void()> before = {};
    std::function<void()> after = {};
};

inline int runBenches(int argc, char **argv, BenchApp kind, const BenchHooks &hooks = {})
{
    std::unique_ptr<QCoreApplication> app;
    if (kind == BenchApp::widgets) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (hooks.before)
        hooks.before();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (hooks.after)
        hooks.after();
    return 0;
}

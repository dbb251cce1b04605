// Render time of every press sound, one by one and as a whole catalogue (goal: under 50 ms in all),
// beside the insert + commit floor of the log it answers.
#include "BenchSupport.h"
#include "services/SoundChoice.h"
#include "services/Synth.h"

#include <benchmark/benchmark.h>

namespace {
void renderOne(benchmark::State &state, SoundChoice choice)
{
    for (auto _ : state) {
        QByteArray bytes = Synth::wav(Synth::render(choice));
        benchmark::DoNotOptimize(bytes.data());
    }
    BenchFloor::reportInsertCommit(state);
}

void renderCatalogue(benchmark::State &state)
{
    for (auto _ : state) {
        for (SoundChoice choice : playableSoundChoices()) {
            QByteArray bytes = Synth::wav(Synth::render(choice));
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    BenchFloor::reportInsertCommit(state);
}

const int kRegistered = [] {
    for (SoundChoice choice : playableSoundChoices()) {
        if (choice == SoundChoice::narrator)
            continue;
        benchmark::RegisterBenchmark(("render/" + rawValue(choice).toStdString()).c_str(), renderOne, choice)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("render/catalogue", renderCatalogue)->Unit(benchmark::kMillisecond);
    return 0;
}();
} // namespace

BENCHMARK_MAIN();

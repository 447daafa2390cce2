// Engine throughput: a grid row of point calculations (the grid generator's
// pattern: same latitude and elevation, stepping longitude) and the pole search.

#include "RowBench.h"
#include "workspace/ModelEngine.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

class SilentSink : public tellurim::EngineMessageSink {
public:
    void showPlainMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void showInformationMessage(const std::string&) override {}
};

tellurim::ModelEngine loadedEngine(SilentSink& sink, benchmark::State& state,
                                   const std::string& file = "WMM2025.COF")
{
    tellurim::ModelEngine engine{sink};
    std::string name = std::string{TELLURIM_MODELS_DIR} + "/" + file;
    engine.readModelFile(tellurim::kAllDegrees, name);
    if (!engine.isLoaded())
        state.SkipWithError((file + " did not load").c_str());
    return engine;
}

using tellurim::bench::perPoint;

void computePointAlongGridRow(benchmark::State& state)
{
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state);
    constexpr int kPointsPerRow = 3600;  // 0.1 degree steps
    float latitude = -89.0f;
    for (auto _ : state) {
        for (int i = 0; i < kPointsPerRow; ++i) {
            const float longitude = -180.0f + 0.1f * static_cast<float>(i);
            benchmark::DoNotOptimize(engine.computePoint(0.0f, latitude, longitude, 2027.5f));
        }
        latitude = latitude >= 89.0f ? -89.0f : latitude + 1.0f;
    }
    state.SetItemsProcessed(state.iterations() * kPointsPerRow);
    state.counters["s/point"] = perPoint(state, kPointsPerRow);
}
BENCHMARK(computePointAlongGridRow)->Unit(benchmark::kMillisecond);

void computeRowAlongGridRow(benchmark::State& state)
{
    // The grid's path: a whole row of longitudes at once.
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state);
    tellurim::bench::computeRows(state, *engine.model(), 2027.5f);
}
BENCHMARK(computeRowAlongGridRow)->Unit(benchmark::kMillisecond);


void computePointAnywhere(benchmark::State& state)
{
    // A new place, height and date every time, as a point command or a batch
    // line gives: nothing cached is reused.
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state);
    uint32_t seed = 12345;
    const auto next = [&seed](float low, float high) {
        seed = seed * 1664525U + 1013904223U;
        return low + (high - low) * static_cast<float>(seed >> 8) / 16777216.0f;
    };
    for (auto _ : state) {
        const float elevation = next(0.0f, 10000.0f);
        const float latitude = next(-89.9f, 89.9f);
        const float longitude = next(-180.0f, 180.0f);
        const float date = next(2025.0f, 2029.9f);
        benchmark::DoNotOptimize(engine.computePoint(elevation, latitude, longitude, date));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(computePointAnywhere);

void computePointEverywhereNew(benchmark::State& state)
{
    // Every point at a new latitude: nothing of the geodetic group is reused.
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state);
    float latitude = -89.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.computePoint(0.0f, latitude, 12.5f, 2027.5f));
        latitude = latitude >= 89.0f ? -89.0f : latitude + 0.37f;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(computePointEverywhereNew);

void computePointHighResolution(benchmark::State& state)
{
    // WMMHR-2025 (degree 133): the field and its annual change at a new
    // place each time, the cost of one point of the window or of `point`.
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state, "WMMHR2025.COF");
    float latitude = -89.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.computePoint(0.0f, latitude, 12.5f, 2027.5f));
        latitude = latitude >= 89.0f ? -89.0f : latitude + 0.37f;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(computePointHighResolution)->Unit(benchmark::kMicrosecond);

void findMagneticPoles(benchmark::State& state)
{
    SilentSink sink;
    tellurim::ModelEngine engine = loadedEngine(sink, state);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.findMagneticPoles(2026.0f));
}
BENCHMARK(findMagneticPoles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The field at one place from 1590 to 2030 by month (5,280 dates) with the
// historical composite, as the history plot redraws it on every new place.

#include "engine/MagneticModel.h"
#include "grid/FieldSeries.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void seriesByMonth(benchmark::State& state, const char* model)
{
    const tellurim::ModelLoad loaded = tellurim::loadModel(std::string(TELLURIM_MODELS_DIR) + "/" + model);
    const auto* shared = std::get_if<std::shared_ptr<const tellurim::MagneticModel>>(&loaded);
    if (shared == nullptr) {
        state.SkipWithError("model not loaded");
        return;
    }
    const tellurim::SeriesDates dates{1590.0, 2030.0 - 1.0 / 12.0, 1.0 / 12.0};
    float latitude = 51.5f;
    for (auto _ : state) {
        const tellurim::FieldSeries series(**shared, 0.0f, latitude, -0.12f);
        float sum = 0.0f;
        for (std::uint64_t i = 0; i < dates.count(); ++i)
            sum += series.at(dates.at(i)).DEC;
        benchmark::DoNotOptimize(sum);
        latitude += 0.001f;  // a new place each time, as the user types
    }
    state.counters["dates"] = static_cast<double>(dates.count());
}

void BM_SeriesHistoricalByMonth(benchmark::State& state) { seriesByMonth(state, "Historical.chain"); }
void BM_SeriesCals10k2ByMonth(benchmark::State& state) { seriesByMonth(state, "CALS10k.2"); }

BENCHMARK(BM_SeriesHistoricalByMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesCals10k2ByMonth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

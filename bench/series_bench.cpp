// The field at one place from 1590 to 2030 by month (5,280 dates) with the
// historical composite, as the history plot redraws it on every new place.

#include "engine/ModelEngine.h"
#include "grid/FieldSeries.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

class QuietSink final : public tellurim::EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

void seriesByMonth(benchmark::State& state, const char* model)
{
    QuietSink sink;
    tellurim::ModelEngine engine(sink);
    std::string path = std::string(TELLURIM_MODELS_DIR) + "/" + model;
    engine.readModelFile(tellurim::kAllDegrees, path);
    if (!engine.isLoaded()) {
        state.SkipWithError("model not loaded");
        return;
    }
    const tellurim::SeriesDates dates{1590.0, 2030.0 - 1.0 / 12.0, 1.0 / 12.0};
    float latitude = 51.5f;
    for (auto _ : state) {
        tellurim::FieldSeries series(engine, 0.0f, latitude, -0.12f);
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

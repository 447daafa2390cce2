// A latitude row of the field and its annual change: Tellurim's computeRow
// against GeographicLib's MagneticCircle, a black-box peer, on the same model
// (GeographicLib reads its own format; bench/compare-geographiclib.sh writes
// it from our .COF file and runs this program with
// TELLURIM_GEOGRAPHICLIB_MODELS naming the folder and the model "tellurim").

#include "RowBench.h"
#include "workspace/ModelEngine.h"

#include <GeographicLib/MagneticCircle.hpp>
#include <GeographicLib/MagneticModel.hpp>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using tellurim::bench::kPointsPerRow;
using tellurim::bench::perPoint;
constexpr double kYear = 2027.5;

class QuietSink : public tellurim::EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

std::unique_ptr<GeographicLib::MagneticModel> peerModel(benchmark::State& state)
{
    const char* folder = std::getenv("TELLURIM_GEOGRAPHICLIB_MODELS");
    if (folder == nullptr) {
        state.SkipWithError("TELLURIM_GEOGRAPHICLIB_MODELS is not set (run bench/compare-geographiclib.sh)");
        return nullptr;
    }
    return std::make_unique<GeographicLib::MagneticModel>("tellurim", folder);
}

void magneticCircleRow(benchmark::State& state, bool sevenElements)
{
    const auto model = peerModel(state);
    if (!model)
        return;
    double latitude = -89.0;
    for (auto _ : state) {
        const GeographicLib::MagneticCircle circle = model->Circle(kYear, latitude, 0.0);
        for (int i = 0; i < kPointsPerRow; ++i) {
            double bx, by, bz, bxt, byt, bzt;
            circle(-180.0 + 0.1 * i, bx, by, bz, bxt, byt, bzt);
            if (sevenElements) {
                double h, f, d, inc, ht, ft, dt, it;
                GeographicLib::MagneticModel::FieldComponents(bx, by, bz, bxt, byt, bzt, h, f, d, inc, ht, ft, dt, it);
                benchmark::DoNotOptimize(h + f + d + inc + ht + ft + dt + it);
            }
            benchmark::DoNotOptimize(bx + by + bz + bxt + byt + bzt);
        }
        latitude = latitude >= 89.0 ? -89.0 : latitude + 1.0;
    }
    state.counters["s/point"] = perPoint(state);
}

void magneticCircleField(benchmark::State& state) { magneticCircleRow(state, false); }
void magneticCircleSevenElements(benchmark::State& state) { magneticCircleRow(state, true); }
BENCHMARK(magneticCircleField)->Unit(benchmark::kMillisecond);
BENCHMARK(magneticCircleSevenElements)->Unit(benchmark::kMillisecond);

void tellurimRow(benchmark::State& state)
{
    // Field, annual change and the seven elements with their changes.
    QuietSink sink;
    tellurim::ModelEngine engine{sink};
    std::string name = std::string{TELLURIM_MODELS_DIR} + "/WMM2025.COF";
    engine.readModelFile(tellurim::kAllDegrees, name);
    tellurim::bench::computeRows(state, *engine.model(), static_cast<float>(kYear));
}
BENCHMARK(tellurimRow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

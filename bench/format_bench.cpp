// Formatting speed of grid lines and of the "%f" numbers they are made of.
// Grid files run to millions of lines, so the formatting must stay well
// below the cost of computing a point.
#include "workspace/ModelEngine.h"
#include "files/CsvWriter.h"
#include "grid/GridCsv.h"
#include "record/ResultTexts.h"
#include "record/NumberText.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tellurim;

class QuietSink : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

struct Point {
    float latitude;
    float longitude;
    FieldResult result;
};

/// Results of the shipped model over a coarse world grid, so that the
/// numbers have the magnitudes and digit counts of real grid files (polar
/// rows with grid variation, the rest "N/A").
const std::vector<Point>& realisticPoints()
{
    static const std::vector<Point> points = [] {
        QuietSink sink;
        ModelEngine engine(sink);
        std::string name = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
        engine.readModelFile(12, name);
        std::vector<Point> result;
        for (float lat = -89.5f; lat < 90.0f; lat += 7.0f) {
            for (float lon = -179.75f; lon < 180.0f; lon += 9.0f) {
                result.push_back(Point{lat, lon, engine.computePoint(250.0f, lat, lon, 2026.37f)});
            }
        }
        return result;
    }();
    return points;
}

void BM_GridLine(benchmark::State& state)
{
    const std::vector<Point>& points = realisticPoints();
    std::string out;
    out.reserve(1 << 20);
    size_t i = 0;
    for (auto _ : state) {
        if (out.size() > (1 << 19)) {
            out.clear();
        }
        const Point& p = points[i];
        appendGridLine(out, p.latitude, p.longitude, p.result);
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == points.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.SetLabel("items/s = grid lines per second");
}
BENCHMARK(BM_GridLine);

void BM_Fixed6(benchmark::State& state)
{
    const std::vector<Point>& points = realisticPoints();
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        appendFixed6(out, static_cast<double>(points[i].result.TI));
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == points.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_Fixed6);

// The C library's "%f", for comparison.
void BM_SnprintfFixed6(benchmark::State& state)
{
    const std::vector<Point>& points = realisticPoints();
    char buffer[64];
    size_t i = 0;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(points[i].result.TI));
        benchmark::DoNotOptimize(buffer);
        i = i + 1 == points.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_SnprintfFixed6);

/// Every number of the grid lines above, as the lines write them: the
/// coordinates and the fourteen elements and changes, as singles.
const std::vector<float>& gridNumbers()
{
    static const std::vector<float> numbers = [] {
        std::vector<float> result;
        for (const Point& p : realisticPoints()) {
            const FieldResult& r = p.result;
            result.insert(result.end(), {p.latitude, p.longitude, r.DEC, r.DIP, r.TI, r.BH, r.BX, r.BY, r.BZ,
                                         r.DEC2, r.DIP2, r.TI2, r.BH2, r.BX2, r.BY2, r.BZ2});
        }
        return result;
    }();
    return numbers;
}

void BM_Fixed6GridNumbers(benchmark::State& state)
{
    const std::vector<float>& numbers = gridNumbers();
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        appendFixed6(out, static_cast<double>(numbers[i]));
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_Fixed6GridNumbers);

// The general double path (the only one before singles had their own): the
// grid numbers moved by one unit of a double so that none is a single; the
// 128-bit work does not depend on the low bits.
void BM_DoublePathGridNumbers(benchmark::State& state)
{
    std::vector<double> numbers;
    for (const float number : gridNumbers()) {
        numbers.push_back(std::nextafter(static_cast<double>(number), 0.0));
    }
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        appendFixed6(out, numbers[i]);
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_DoublePathGridNumbers);

// The single-precision formatter the grid lines use.
void BM_SingleFixed6GridNumbers(benchmark::State& state)
{
    const std::vector<float>& numbers = gridNumbers();
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        appendSingleFixed6(out, numbers[i]);
        benchmark::DoNotOptimize(out.data());
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_SingleFixed6GridNumbers);

// The same formatter writing straight into a line, as CsvRow calls it.
void BM_WriteSingleFixed6GridNumbers(benchmark::State& state)
{
    const std::vector<float>& numbers = gridNumbers();
    char line[512];
    size_t i = 0;
    size_t used = 0;
    for (auto _ : state) {
        if (used > sizeof line - kSingleFixed6Max)
            used = 0;
        used = static_cast<size_t>(writeSingleFixed6(line + used, numbers[i]) - line);
        benchmark::DoNotOptimize(line);
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_WriteSingleFixed6GridNumbers);

void BM_SnprintfGridNumbers(benchmark::State& state)
{
    const std::vector<float>& numbers = gridNumbers();
    char buffer[64];
    size_t i = 0;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(numbers[i]));
        benchmark::DoNotOptimize(buffer);
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_SnprintfGridNumbers);

void BM_GridVariationTexts(benchmark::State& state)
{
    FieldResult r;
    r.gridVariation = -123.456f;
    r.gridVariationNextYear = -123.5f;
    for (auto _ : state) {
        GridVariationTexts texts = gridVariationTexts(r);
        benchmark::DoNotOptimize(texts.CPOLAR1.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_GridVariationTexts);

}  // namespace

BENCHMARK_MAIN();

#pragma once

// The grid row that the engine and peer benchmarks share: 3600 longitudes at
// 0.1 degree steps, the latitude moving on by a degree every iteration.

#include "engine/FieldRow.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

namespace tellurim::bench {

inline constexpr int kPointsPerRow = 3600;

/// Seconds per point, shown with an SI prefix ("535n" is 535 ns).
inline benchmark::Counter perPoint(const benchmark::State& state, int pointsPerIteration = kPointsPerRow)
{
    return benchmark::Counter(static_cast<double>(state.iterations()) * pointsPerIteration,
                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// A row of the model along the grid row, every iteration at the next latitude.
inline void computeRows(benchmark::State& state, const MagneticModel& model, float year)
{
    std::vector<float> longitudes(kPointsPerRow);
    for (int i = 0; i < kPointsPerRow; ++i)
        longitudes[static_cast<std::size_t>(i)] = -180.0f + 0.1f * static_cast<float>(i);
    std::vector<FieldResult> results(kPointsPerRow);
    float latitude = -89.0f;
    for (auto _ : state) {
        model.row(year, latitude, 0.0f).evaluate(longitudes, results);
        benchmark::DoNotOptimize(results.data());
        latitude = latitude >= 89.0f ? -89.0f : latitude + 1.0f;
    }
    state.SetItemsProcessed(state.iterations() * kPointsPerRow);
    state.counters["s/point"] = perPoint(state);
}

}  // namespace tellurim::bench

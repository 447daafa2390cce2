// GIS layers over the whole Earth at 0.25 degrees (721 x 1441 nodes): the
// declination lattice evaluated, its isolines at 2 degrees traced, and the
// whole tellurim-cli runs: the 15-band GeoTIFF against the CSV grid of the
// same rectangle, and the declination isolines as a GeoPackage.
#include "workspace/ModelEngine.h"
#include "gis/Contours.h"
#include "gis/LatticeEvaluator.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace tellurim;

class QuietSink final : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

const LatticeGeometry kWholeEarth = latticeOf(GridSettings{0, -90.0f, 90.0f, 0.25f, -180.0f, 180.0f, 0.25f});

std::string modelPath()
{
    return std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
}

void declinationLattice(benchmark::State& state)
{
    QuietSink sink;
    ModelEngine engine(sink);
    std::string path = modelPath();
    engine.readModelFile(kAllDegrees, path);
    LatticeEvaluator evaluator(engine.model(), {0.0f, 2025.5f}, static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluator.evaluate(kWholeEarth, FieldElement::D).values.data());
    }
}
BENCHMARK(declinationLattice)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void declinationIsolines(benchmark::State& state)
{
    QuietSink sink;
    ModelEngine engine(sink);
    std::string path = modelPath();
    engine.readModelFile(kAllDegrees, path);
    const Lattice declination = LatticeEvaluator(engine.model(), {0.0f, 2025.5f}, 2).evaluate(kWholeEarth, FieldElement::D);
    std::size_t vertices = 0;
    for (auto _ : state) {
        const auto lines = traceIsolines(declination, {2.0, 0.0}, true);
        vertices = 0;
        for (const Isoline& line : *lines.value) {
            vertices += line.vertices.size();
        }
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(declinationIsolines)->Unit(benchmark::kMillisecond)->UseRealTime();

/// User and system time of the finished child processes, seconds.
double childCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One tellurim-cli run per iteration; arg selects the command line.
void throughTheProgram(benchmark::State& state, const std::string& arguments, const std::string& extension)
{
    const auto output = std::filesystem::temp_directory_path() /
                        ("tellurim-gis-bench-" + std::to_string(::getpid()) + extension);
    const std::string command = std::string("'") + TELLURIM_CLI_PATH + "' " + arguments + " --year 2025.5 --model '" +
                                modelPath() + "' --output '" + output.string() + "'";
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tellurim-cli failed");
            break;
        }
    }
    state.counters["cpu-s"] = (childCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    std::error_code ignored;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(output, ignored));
    std::filesystem::remove(output, ignored);
}

const std::string kWholeEarthGrid = "grid --lat -90 90 0.25 --lon -180 180 0.25 --threads 2";

void wholeEarthCsv(benchmark::State& state)
{
    throughTheProgram(state, kWholeEarthGrid, ".csv");
}
BENCHMARK(wholeEarthCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void wholeEarthGeoTiff(benchmark::State& state)
{
    throughTheProgram(state, kWholeEarthGrid, ".tif");
}
BENCHMARK(wholeEarthGeoTiff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void wholeEarthIsolines(benchmark::State& state)
{
    throughTheProgram(state, "contours --element D --interval 2", ".gpkg");
}
BENCHMARK(wholeEarthIsolines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

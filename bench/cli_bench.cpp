// tellurim-cli throughput: the whole Earth at 0.25 degrees (721 x 1441 =
// 1,038,961 points) through the real program, the grid producer alone
// (bytes discarded), and the batch command streaming points from memory.
#include "cli/Cli.h"
#include "workspace/ModelEngine.h"
#include "grid/GridProducer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kWholeEarthPoints = 721.0 * 1441.0;

std::string modelPath()
{
    return std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
}

class QuietSink final : public tellurim::EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

/// User and system time of the finished child processes, seconds.
double childCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void wholeEarthThroughTheProgram(benchmark::State& state)
{
    const auto output = std::filesystem::temp_directory_path() /
                        ("tellurim-cli-bench-" + std::to_string(::getpid()) + ".csv");
    const std::string command = std::string("'") + TELLURIM_CLI_PATH +
                                "' grid --lat -90 90 0.25 --lon -180 180 0.25 --year 2025.5 --model '" + modelPath() +
                                "' --threads " + std::to_string(state.range(0)) + " --output '" + output.string() + "'";
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tellurim-cli grid failed");
            break;
        }
    }
    // On a shared machine the wall clock says more about the neighbours than
    // about the program; the processor time the program used does not.
    state.counters["points/cpu-s"] =
        kWholeEarthPoints * static_cast<double>(state.iterations()) / (childCpuSeconds() - cpuBefore);
    std::error_code ignored;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(output, ignored));
    std::filesystem::remove(output, ignored);
    state.counters["points/s"] =
        benchmark::Counter(kWholeEarthPoints * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(wholeEarthThroughTheProgram)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Progress that never cancels and shows nothing.
class NoProgress final : public tellurim::Progress {
public:
    void setRange(int, int) override {}
    void setPosition(int) override {}
    bool pollCancel() override { return false; }
};

// The producer alone, bytes discarded: arg 0 the threads, arg 1 whether the
// walk runs in the background (the window's way) or on this thread.
void wholeEarthProducerOnly(benchmark::State& state)
{
    QuietSink sink;
    tellurim::ModelEngine engine(sink);
    std::string name = modelPath();
    engine.readModelFile(12, name);
    const tellurim::GridJob job{tellurim::GridSettings{0, -90.0f, 90.0f, 0.25f, -180.0f, 180.0f, 0.25f}, 0.0f, 2025.5f};
    const tellurim::GridProducer producer(static_cast<unsigned>(state.range(0)));
    const bool background = state.range(1) != 0;
    NoProgress progress;
    size_t bytes = 0;
    int64_t points = 0;
    const tellurim::GridProducer::Writer writer = [&bytes](std::string_view chunk) {
        bytes += chunk.size();
        return std::optional<tellurim::FileError>();
    };
    for (auto _ : state) {
        bytes = 0;
        const tellurim::GridRunResult result = background ? producer.runInBackground(*engine.model(), job, writer, progress)
                                                          : producer.run(*engine.model(), job, writer, progress);
        points = result.points;
        benchmark::DoNotOptimize(result);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["points/s"] = benchmark::Counter(
        static_cast<double>(points) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(wholeEarthProducerOnly)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

void batchFromMemory(benchmark::State& state)
{
    constexpr int kLines = 200000;
    std::string input;
    for (int i = 0; i < kLines; ++i) {
        input += std::to_string(-89.5 + (i % 1790) * 0.1) + ',' + std::to_string(-179.5 + (i % 3590) * 0.1) +
                 " 100 2026.5\n";
    }
    std::string model = "--model=" + modelPath();
    std::vector<std::string> storage{"tellurim-cli", "batch", model};
    std::vector<char*> argv;
    for (auto& arg : storage) {
        argv.push_back(arg.data());
    }
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        if (tellurim::cli::runCli(static_cast<int>(argv.size()), argv.data(), in, out, err) != 0) {
            state.SkipWithError("batch failed");
            break;
        }
        benchmark::DoNotOptimize(out.tellp());
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(kLines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(batchFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

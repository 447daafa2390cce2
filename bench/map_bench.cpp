// The maps' speed: a world map drawn from nothing (renderer and view new, the
// coastlines read), and the frames of the date slider and Play at 1280x640,
// where only the date changes (WMM-2025, IGRF-14 over its 130 years, and the
// high-resolution WMMHR-2025). Counters: frames per second of the clock and
// of the whole process's processor time (every thread).
#include "workspace/ModelEngine.h"
#include "render/MapPainter.h"
#include "render/MapRenderer.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <string>

namespace {

using namespace tellurim;

class QuietSink final : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

struct LoadedModel {
    explicit LoadedModel(const char* name)
    {
        std::string path = std::string(TELLURIM_MODELS_DIR) + "/" + name;
        engine.readModelFile(kAllDegrees, path);
    }
    QuietSink sink;
    ModelEngine engine{sink};
};

void paint(const MapLayout& layout, QImage& image)
{
    QPainter painter(&image);
    paintMap(painter, layout);
}

// Opening the Map window or running tellurim-cli map: nothing cached but the
// model (the coastline file is read once per process, here in the first run).
void BM_WorldMapFromNothing(benchmark::State& state)
{
    LoadedModel model("WMM2025.COF");
    QImage image(1440, 720, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        MapRenderer renderer(model.engine.model());
        const MapView view(ProjectionKind::PlateCarree, std::nullopt, image.size());
        MapRequest request;
        request.date = 2026.5f;
        paint(renderer.layout(view, request), image);
    }
}
BENCHMARK(BM_WorldMapFromNothing)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// One frame of the date slider or Play: the view stays, the date moves.
void sliderFrames(benchmark::State& state, const char* modelName, float first, float last, ProjectionKind kind)
{
    LoadedModel model(modelName);
    MapRenderer renderer(model.engine.model());
    QImage image(1280, 640, QImage::Format_ARGB32_Premultiplied);
    const MapView view(kind, std::nullopt, image.size());
    MapRequest request;
    request.date = first;
    request.scale = renderer.layout(view, request).colourBar.scale;  // Play keeps one scale
    const float step = (last - first) / 300.0f;
    for (auto _ : state) {
        request.date = request.date + step > last ? first : request.date + step;
        paint(renderer.layout(view, request), image);
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(sliderFrames, wmm2025, "WMM2025.COF", 2025.0f, 2030.0f, ProjectionKind::PlateCarree)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(sliderFrames, igrf14, "IGRF14.shc", 1900.0f, 2030.0f, ProjectionKind::PlateCarree)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(sliderFrames, wmm2025_north_polar, "WMM2025.COF", 2025.0f, 2030.0f, ProjectionKind::NorthPolar)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(sliderFrames, wmmhr2025, "WMMHR2025.COF", 2025.0f, 2030.0f, ProjectionKind::PlateCarree)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    int qtArgc = 3;
    char name[] = "map_bench", option[] = "-platform", platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

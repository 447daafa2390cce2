// The window's Make Grid against tellurim-cli on the whole Earth at 0.25
// degrees, and the screenshots of the grid and progress windows.
//   window_grid time OUTPUT_FOLDER   times both, the window's with its real
//                                    progress window (scripted answers)
//   window_grid cancel OUTPUT_FOLDER nine rows of 360,001 points, Cancel
//                                    clicked after 1.5 s: how long until the
//                                    run ends, and the longest the window
//                                    went without handling its events
//   window_grid show                 shows the two windows, 4 s each
#include "ui/GridDialog.h"
#include "ui/ProgressDialog.h"
#include "workspace/InteractionMessageSink.h"
#include "ui/QtInteraction.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace tellurim;

class Today final : public Clock {
public:
    CalendarDate today() const override { return {2025, 7, 2}; }
};

// Answers the grid and file dialogs; the progress window is the real one.
class BenchInteraction final : public WorkspaceInteraction {
public:
    BenchInteraction(std::string path, GridSettings area) : m_path(std::move(path)), m_area(area) {}
    Answer ask(const Message& message) override
    {
        std::printf("box: %s\n", message.text.c_str());
        return Answer::Ok;
    }
    std::optional<std::string> chooseFile(const FileRequest&) override { return m_path; }
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view) override { return nullptr; }
    std::optional<GridSettings> editGridRectangle(const GridSettings&) override
    {
        return m_area;
    }
    std::unique_ptr<Progress> openProgress(std::string_view caption) override
    {
        return m_qt.openProgress(caption);
    }
    void runPoleDialog(PoleDialogActions&) override {}

private:
    std::string m_path;
    GridSettings m_area;
    QtInteraction m_qt;
};

void pause(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int show()
{
    QtInteraction interaction;
    GridDialog grid(GridSettings{0, -41.5f, -39.5f, 0.1f, -106.25f, -104.25f, 0.1f}, interaction);
    grid.show();
    pause(4000);
    grid.hide();
    ProgressDialog progress;
    progress.open(nullptr);
    progress.setPosition(45);
    pause(4000);
    return 0;
}

const std::string kModel = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";

// Make Grid in a workspace on WMM2025 at sea level, 2025.5.
struct BenchWindow {
    BenchWindow(const std::string& output, GridSettings area) : interaction(output, area) {}
    BenchInteraction interaction;
    InteractionMessageSink sink{interaction};
    ModelEngine engine{sink};
    Today clock;
    Workspace workspace{engine, interaction, clock, kModel};

    double makeGrid()
    {
        workspace.record.ALTM = 0.0f;
        workspace.record.DDATE = 2025.5f;
        const auto started = std::chrono::steady_clock::now();
        workspace.makeGrid();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
};

int cancel(const std::string& folder)
{
    const std::string output = folder + "/cancel.csv";
    BenchWindow bench(output, GridSettings{0, -1.0f, 1.0f, 0.25f, -180.0f, 180.0f, 0.001f});
    QElapsedTimer clock;
    qint64 clicked = -1;
    qint64 lastTick = -1;
    qint64 longestGap = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0)
            longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        if (clicked < 0 && now >= 1500) {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* progress = qobject_cast<ProgressDialog*>(widget); progress && progress->isVisible()) {
                    clicked = clock.elapsed();
                    progress->cancelButton()->click();
                }
            }
        }
    });
    clock.start();
    ticks.start(5);
    bench.makeGrid();
    const qint64 ended = clock.elapsed();
    ticks.stop();
    std::ifstream written(output);
    std::string line;
    std::string latitude;
    long rows = 0;
    long points = 0;
    std::getline(written, line);  // header
    while (std::getline(written, line)) {
        ++points;
        if (line.compare(0, line.find(','), latitude) != 0) {
            latitude = line.substr(0, line.find(','));
            ++rows;
        }
    }
    std::printf("cancel clicked at %lld ms, run ended %lld ms later, %ld of 9 rows (%ld points) written, "
                "longest gap between 5 ms ticks %lld ms\n",
                static_cast<long long>(clicked), static_cast<long long>(ended - clicked), rows, points,
                static_cast<long long>(longestGap));
    return clicked >= 0 ? 0 : 1;
}

int time(const std::string& folder)
{
    BenchWindow bench(folder + "/window.csv", GridSettings{0, -90.0f, 90.0f, 0.25f, -180.0f, 180.0f, 0.25f});
    const std::chrono::duration<double> window{bench.makeGrid()};
    const std::string& model = kModel;

    const std::string command = std::string("'") + TELLURIM_CLI_PATH +
                                "' grid --lat -90 90 0.25 --lon -180 180 0.25 --year 2025.5 --model '" + model +
                                "' --output '" + folder + "/cli.csv'";
    const auto cliStarted = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        return 1;
    const std::chrono::duration<double> cli = std::chrono::steady_clock::now() - cliStarted;
    std::printf("window %.2f s, command line %.2f s\n", window.count(), cli.count());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "show")
        return show();
    if (mode == "time" && argc > 2)
        return time(argv[2]);
    if (mode == "cancel" && argc > 2)
        return cancel(argv[2]);
    std::fprintf(stderr, "usage: window_grid time FOLDER | cancel FOLDER | show\n");
    return 2;
}

// SIGTERM during a window grid ends it as Cancel would, with nobody left to
// answer a box.
#include "workspace/InteractionMessageSink.h"
#include "ui/QtInteraction.h"
#include "ui/TerminationSignals.h"
#include "support/EngineSupport.h"
#include "support/FixedClock.h"
#include "support/TestEnvironment.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace tellurim {
namespace {

// Answers the grid and file dialogs; boxes and the progress window are real.
class GridAnswers final : public WorkspaceInteraction {
public:
    GridAnswers(QtInteraction& qt, std::string path, GridSettings area)
        : m_qt(qt), m_path(std::move(path)), m_area(area) {}
    Answer ask(const Message& message) override { return m_qt.ask(message); }
    std::optional<std::string> chooseFile(const FileRequest&) override { return m_path; }
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view) override { return nullptr; }
    std::optional<GridSettings> editGridRectangle(const GridSettings&) override { return m_area; }
    std::unique_ptr<Progress> openProgress(std::string_view caption) override { return m_qt.openProgress(caption); }
    void runPoleDialog(PoleDialogActions&) override {}

private:
    QtInteraction& m_qt;
    std::string m_path;
    GridSettings m_area;
};

TEST(TerminationSignals, SigtermDuringAGridCancelsItKeepsWholeRowsAndShowsNoBox)
{
    TempSettings settings;
    TempDir folder;
    const std::string path = (folder.path() / "grid.csv").string();
    // 81 rows of some 36,000 points.
    const GridSettings area{0, -10.0f, 10.0f, 0.25f, -180.0f, 180.0f, 0.01f};
    QtInteraction qt;
    GridAnswers answers(qt, path, area);
    InteractionMessageSink sink(answers);
    ModelEngine engine(sink);
    FixedClock clock(2026, 3, 15);
    Workspace workspace(engine, answers, clock, shippedModel());

    TerminationSignals termination([&qt] { qt.endSession(); });
    // The signal comes once the first row (some 7 MB) is in the file.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        std::error_code error;
        if (std::filesystem::file_size(path, error) > 8'000'000 && !error) {
            watch.stop();
            ::kill(::getpid(), SIGTERM);
        }
    });
    watch.start(5);
    workspace.makeGrid();  // a box shown now would be closed by the watchdog as a failure
    EXPECT_TRUE(termination.received());
    EXPECT_EQ(workspace.grid, area);  // kept in the settings on the way out

    std::ifstream file(path);
    std::string line;
    std::getline(file, line);  // header
    std::map<std::string, int> pointsPerRow;
    bool whole = true;
    while (std::getline(file, line)) {
        whole = whole && !file.eof() && line.ends_with(",\r");
        ++pointsPerRow[line.substr(0, line.find(','))];
    }
    EXPECT_TRUE(whole);
    ASSERT_FALSE(pointsPerRow.empty());
    EXPECT_LT(pointsPerRow.size(), 81u);
    const int firstRow = pointsPerRow.at("-10.000000");
    EXPECT_GT(firstRow, 35000);
    for (const auto& [latitude, points] : pointsPerRow)
        EXPECT_EQ(points, firstRow) << latitude;
}

}  // namespace
}  // namespace tellurim

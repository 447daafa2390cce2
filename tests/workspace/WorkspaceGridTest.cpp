#include "workspace/Workspace.h"

#include "cli/CliOutput.h"
#include "cli/CliTestSupport.h"
#include "files/LocationFile.h"
#include "files/ReplaceFile.h"
#include "grid/GridCsv.h"
#include "grid/GridSize.h"
#include "grid/GridWalk.h"
#include "support/FileSizeLimit.h"
#include "support/WorkspaceHarness.h"
#include "workspace/GridEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace tellurim {

// For readable failures.
void PrintTo(const GridSettings& g, std::ostream* out)
{
    *out << "{" << g.lNeverGrid << ": lat " << g.StartLat << " " << g.EndLat << " " << g.LatInc << ", lon "
         << g.StartLong << " " << g.EndLong << " " << g.LongInc << "}";
}

namespace {

// Crosses 55 degrees, so points with and without grid variation mix.
constexpr GridSettings kArea{0, 50.0f, 60.0f, 0.7f, -20.0f, 20.0f, 1.3f};

Prompt info(const std::string& text)
{
    return messageBox(Icon::Information, "Tellurim", text);
}

/// A started program with the shipped model, in a scratch folder, at 250 m
/// on 2027.25.
class GridFlow : public ::testing::Test {
protected:
    GridFlow()
    {
        h.workspace.record.ALTM = 250.0f;
        h.workspace.record.DDATE = 2027.25f;
        ui.clearTranscript();
    }

    Workspace& ws() { return h.workspace; }

    /// The prompts' kinds, in order.
    std::vector<Prompt::Kind> kinds() const
    {
        std::vector<Prompt::Kind> result;
        for (const Prompt& p : ui.transcript())
            result.push_back(p.kind);
        return result;
    }

    /// The first rows of kArea's file as the point calculation gives them.
    std::string firstRows(size_t rows)
    {
        std::string text = gridCsvHeader();
        const std::vector<float> lats = gridAxis(kArea.StartLat, kArea.EndLat, kArea.LatInc);
        for (size_t row = 0; row < rows; ++row)
            for (const float lon : gridAxis(kArea.StartLong, kArea.EndLong, kArea.LongInc))
                appendGridLine(text, lats[row], lon, h.engine.computePoint(250.0f, lats[row], lon, 2027.25f));
        return text;
    }

    TempSettings settings;
    TempDir work;
    ScopedCurrentDir inWork{work.path()};
    ScriptedInteraction ui;
    WorkspaceHarness h{ui, {2026, 3, 15}, cli::modelPath()};
};

using K = Prompt::Kind;

TEST_F(GridFlow, FirstUseOffersASquareAroundTheSignedLocationOnceAndCancelsKeepTheSettings)
{
    ws().record.DLAT = 40.5f;
    ws().record.IHEM_NS = 1;  // south
    ws().record.DLON = 105.25f;
    ws().record.JHEM_EW = 0;  // west
    ws().lastFileName = "earlier.csv";
    ASSERT_NE(ws().grid.lNeverGrid, 0);
    const GridSettings square{0, -41.5f, -39.5f, 0.1f, -106.25f, -104.25f, 0.1f};

    ui.then(GridArea{});
    ws().makeGrid();
    ASSERT_EQ(kinds(), std::vector<K>{K::Grid});
    EXPECT_EQ(ui.transcript()[0].grid, square);
    EXPECT_EQ(ws().grid, square);  // kept even though the dialog was cancelled
    EXPECT_EQ(ws().record.IHEM_NS, 1);
    EXPECT_EQ(ws().record.JHEM_EW, 0);

    // The next run offers the same values again; a cancelled Save dialog
    // forgets what was entered.
    ui.clearTranscript();
    ui.then(GridArea{kArea}).then(File{});
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File}));
    EXPECT_EQ(ui.transcript()[0].grid, square);
    EXPECT_TRUE(sameDialog(ui.transcript()[1], FileRequest{.mode = FileRequest::Mode::Save,
                                                           .title = "Name of Tellurim f File",
                                                           .filterDescription = "Tellurim GRID files (*.CSV)",
                                                           .pattern = "*.CSV",
                                                           .defaultExtension = "csv",
                                                           .initialName = "earlier.csv",
                                                           .confirmOverwrite = true}));
    EXPECT_EQ(ws().grid, square);
    EXPECT_EQ(ws().lastFileName, "earlier.csv");
    EXPECT_TRUE(ui.finished());

    // Near a pole the square stays inside the accepted ranges.
    LocationRecord north;
    north.DLAT = 89.5f;
    north.DLON = 179.5f;
    const GridSettings clipped = gridAround(north);
    EXPECT_EQ(clipped.EndLat, 90.0f);
    EXPECT_EQ(clipped.EndLong, 180.0f);
    EXPECT_EQ(clipped.StartLat, 88.5f);
}

TEST_F(GridFlow, ACompletedGridHoldsTheCommandLineBytesAndLeavesTheLocationAsItWas)
{
    // A path past 255 characters is taken whole.
    const std::filesystem::path folder = work.path() / std::string(200, 'g');
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::string(60, 'f') + ".csv")).string();
    ASSERT_GT(path.size(), 255u);

    const LocationRecord record = ws().record;
    const FieldResult results = ws().results();
    const std::string texts = ws().texts().CVALIDITY + ws().texts().CPOLAR1 + ws().texts().CPOLAR2;
    const std::string shownTI = h.view.text(Field::TI);
    const int32_t changed = ws().locationChanged;

    ui.then(GridArea{kArea}).then(File{path}).then(ProgressRun{});
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Progress, K::ProgressClosed, K::Message}));
    EXPECT_EQ(ui.transcript()[2].caption, "Generating Grid File");
    EXPECT_TRUE(sameBox(ui.transcript().back(), info("Grid created OK")));
    EXPECT_EQ(ws().grid, kArea);
    EXPECT_EQ(ws().lastFileName, path);

    const std::vector<std::string>& events = ui.progressEvents();
    const std::vector<std::string> start{"range 0 100", "position 0", "step 10", "position 0", "poll"};
    ASSERT_GE(events.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), events.begin()));
    const std::vector<float> rows = gridAxis(kArea.StartLat, kArea.EndLat, kArea.LatInc);
    EXPECT_EQ(std::count(events.begin(), events.end(), "poll"), static_cast<long>(rows.size()));
    EXPECT_EQ(events.back(), "poll");
    EXPECT_EQ(events[events.size() - 2], "position 105");  // the row at 60.5, beyond the end

    const std::string cliFile = work.file("cli.csv");
    std::ostringstream out, err;
    ASSERT_EQ(cli::runCliWith({"grid", "--lat", "50", "60", "0.7", "--lon", "-20", "20", "1.3", "--year", "2027.25",
                               "--elevation", "250", "--model", cli::modelPath(), "--output", cliFile},
                              out, err),
              0)
        << err.str();
    const std::string bytes = readWholeFile(path);
    EXPECT_EQ(bytes.size(), readWholeFile(cliFile).size());
    EXPECT_TRUE(bytes == readWholeFile(cliFile));

    // The grid had a record of its own: what the window holds and shows,
    // and so what a save, print, export or the settings would store, is the
    // user's location.
    EXPECT_EQ(encodeLocationFile(ws().record), encodeLocationFile(record));
    EXPECT_EQ(std::memcmp(&ws().results(), &results, sizeof results), 0);
    EXPECT_EQ(ws().texts().CVALIDITY + ws().texts().CPOLAR1 + ws().texts().CPOLAR2, texts);
    EXPECT_EQ(h.view.text(Field::TI), shownTI);
    EXPECT_EQ(ws().locationChanged, changed);
    EXPECT_TRUE(ui.finished());
}

TEST_F(GridFlow, AGridLargerThanTheFreeSpaceIsMadeOnlyWhenTheUserSaysYes)
{
    const GridSettings before{0, 1.0f, 2.0f, 0.5f, 3.0f, 4.0f, 0.25f};
    ws().grid = before;
    const GridSettings huge{0, -90.0f, 90.0f, 0.001f, -180.0f, 180.0f, 0.001f};
    const std::string path = work.file("huge.csv");
    if (estimatedGridFileBytes(huge) <= freeBytesFor(path).value_or(UINT64_MAX))
        GTEST_SKIP() << "this file system has room for the whole grid";
    const auto isTheQuestion = [](const Prompt& p) {
        const std::string end = " are free. Create it anyway?";
        return p.icon == Icon::Question && p.caption == "Tellurim" && p.buttons == Buttons::YesNoCancelDefaultNo &&
               p.text.rfind("The grid file needs about 13.0 TB but only ", 0) == 0 && p.text.size() > end.size() &&
               p.text.substr(p.text.size() - end.size()) == end;
    };

    ui.then(GridArea{huge}).then(File{path}).then(Answer::No);
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Message}));
    EXPECT_TRUE(isTheQuestion(ui.transcript().back())) << ui.transcript().back().text;
    EXPECT_FALSE(pathExists(path));  // made to measure its file system, and removed again
    EXPECT_EQ(ws().grid, before);

    // An earlier file is left whole by Cancel.
    writeWholeFile(path, "earlier rows\r\n");
    ui.clearTranscript();
    ui.then(GridArea{huge}).then(File{path}).then(Answer::Cancel);
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Message}));
    EXPECT_EQ(readWholeFile(path), "earlier rows\r\n");

    // Yes goes ahead (and Cancel in the progress window ends it at once).
    ui.clearTranscript();
    ui.then(GridArea{huge}).then(File{path}).then(Answer::Yes).then(ProgressRun{1});
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Message, K::Progress, K::ProgressClosed, K::Message}));
    EXPECT_TRUE(sameBox(ui.transcript().back(), info("Grid creation cancelled by user")));
    EXPECT_TRUE(readWholeFile(path) == gridCsvHeader());
    EXPECT_TRUE(ui.finished());
}

TEST_F(GridFlow, NoQuestionBeforeTheFileOpensAndNoneForADeviceOrAKernelFolder)
{
    const GridSettings huge{0, -90.0f, 90.0f, 0.001f, -180.0f, 180.0f, 0.001f};
    ws().lastFileName = work.file("earlier.csv");

    // Cannot be created: the open error alone, and the path is not offered again.
    ui.then(GridArea{huge}).then(File{"/proc/foo.csv"});
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Message}));
    EXPECT_EQ(ui.transcript().back().caption, "Tellurim File Open Error");
    EXPECT_EQ(ws().lastFileName, work.file("earlier.csv"));
    EXPECT_TRUE(ui.finished());

    // A device keeps nothing, so its file system is never measured.
    CsvFile device;
    ASSERT_FALSE(device.open("/dev/null").has_value());
    EXPECT_FALSE(gridSpaceShortage(huge, device.descriptor()).has_value());
    device.discard();
    EXPECT_TRUE(pathExists("/dev/null"));

    // An existing file opened to be measured keeps its content until emptied.
    const std::string path = work.file("big.csv");
    writeWholeFile(path, std::string(1 << 20, 'x'));
    CsvFile file;
    ASSERT_FALSE(file.open(path).has_value());
    const GridSettings small{0, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f};
    EXPECT_FALSE(gridSpaceShortage(small, file.descriptor()).has_value());
    file.discard();
    EXPECT_EQ(readWholeFile(path).size(), 1u << 20);
}

TEST_F(GridFlow, CancelBeforeTheThirdRowKeepsTwoCompleteRows)
{
    const std::string path = work.file("cancelled.csv");
    ui.then(GridArea{kArea}).then(File{path}).then(ProgressRun{3});
    ws().makeGrid();
    ASSERT_EQ(kinds(), (std::vector<K>{K::Grid, K::File, K::Progress, K::ProgressClosed, K::Message}));
    EXPECT_TRUE(sameBox(ui.transcript().back(), info("Grid creation cancelled by user")));
    EXPECT_TRUE(readWholeFile(path) == firstRows(2));
    EXPECT_EQ(ws().grid, kArea);  // a cancelled grid is remembered too
    EXPECT_TRUE(ui.finished());
}

TEST_F(GridFlow, FailuresEndTheRunWithTheirMessageAndKeepTheSettings)
{
    const GridSettings before{0, 1.0f, 2.0f, 0.5f, 3.0f, 4.0f, 0.25f};
    ws().grid = before;
    const auto expectOnly = [&](std::vector<K> expected, const Prompt& last) {
        EXPECT_EQ(kinds(), expected);
        EXPECT_TRUE(sameBox(ui.transcript().back(), last));
        EXPECT_EQ(ws().grid, before);
        ui.clearTranscript();
    };
    const Prompt writeError = info("Error writing CSV file. Code: 13.");

    // A file that cannot be created.
    const std::string missing = work.file("no/such/folder/grid.csv");
    ui.then(GridArea{kArea}).then(File{missing});
    ws().makeGrid();
    expectOnly({K::Grid, K::File, K::Message},
               messageBox(Icon::Exclamation, "Tellurim File Open Error",
                          "Cannot open file:\n\n" + missing + ".\n\nPlease check file name and try again"));
    EXPECT_EQ(ws().lastFileName, missing);

    // A full disk already at the header: no progress window, no completion.
    ui.then(GridArea{kArea}).then(File{"/dev/full"});
    ws().makeGrid();
    expectOnly({K::Grid, K::File, K::Message}, writeError);

    // A full disk part way: the window closes before the message, and the
    // file ends at the last whole row.
    const std::string partial = work.file("partial.csv");
    {
        FileSizeLimit limit(firstRows(3).size() + 100);
        ASSERT_TRUE(limit.active());
        ui.then(GridArea{kArea}).then(File{partial}).then(ProgressRun{});
        ws().makeGrid();
    }
    expectOnly({K::Grid, K::File, K::Progress, K::ProgressClosed, K::Message}, writeError);
    EXPECT_TRUE(readWholeFile(partial) == firstRows(3));

    // No model: said at once, nothing asked.
    std::string none = work.file("none.COF");
    h.engine.readModelFile(12, none);
    ui.clearTranscript();
    ws().makeGrid();
    expectOnly({K::Message}, messageBox(Icon::Exclamation, "Tellurim",
                                        "There is no current model so results cannot be updated"));
    EXPECT_TRUE(ui.finished());
}

}  // namespace
}  // namespace tellurim

namespace tellurim {
namespace {

TEST(GridEntry, OkChecksStartingLongitudeFirstAndReportsTheFirstBadField)
{
    const GridSettings base{0, 0, 0, 0, 0, 0, 0};
    struct Case {
        GridTexts texts;  // StartLong, StartLat, EndLat, EndLong, LatInc, LongInc
        GridField field;
        const char* text;
    };
    const Case cases[] = {
        {{"181", "x", "0", "0", "1", "1"}, GridField::StartLong, "Please enter a number between -180 and 180."},
        {{"-180", "x", "91", "0", "1", "1"}, GridField::StartLat, "Please enter a number."},
        {{"180", "-90", "90.01", "0", "1", "1"}, GridField::EndLat, "Please enter a number between -90 and 90."},
        {{"0", "0", "0", "1e39", "1", "1"}, GridField::EndLong, "Please enter a number between -180 and 180."},
        {{"0", "0", "0", "0", "0.0009", "1"}, GridField::LatInc, "Please enter a number between 0.001 and 180."},
        {{"0", "0", "0", "0", "0.001", "180.5"}, GridField::LongInc, "Please enter a number between 0.001 and 180."},
    };
    for (const Case& c : cases) {
        const auto read = readGridEntry(c.texts, base);
        const auto* problem = std::get_if<GridEntryProblem>(&read);
        ASSERT_NE(problem, nullptr) << c.text;
        EXPECT_EQ(problem->field, c.field) << c.text;
        EXPECT_EQ(problem->message.text, c.text);
        EXPECT_EQ(problem->message.caption, "Tellurim");
    }
    const auto read = readGridEntry({" -180", "-90", "90", "180 ", "0.001", "180"}, base);
    ASSERT_TRUE(std::holds_alternative<GridSettings>(read));
    EXPECT_EQ(std::get<GridSettings>(read), (GridSettings{0, -90.0f, 90.0f, 0.001f, -180.0f, 180.0f, 180.0f}));
    EXPECT_EQ(gridTexts({0, 0.1f, -38.75f, 0.001f, 1e6f, -0.000123457f, 1.5f}),
              (GridTexts{"1e+06", "0.1", "-38.75", "-0.000123457", "0.001", "1.5"}));
}

}  // namespace
}  // namespace tellurim

// A value the user did not edit keeps its full value: passing through the
// fields and Recalc move nothing, and what the grid computes for is the date
// typed, not its six-digit display.

#include "cli/CliTestSupport.h"
#include "files/LocationFile.h"
#include "grid/GridCsv.h"
#include "record/Conversions.h"
#include "support/WorkspaceHarness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tellurim {
namespace {

class NoDrift : public ::testing::Test {
protected:
    NoDrift()
    {
        // A date whose decimal year reads back as another day ("2026.94"),
        // a height that does not survive metres to feet and back, and a
        // decimal latitude typed with more digits than it shows.
        typeAndLeave(Field::ALTM, "1655");
        typeAndLeave(Field::DLAT, "40.0153");
        typeAndLeave(Field::DLON, "105.2705");
        ui.clearTranscript();
    }

    void typeAndLeave(Field field, const std::string& text)
    {
        h.view.type(field, text);
        h.workspace.leaveField(field);
    }

    /// Every field left in keyboard order, as Tab does, then Recalc.
    void tabThroughAndRecalc()
    {
        for (const Field field : tabOrder()) {
            h.view.setFocus(field);
            h.workspace.leaveField(field);
        }
        h.view.setFocus(std::nullopt);
        h.workspace.recalc(std::nullopt);
    }

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> texts;
        for (const FieldSpec& spec : fieldTable())
            texts.push_back(h.view.text(spec.field));
        return texts;
    }

    TempSettings settings;
    TempDir work;
    ScopedCurrentDir inWork{work.path()};
    ScriptedInteraction ui;
    WorkspaceHarness h{ui, {2026, 12, 8}, cli::modelPath()};
};

TEST_F(NoDrift, TabbingThroughTheWindowAndRecalcChangeNoValue)
{
    const LocationRecord before = h.workspace.record;
    const FieldResult results = h.workspace.results();
    const std::vector<std::string> shown = shownTexts();
    ASSERT_EQ(h.view.text(Field::DDATE), "2026.94");

    tabThroughAndRecalc();
    tabThroughAndRecalc();

    EXPECT_EQ(encodeLocationFile(h.workspace.record), encodeLocationFile(before));
    EXPECT_EQ(h.workspace.record.DDATE, dateToDecimalYear(12, 8, 2026));
    EXPECT_EQ(h.workspace.record.IDAY, 8);
    EXPECT_EQ(h.workspace.record.ALTM, 1655.0f);
    EXPECT_EQ(h.workspace.record.DLAT, 40.0153f);
    EXPECT_EQ(std::memcmp(&h.workspace.results(), &results, sizeof results), 0);
    EXPECT_EQ(shownTexts(), shown);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST_F(NoDrift, AnUneditedOutOfRangeValueIsStillRefused)
{
    // 90 degrees and some minutes and seconds add up past 90: refused at the
    // degrees, and again at every recalculation while nobody edits it.
    typeAndLeave(Field::ILATD, "90");
    EXPECT_LE(h.workspace.record.DLAT, 90.0f);  // never derived
    for (int recalc = 0; recalc < 2; ++recalc) {
        ASSERT_EQ(ui.transcript().size(), 1u);
        EXPECT_EQ(ui.transcript()[0].text, "Please enter an integer between 0 and 90.");
        EXPECT_EQ(h.view.focus(), Field::ILATD);
        ui.clearTranscript();
        h.workspace.recalc(std::nullopt);
    }
    ASSERT_EQ(ui.transcript().size(), 1u);
    ui.clearTranscript();
    EXPECT_TRUE(ui.finished());
}

TEST_F(NoDrift, AGridAfterTabbingEqualsTheCommandLineForTheTypedDate)
{
    tabThroughAndRecalc();
    const GridSettings area{0, 38.0f, 41.0f, 0.5f, -106.0f, -103.0f, 0.75f};
    const std::string path = work.file("window.csv");
    ui.then(GridArea{area}).then(File{path}).then(ProgressRun{});
    h.workspace.makeGrid();
    ASSERT_FALSE(ui.transcript().empty());
    EXPECT_EQ(ui.transcript().back().text, "Grid created OK");

    const std::string cliFile = work.file("cli.csv");
    const cli::CliRun run = cli::runWith({"grid", "--lat", "38", "41", "0.5", "--lon", "-106", "-103", "0.75",
                                          "--date", "2026-12-08", "--elevation", "1655", "--model",
                                          cli::modelPath(), "--output", cliFile});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = readWholeFile(path);
    EXPECT_GT(bytes.size(), gridCsvHeader().size());
    EXPECT_TRUE(bytes == readWholeFile(cliFile));
    EXPECT_TRUE(ui.finished());
}

TEST_F(NoDrift, TheCopiedResultIsTheBlockTheCommandLinePrints)
{
    // The settings' hemispheres: south and east.
    const cli::CliRun run = cli::runWith({"point", "--lat", "-40.0153", "--lon", "105.2705", "--date", "2026-12-08",
                                          "--elevation", "1655", "--model", cli::modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(h.workspace.resultText(), run.out);
    EXPECT_NE(run.out.find("Date:                   2026-12-08 (decimal year 2026.94)"), std::string::npos);
}

}  // namespace
}  // namespace tellurim

#include "files/ReportLayout.h"
#include "poles/PoleCsv.h"
#include "record/Conversions.h"
#include "record/NumberText.h"
#include "support/TestEnvironment.h"
#include "support/WorkspaceHarness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tellurim {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct LinePrinter final : PageCanvas {
    std::vector<PlacedLine>* lines;
    explicit LinePrinter(std::vector<PlacedLine>& out) : lines(&out) {}
    int pixelsPerInchX() const override { return 300; }
    int pixelsPerInchY() const override { return 300; }
    void drawCentredText(int x, int y, std::string_view text) override { lines->push_back({x, y, std::string(text)}); }
    PrintResult finish() override { return {true, {}, -1}; }
};

// The main window stands on 15 March 2026 with WMM2025.
struct PoleFlow : ::testing::Test {
    TempSettings settings;
    TempDir dir;
    ScriptedInteraction ui;
    WorkspaceHarness h{ui};
};

TEST_F(PoleFlow, OpensOnTheMainDateRecomputesOnLeavingAndLeavesTheMainWindowAlone)
{
    const LocationRecord before = h.workspace.record;
    const float ti = h.workspace.results().TI;
    ui.then(PoleSession{[&](PoleDialogActions& actions, FakePoleView& view) {
        const MagneticPoles expected = h.engine.findMagneticPoles(before.DDATE);
        EXPECT_EQ(view.text(PoleField::month), "3");
        EXPECT_EQ(view.text(PoleField::year), "2026");
        EXPECT_EQ(view.text(PoleField::decimalDate), formatSingle(before.DDATE));
        EXPECT_EQ(view.text(PoleField::northDecimalLatitude), formatSingle(expected.north.decimalLatitude));
        EXPECT_EQ(view.text(PoleField::southMinutesLongitude), formatInteger(expected.south.longitudeMinutes));

        // 1 March 2000: 2000 + 61/366.
        view.type(PoleField::day, "1");
        view.type(PoleField::year, "2000");
        actions.dateFieldLeft(PoleField::year);
        EXPECT_EQ(view.text(PoleField::decimalDate), "2000.17");
        const MagneticPoles y2000 = h.engine.findMagneticPoles(static_cast<float>(2000.0 + 61.0 / 366.0));
        EXPECT_EQ(view.text(PoleField::northDecimalLongitude), formatSingle(y2000.north.decimalLongitude));

        // A letter in the day, then a month out of range: message, focus back, nothing recomputed.
        const std::string shown = view.text(PoleField::northDecimalLongitude);
        view.type(PoleField::day, "x");
        actions.dateFieldLeft(PoleField::day);
        EXPECT_EQ(view.focus, PoleField::day);
        EXPECT_FALSE(actions.accept());
        view.type(PoleField::day, "1");
        view.type(PoleField::month, "13");
        actions.dateFieldLeft(PoleField::month);
        EXPECT_EQ(view.focus, PoleField::month);
        EXPECT_EQ(view.focusReturns, 3);
        EXPECT_EQ(view.text(PoleField::northDecimalLongitude), shown);
        view.type(PoleField::month, "3");
        EXPECT_TRUE(actions.accept());
    }});
    h.workspace.showPoles();
    const auto boxes = ui.messages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(sameBox(boxes[0], messageBox(Icon::None, "Tellurim", "Please enter an integer.")));
    EXPECT_TRUE(sameBox(boxes[1], boxes[0]));
    EXPECT_TRUE(sameBox(boxes[2], messageBox(Icon::Exclamation, "Tellurim",
                                             "Please enter an integer between 1 and 12.")));
    EXPECT_EQ(h.workspace.record.IYR, before.IYR);
    EXPECT_EQ(h.workspace.record.DDATE, before.DDATE);
    EXPECT_EQ(h.workspace.results().TI, ti);
    EXPECT_FALSE(h.workspace.busy());
}

TEST_F(PoleFlow, ExportTwiceAcrossWindowsGivesHeaderAndTwoRowsAndPrintPlacesSixLines)
{
    const std::string path = dir.file("poles.csv");
    std::vector<PlacedLine> page;
    ui.then(PoleSession{[&](PoleDialogActions& actions, FakePoleView&) {
        actions.exportRow();
    }}).then(File{path});
    ui.then(PoleSession{[&](PoleDialogActions& actions, FakePoleView& view) {
        // 31 December 2003 is exactly 2004.0; the second export asks nothing.
        view.type(PoleField::month, "12");
        view.type(PoleField::day, "31");
        view.type(PoleField::year, "2003");
        actions.dateFieldLeft(PoleField::day);
        actions.exportRow();
        actions.print();
    }});
    ui.then(Printer{std::make_unique<LinePrinter>(page)});
    h.workspace.showPoles();
    h.workspace.showPoles();
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(h.workspace.poleExport.lastPoleFileName, path);
    EXPECT_EQ(h.workspace.lastFileName, "");

    const MagneticPoles later = h.engine.findMagneticPoles(2004.0f);
    const std::string expected =
        poleCsvHeader() + poleCsvRow(15, 3, 2026, h.workspace.record.DDATE,
                                     h.engine.findMagneticPoles(h.workspace.record.DDATE)) +
        poleCsvRow(31, 12, 2003, 2004.0f, later);
    EXPECT_EQ(fileText(path), expected);
    EXPECT_EQ(poleCsvHeader().size(), 444u);
    EXPECT_TRUE(sameBox(ui.messages().back(), messageBox(Icon::Information, "Tellurim", "Pole positions exported OK")));

    ASSERT_EQ(page.size(), 6u);
    const int ys[] = {300, 405, 510, 569, 675, 735};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(page[i].x, 1200);
        EXPECT_EQ(page[i].y, ys[i]);
    }
    EXPECT_EQ(page[0].text, kMainFieldNotice);
    EXPECT_EQ(page[1].text, "Pole positions for Date: (m/d/y) 12/31/2003 Decimal Date: 2004.0000");
    std::string north = "North Pole: Latitude: " + std::to_string(later.north.latitudeDegrees) + " deg " +
                        std::to_string(later.north.latitudeMinutes) + " min ";
    appendFixed(north, static_cast<double>(later.north.latitudeSeconds), 2);
    EXPECT_EQ(page[2].text.rfind(north, 0), 0u) << page[2].text;
}

TEST_F(PoleFlow, ExportFailuresAndNoModel)
{
    // A file that cannot be created: asked again next time. A full disk: the
    // write error, no success box, the file kept open.
    const std::string missing = dir.file("no/such/folder/p.csv");
    ui.then(PoleSession{[](PoleDialogActions& actions, FakePoleView&) {
        actions.exportRow();
        actions.exportRow();
        actions.exportRow();
    }}).then(File{missing}).then(File{"/dev/full"});
    h.workspace.showPoles();
    const auto boxes = ui.messages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(sameBox(boxes[0], messageBox(Icon::Exclamation, "Tellurim File Open Error",
                                             "Cannot open file:\n\n" + missing +
                                                 ".\n\nPlease check file name and try again")));
    const Prompt full = messageBox(Icon::Information, "Tellurim", "Error writing CSV file. Code: 13.");
    EXPECT_TRUE(sameBox(boxes[1], full));
    EXPECT_TRUE(sameBox(boxes[2], full));
    EXPECT_TRUE(h.workspace.poleExport.poleExportOpen());

    // Without a model the button only says so.
    std::string none = "not-there.COF";
    h.engine.readModelFile(12, none);
    ui.clearTranscript();
    h.workspace.showPoles();
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].text, "There is no current model so results cannot be updated");
}

}  // namespace
}  // namespace tellurim

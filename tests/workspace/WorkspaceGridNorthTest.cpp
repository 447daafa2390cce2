// The grid-north line of the main window, run on the workspace with a fake view.
#include "support/TestEnvironment.h"
#include "support/WorkspaceHarness.h"
#include "workspace/SettingsFile.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

class WorkspaceGridNorth : public ::testing::Test {
protected:
    TempSettings settings;
    ScriptedInteraction ui;
    WorkspaceHarness h{ui, {2026, 3, 15}};
    Workspace& ws = h.workspace;
    FakeView& view = h.view;

    void TearDown() override { EXPECT_TRUE(ui.finished()); }

    void typeAndLeave(Field field, const std::string& text)
    {
        view.type(field, text);
        ws.leaveField(field);
    }

    // 51.5 N, 0.12 W: the published example.
    void goToLondon()
    {
        typeAndLeave(Field::DLAT, "51.5");
        view.select(Field::IHEM_NS, 0);
        ws.listClosed(Field::IHEM_NS);
        typeAndLeave(Field::DLON, "0.12");
        view.select(Field::JHEM_EW, 0);
        ws.listClosed(Field::JHEM_EW);
    }

    double shownDeclination() const { return std::stod(view.text(Field::DEC)); }
};

TEST_F(WorkspaceGridNorth, FollowsThePointInItsOwnUtmZone)
{
    const GridNorthTexts& start = view.gridNorth();
    ASSERT_FALSE(start.systems.empty());
    EXPECT_EQ(start.systems[0], "UTM zone (automatic)");
    EXPECT_EQ(start.selected, 0);
    EXPECT_EQ(start.systemName, "EPSG:32736 WGS 84 / UTM zone 36S");  // 30.5 S, 30.5 E

    goToLondon();
    const GridNorthTexts& london = view.gridNorth();
    EXPECT_EQ(london.systemName, "EPSG:32630 WGS 84 / UTM zone 30N");
    EXPECT_EQ(london.easting, "699889.807");
    EXPECT_EQ(london.northing, "5709362.293");
    EXPECT_EQ(london.convergence, "2.2547");
    EXPECT_NEAR(std::stod(london.gridDeclination), shownDeclination() - 2.254653, 6e-5);
    EXPECT_EQ(london.note, "");
}

TEST_F(WorkspaceGridNorth, ASystemTypedIsTakenListedAndRemembered)
{
    goToLondon();
    ws.chooseGridSystem("27700");
    const GridNorthTexts& bng = view.gridNorth();
    EXPECT_EQ(bng.systems, (std::vector<std::string>{"UTM zone (automatic)", "EPSG:27700"}));
    EXPECT_EQ(bng.selected, 1);
    EXPECT_EQ(bng.systemName, "EPSG:27700 OSGB36 / British National Grid");
    EXPECT_EQ(bng.convergence, "1.4728");
    ws.chooseGridSystem("EPSG:32631");
    EXPECT_EQ(view.gridNorth().systems[1], "EPSG:32631");  // most recent first
    EXPECT_EQ(view.gridNorth().convergence, "-2.4427");
    EXPECT_EQ(view.gridNorth().note.rfind("The point lies outside the area of use of EPSG:32631", 0), 0u);
    ws.chooseGridSystem("UTM zone (automatic)");
    EXPECT_EQ(view.gridNorth().selected, 0);
    EXPECT_EQ(view.gridNorth().systems.size(), 3u);

    ws.chooseGridSystem("EPSG:27700");
    ASSERT_TRUE(ws.saveSettings());
    const std::string text = readWholeFile(settings.file());
    EXPECT_NE(text.find("[GridNorth]\nSystem=EPSG:27700\nUsed1=EPSG:27700\nUsed2=EPSG:32631\nUsed3=\n"),
              std::string::npos)
        << text;
    ScriptedInteraction again;
    WorkspaceHarness next{again};
    EXPECT_EQ(next.view.gridNorth().selected, 1);
    EXPECT_EQ(next.view.gridNorth().systems.size(), 3u);
    EXPECT_TRUE(again.finished());
}

TEST_F(WorkspaceGridNorth, EastingAndNorthingMoveThePointAndRecalculate)
{
    goToLondon();
    ws.chooseGridSystem("EPSG:27700");
    const std::string declinationThere = view.text(Field::DEC);
    typeAndLeave(Field::DLAT, "52.25");  // somewhere else first
    ws.enterGridPosition("530591.166", "179571.066");
    EXPECT_EQ(view.text(Field::DLAT), "51.5");
    EXPECT_EQ(view.text(Field::DLON), "0.12");
    EXPECT_EQ(ws.record.IHEM_NS, 0);
    EXPECT_EQ(ws.record.JHEM_EW, 0);
    EXPECT_EQ(view.text(Field::ILATD), "51");
    EXPECT_EQ(view.text(Field::ILATM), "30");
    EXPECT_EQ(view.text(Field::DEC), declinationThere);
    // The figures typed stay, not their round trip through the degrees.
    EXPECT_EQ(view.gridNorth().easting, "530591.166");
    EXPECT_EQ(view.gridNorth().northing, "179571.066");

    // In the automatic system a position belongs to the zone shown.
    ws.chooseGridSystem("UTM zone (automatic)");
    ws.enterGridPosition("500000", "5700000");
    EXPECT_EQ(view.text(Field::DLON), "3");
    EXPECT_EQ(ws.record.JHEM_EW, 0);
    EXPECT_EQ(view.gridNorth().convergence, "0.0000");
}

TEST_F(WorkspaceGridNorth, RefusalsNameTheProblemAndChangeNothing)
{
    goToLondon();
    const GridNorthTexts before = view.gridNorth();
    const LocationRecord where = ws.record;
    ws.chooseGridSystem("EPSG:99999");
    ws.chooseGridSystem("4326");
    ws.chooseGridSystem("+proj=utm +zone=30");
    ws.enterGridPosition("1e9", "0");
    ws.enterGridPosition("east", "0");
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(messages[0].caption, "Tellurim");
    EXPECT_EQ(messages[0].text, "EPSG:99999 is not a reference system PROJ knows.");
    EXPECT_EQ(messages[1].text,
              "EPSG:4326 (WGS 84) is a geographic system of latitude and longitude, not a projected grid.");
    EXPECT_EQ(messages[2].text,
              "+proj=utm +zone=30 is a projection, not a reference system (a PROJ string needs +type=crs).");
    EXPECT_EQ(messages[3].text, "Easting 1000000000 and northing 0 do not correspond to any latitude and "
                                "longitude in EPSG:32630 (WGS 84 / UTM zone 30N).");
    EXPECT_EQ(messages[4].text, "The easting must be a number in the grid's unit.");
    EXPECT_EQ(view.gridNorth().systems, before.systems);
    EXPECT_EQ(view.gridNorth().easting, before.easting);
    EXPECT_EQ(ws.record.DLAT, where.DLAT);
    EXPECT_EQ(ws.record.DLON, where.DLON);
}

}  // namespace
}  // namespace tellurim

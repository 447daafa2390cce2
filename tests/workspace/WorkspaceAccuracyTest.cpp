// The uncertainty and compass-zone lines of the main window, on the workspace.
#include "support/EngineSupport.h"
#include "support/TestEnvironment.h"
#include "support/WorkspaceHarness.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

struct AccuracyFlow : ::testing::Test {
    TempSettings settings;
    ScriptedInteraction ui;

    void TearDown() override { EXPECT_TRUE(ui.finished()); }

    static void moveTo(WorkspaceHarness& h, const char* latitude, const char* longitudeWest)
    {
        h.view.type(Field::DLAT, latitude);
        h.view.select(Field::IHEM_NS, 0);
        h.view.type(Field::DLON, longitudeWest);
        h.view.select(Field::JHEM_EW, 0);
        h.workspace.recalc(std::nullopt);
    }
};

TEST_F(AccuracyFlow, ZoneLineFollowsThePointAndTheValidityTextStays)
{
    WorkspaceHarness h{ui};
    moveTo(h, "75", "95");
    EXPECT_EQ(h.view.accuracy().zone, CompassZone::Caution);
    EXPECT_EQ(h.view.accuracy().zoneText, "CAUTION ZONE: compass accuracy may be degraded (H below 6000 nT)");
    EXPECT_EQ(h.view.accuracy().uncertainty.rfind("F 138 nT, I 0.20 deg, D 1.", 0), 0u)
        << h.view.accuracy().uncertainty;
    EXPECT_NE(h.view.accuracy().uncertaintyDetail.find("sqrt(0.26^2 + (5417 / H)^2)"), std::string::npos);
    EXPECT_EQ(h.view.text(Field::CVALIDITY), "OK");

    moveTo(h, "85", "120");
    EXPECT_EQ(h.view.accuracy().zone, CompassZone::Blackout);
    moveTo(h, "40", "105");
    EXPECT_EQ(h.view.accuracy().zone, CompassZone::None);
    EXPECT_EQ(h.workspace.accuracy().zoneText, h.view.accuracy().zoneText);
}

TEST_F(AccuracyFlow, ModelWithoutPublishedFiguresSaysSo)
{
    WorkspaceHarness h{ui, {2017, 6, 1}, shippedModel("WMM2015.COF")};
    EXPECT_EQ(h.view.accuracy().uncertainty, "no published figure for this model");
    EXPECT_NE(h.view.accuracy().uncertaintyDetail.find("\"WMM-2015v2\""), std::string::npos);
}

}  // namespace
}  // namespace tellurim

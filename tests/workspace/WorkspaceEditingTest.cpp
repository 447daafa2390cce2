// Editing flows of the main window, run on the workspace with a fake view.

#include "support/TestEnvironment.h"
#include "support/TestText.h"
#include "support/WorkspaceHarness.h"
#include "record/Conversions.h"
#include "record/NumberText.h"

#include <gtest/gtest.h>


namespace tellurim {
namespace {

class WorkspaceEditing : public ::testing::Test {
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
        view.setFocus(std::nullopt);
        ws.leaveField(field);
    }
};

TEST_F(WorkspaceEditing, TabbingThroughTheDecimalLatitudeKeepsItsFullValue)
{
    typeAndLeave(Field::XLATS, "30");
    EXPECT_EQ(view.text(Field::DLAT), "30.5083");
    EXPECT_EQ(ws.record.DLAT, dmsToDecimal(30, 30, 30.0f));
    ws.leaveField(Field::DLAT);  // nothing typed: the shown text is not read back
    EXPECT_EQ(ws.record.DLAT, dmsToDecimal(30, 30, 30.0f));
    EXPECT_EQ(ws.record.XLATS, 30.0f);
    EXPECT_EQ(view.text(Field::XLATS), "30");
    EXPECT_EQ(ws.latitudeChanged(), 0);

    // Typing converts from the text typed.
    typeAndLeave(Field::DLAT, "30.50830");
    EXPECT_EQ(ws.record.DLAT, 30.5083f);
    EXPECT_EQ(view.text(Field::XLATS), "29.8828");
    EXPECT_EQ(ws.latitudeChanged(), 0);

    // Unchanged since that conversion: leaving it again converts nothing.
    ws.record.XLATS = 1.0f;
    ws.leaveField(Field::DLAT);
    EXPECT_EQ(ws.record.XLATS, 1.0f);
}

TEST_F(WorkspaceEditing, LeavingAFieldConvertsEvenWhenNothingWasTyped)
{
    ws.locationChanged = 0;
    ws.leaveField(Field::ILONM);
    EXPECT_EQ(ws.locationChanged, 1);
    EXPECT_EQ(ws.record.DLON, dmsToDecimal(30, 30, 30.0f));
}

TEST_F(WorkspaceEditing, MetresConvertToFeetAndBack)
{
    typeAndLeave(Field::ALTM, "30");
    EXPECT_EQ(view.text(Field::ALTF), "98.4252");
    typeAndLeave(Field::ALTF, "98.4252");
    EXPECT_EQ(view.text(Field::ALTM), "30");
}

TEST_F(WorkspaceEditing, MillionsOfFeetAreShownInExponentForm)
{
    typeAndLeave(Field::ALTM, "304800");
    EXPECT_EQ(view.text(Field::ALTF), "1e+06");
    typeAndLeave(Field::ALTF, "2500000");
    EXPECT_EQ(view.text(Field::ALTF), "2.5e+06");
    EXPECT_EQ(view.text(Field::ALTM), "762000");
}

TEST_F(WorkspaceEditing, DateFieldsAndDecimalYearFollowEachOther)
{
    typeAndLeave(Field::IMONTH, "2");
    typeAndLeave(Field::IDAY, "29");
    typeAndLeave(Field::IYR, "2028");
    EXPECT_EQ(ws.record.DDATE, dateToDecimalYear(2, 29, 2028));
    EXPECT_EQ(view.text(Field::DDATE), "2028.16");

    typeAndLeave(Field::DDATE, "2027.5");
    EXPECT_EQ(view.text(Field::IMONTH), "7");
    EXPECT_EQ(view.text(Field::IDAY), "2");
    EXPECT_EQ(view.text(Field::IYR), "2027");
}

TEST_F(WorkspaceEditing, PolarLatitudeShowsEightCharacterGridVariation)
{
    view.select(Field::IHEM_NS, 0);
    typeAndLeave(Field::ILATD, "80");
    ASSERT_LT(ws.results().gridVariation, kNoGridVariation);
    EXPECT_EQ(ws.texts().CPOLAR1.size(), 8u);
    EXPECT_EQ(ws.texts().CPOLAR1, cFormat("%8.2f", static_cast<double>(ws.results().gridVariation)));
    EXPECT_EQ(view.text(Field::CPOLAR1), ws.texts().CPOLAR1);
    EXPECT_EQ(view.text(Field::CPOLAR2).size(), 8u);

    typeAndLeave(Field::ILATD, "54");
    EXPECT_EQ(view.text(Field::CPOLAR1), "N/A");
    EXPECT_EQ(view.text(Field::CPOLAR2), "N/A");
}

TEST_F(WorkspaceEditing, HemisphereActsWhenTheListClosesNotOnArrowKeys)
{
    const float southVertical = ws.results().BZ;
    view.select(Field::IHEM_NS, 0);  // arrow key on the closed list
    EXPECT_EQ(ws.record.IHEM_NS, 1);
    EXPECT_EQ(ws.results().BZ, southVertical);

    ws.listClosed(Field::IHEM_NS);
    EXPECT_EQ(ws.record.IHEM_NS, 0);
    EXPECT_NE(ws.results().BZ, southVertical);
    EXPECT_EQ(view.text(Field::BZ), formatSingle(ws.results().BZ));
}

TEST_F(WorkspaceEditing, ArrowKeyChoiceTakesEffectAtNextRecalc)
{
    view.select(Field::JHEM_EW, 0);
    const float eastDeclination = ws.results().DEC;
    ws.recalc(std::nullopt);  // Recalc clicked with the mouse
    EXPECT_EQ(ws.record.JHEM_EW, 0);
    EXPECT_NE(ws.results().DEC, eastDeclination);
}

TEST_F(WorkspaceEditing, EnterInTheMetresFieldConvertsAndKeepsTheFocus)
{
    view.setFocus(Field::ALTM);
    view.type(Field::ALTM, "100");
    ws.recalc(view.focus());
    EXPECT_EQ(view.text(Field::ALTF), "328.084");
    EXPECT_EQ(view.focus(), Field::ALTM);
    EXPECT_EQ(view.focusReturns(), 0);
}

TEST_F(WorkspaceEditing, EnterInDecimalFieldsUsesTheirChangeFlags)
{
    view.setFocus(Field::DLON);
    view.type(Field::DLON, "105.25");
    ws.recalc(Field::DLON);
    EXPECT_EQ(view.text(Field::ILOND), "105");
    EXPECT_EQ(view.text(Field::ILONM), "15");
    EXPECT_EQ(view.text(Field::XLONS), "0");
    EXPECT_EQ(ws.longitudeChanged(), 0);
}

TEST_F(WorkspaceEditing, NotANumberStopsTheTakeAndReturnsTheFocus)
{
    ws.locationChanged = 0;
    const FieldResult before = ws.results();
    view.type(Field::DLAT, "45");       // earlier in the exchange order
    view.type(Field::ILATM, "abc");     // the bad one
    view.type(Field::XLATS, "12");      // later: must keep its old value
    view.type(Field::Location, "Here"); // later too
    ws.leaveField(Field::ILATM);

    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::None, "Tellurim", "Please enter an integer.")));
    EXPECT_EQ(view.focus(), Field::ILATM);
    EXPECT_EQ(view.focusReturns(), 1);
    EXPECT_EQ(ws.record.DLAT, 45.0f);
    EXPECT_EQ(ws.record.ILATM, 30);
    EXPECT_EQ(ws.record.XLATS, 30.0f);
    EXPECT_EQ(ws.record.Location, "Default");
    EXPECT_EQ(ws.locationChanged, 0);  // nothing recalculated
    EXPECT_EQ(ws.results().TI, before.TI);
    EXPECT_EQ(view.text(Field::ILATM), "abc");  // nothing shown either
}

TEST_F(WorkspaceEditing, EmptyOrPartlyNumericTextIsNotANumber)
{
    for (const char* text : {"", "   ", "12abc", "1,5", "inf", "nan", "0x10"}) {
        ui.clearTranscript();
        typeAndLeave(Field::ALTM, text);
        ASSERT_EQ(ui.transcript().size(), 1u) << text;
        EXPECT_EQ(ui.transcript()[0].text, "Please enter a number.") << text;
    }
    typeAndLeave(Field::ALTM, " 12.5 ");
    EXPECT_EQ(view.text(Field::ALTF), "41.0105");
}

TEST_F(WorkspaceEditing, OutOfRangeValuesNameTheBoundsAndAreKept)
{
    typeAndLeave(Field::ALTF, "-601");
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::Exclamation, "Tellurim",
                                                       "Please enter a number between -600 and 3e+06.")));
    EXPECT_EQ(ws.record.ALTF, -601.0f);  // the offending number is held
    EXPECT_EQ(view.focus(), Field::ALTF);

    view.type(Field::ALTF, "0");
    typeAndLeave(Field::IMONTH, "13");
    EXPECT_EQ(ui.transcript().back().text, "Please enter an integer between 1 and 12.");
    EXPECT_EQ(ws.record.IMONTH, 13);

    view.type(Field::IMONTH, "1");
    typeAndLeave(Field::ALTM, "1000001");
    EXPECT_EQ(ui.transcript().back().text, "Please enter a number between -200 and 1e+06.");

    view.type(Field::ALTM, "0");
    typeAndLeave(Field::IYR, "99999999999");  // too big for any integer
    EXPECT_EQ(ui.transcript().back().text, "Please enter an integer between 1000 and 3000.");
    EXPECT_EQ(ws.record.IYR, 2026);
}

TEST_F(WorkspaceEditing, DegreesMinutesAndSecondsAddingUpPastTheRangeAreRefusedAtTheDegrees)
{
    view.select(Field::IHEM_NS, 0);
    view.type(Field::ILATD, "90");
    view.type(Field::XLATS, "0");
    typeAndLeave(Field::ILATM, "59");
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::Exclamation, "Tellurim",
                                                       "Please enter an integer between 0 and 90.")));
    EXPECT_EQ(view.focus(), Field::ILATD);
    EXPECT_NE(view.text(Field::DLAT), "90.9833");  // never derived, never computed

    // The pole itself, and 179 59 60 east, are in range; 180 0 1 is not.
    view.type(Field::ILATM, "0");
    typeAndLeave(Field::ILATD, "90");
    EXPECT_EQ(view.text(Field::DLAT), "90");
    view.type(Field::ILOND, "179");
    view.type(Field::ILONM, "59");
    typeAndLeave(Field::XLONS, "60");
    EXPECT_EQ(view.text(Field::DLON), "180");
    EXPECT_EQ(ui.transcript().size(), 1u);
    view.type(Field::ILOND, "180");
    view.type(Field::ILONM, "0");
    typeAndLeave(Field::XLONS, "1");
    ASSERT_EQ(ui.transcript().size(), 2u);
    EXPECT_EQ(ui.transcript()[1].text, "Please enter an integer between 0 and 180.");
    EXPECT_EQ(view.focus(), Field::ILOND);
}

TEST_F(WorkspaceEditing, ShowLeavesMatchingControlsAlone)
{
    const int before = view.writes(Field::TI);
    const int beforeName = view.writes(Field::Location);
    ws.show();
    EXPECT_EQ(view.writes(Field::TI), before);
    EXPECT_EQ(view.writes(Field::Location), beforeName);
}

TEST_F(WorkspaceEditing, AfterATakeTheResultsKeepTheirComputedValues)
{
    const float computed = ws.results().TI;
    const std::string shown = view.text(Field::TI);
    ASSERT_EQ(shown, formatSingle(computed));
    ASSERT_NE(parseSingle(shown).value, computed);  // six digits lose some
    ASSERT_TRUE(ws.take());
    // A result nobody edited is not read back from its six digits.
    EXPECT_EQ(ws.results().TI, computed);
    EXPECT_EQ(view.text(Field::TI), shown);
}

// An interaction whose boxes, like real ones, take the focus: the field
// being left reports its leaving again while the box is open.
class FocusStealingInteraction final : public WorkspaceInteraction {
public:
    Workspace* workspace = nullptr;
    int boxes = 0;
    Answer ask(const Message&) override
    {
        ++boxes;
        if (workspace != nullptr && boxes < 5) {
            workspace->leaveField(Field::ALTM);
            workspace->recalc(Field::ALTM);
            workspace->listClosed(Field::IHEM_NS);
        }
        return Answer::Ok;
    }
    std::optional<std::string> chooseFile(const FileRequest&) override { return std::nullopt; }
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view) override { return nullptr; }
    std::optional<GridSettings> editGridRectangle(const GridSettings&) override { return std::nullopt; }
    std::unique_ptr<Progress> openProgress(std::string_view) override { return nullptr; }
    void runPoleDialog(PoleDialogActions&) override {}
};

TEST(WorkspaceReentry, EventsWhileABoxIsOpenAreIgnored)
{
    TempSettings settings;
    FocusStealingInteraction ui;
    WorkspaceHarness h(ui);
    ui.workspace = &h.workspace;

    h.view.type(Field::ALTM, "oops");
    h.workspace.leaveField(Field::ALTM);
    EXPECT_EQ(ui.boxes, 1);
    EXPECT_FALSE(h.workspace.busy());
    EXPECT_EQ(h.view.focusReturns(), 1);
}

}  // namespace
}  // namespace tellurim

// Start-up, model selection and settings of the workspace.

#include "support/HostileInputs.h"
#include "support/TestEnvironment.h"
#include "support/TestText.h"
#include "support/WorkspaceHarness.h"
#include "record/Conversions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellurim {
namespace {

namespace fs = std::filesystem;

const std::string kNoModel = "There is no current model so results cannot be updated";
const std::string kNotFound = "Last model selected was not found";

std::string settingsWithModel(const std::string& model)
{
    return "[LocationInformation]\nLocation=Somewhere\nILATD=40\nILATM=0\nXLATS=0\nIHEM_NS=0\n"
           "ILOND=105\nILONM=15\nXLONS=0\nJHEM_EW=0\nALTM=1609.344\nFILENAME=" + model + "\n";
}

/// Settings of its own and a scripted interaction; each test starts the
/// workspace itself, after writing what settings it needs.
class WorkspaceTest : public ::testing::Test {
protected:
    TempSettings settings;
    ScriptedInteraction ui;
};
class WorkspaceStartup : public WorkspaceTest {};
class WorkspaceModel : public WorkspaceTest {};
class WorkspaceSettings : public WorkspaceTest {};

TEST_F(WorkspaceStartup, WithoutSettingsStartsAtDefaultPlaceTodayWithShippedModel)
{
    WorkspaceHarness h(ui, {2026, 3, 15});
    const Workspace& ws = h.workspace;

    EXPECT_EQ(ws.record.Location, "Default");
    EXPECT_EQ(ws.record.FILENAME, "WMM2025.COF");
    std::vector<std::string> shown;
    for (const Field field : {Field::ILATD, Field::ILATM, Field::XLATS, Field::DLAT, Field::DLON, Field::ALTM,
                              Field::ALTF, Field::IMONTH, Field::IDAY, Field::IYR})
        shown.push_back(h.view.text(field));
    EXPECT_EQ(shown, (std::vector<std::string>{"30", "30", "30", "30.5083", "30.5083", "30", "98.4252", "3", "15",
                                               "2026"}));
    EXPECT_EQ(h.view.selectedIndex(Field::IHEM_NS), 1);  // South
    EXPECT_EQ(h.view.selectedIndex(Field::JHEM_EW), 1);  // East
    EXPECT_EQ(ws.record.DDATE, dateToDecimalYear(3, 15, 2026));
    EXPECT_EQ(ws.texts().CVALIDITY, "OK");
    EXPECT_EQ(ws.texts().CPOLAR1, "N/A");  // below 55 degrees
    EXPECT_EQ(ws.texts().CPOLAR2, "N/A");
    EXPECT_GT(ws.results().TI, 20000.0f);
    EXPECT_LT(ws.results().TI, 70000.0f);
    EXPECT_EQ(ws.grid.lNeverGrid, 1);
    EXPECT_EQ(ws.grid.LatInc, 1.0f);
    // Opening the window writes the decimal fields, which is no edit.
    EXPECT_EQ(ws.latitudeChanged(), 0);
    EXPECT_EQ(ws.longitudeChanged(), 0);
    EXPECT_EQ(ws.dateChanged(), 0);
    EXPECT_EQ(ws.locationChanged, 1);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST_F(WorkspaceStartup, StoredDegreesMetresWinOverStoredDecimalsFeetAndDate)
{
    writeWholeFile(settings.file(),
                   settingsWithModel("WMM2025.COF") + "DLAT=12.5\nDLON=1\nALTF=7\nIYR=1999\nIMONTH=1\nIDAY=2\n");
    WorkspaceHarness h(ui, {2027, 7, 1});
    const LocationRecord& r = h.workspace.record;
    EXPECT_EQ(r.DLAT, 40.0f);
    EXPECT_EQ(r.DLON, dmsToDecimal(105, 15, 0.0f));
    EXPECT_EQ(r.ALTF, metresToFeet(r.ALTM));
    EXPECT_EQ(h.view.text(Field::ALTF), "5280");
    EXPECT_EQ(r.IYR, 2027);
    EXPECT_EQ(r.IMONTH, 7);
    EXPECT_EQ(r.IDAY, 1);
    EXPECT_EQ(h.view.selectedIndex(Field::IHEM_NS), 0);
    EXPECT_EQ(h.view.selectedIndex(Field::JHEM_EW), 0);
}

TEST_F(WorkspaceStartup, MissingModelIsReportedAndLeavesZeroResults)
{
    TempDir dir;
    const std::string missing = (dir / "Gone.COF").string();
    writeWholeFile(settings.file(), settingsWithModel(missing));
    WorkspaceHarness h(ui);

    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::None, "Tellurim", "ERROR OPENING FILE:\n" + missing)));
    EXPECT_EQ(h.workspace.record.FILENAME, kNotFound);
    EXPECT_EQ(h.view.text(Field::FILENAME), kNotFound);
    EXPECT_EQ(h.workspace.texts().CVALIDITY, kNoModel);
    EXPECT_EQ(h.view.text(Field::TI), "0");
    EXPECT_EQ(h.view.text(Field::CPOLAR1), "");

    // New Model then offers the not-found text as the file to open.
    ui.then(File{});
    h.workspace.newModel();
    ASSERT_EQ(ui.transcript().size(), 3u);
    EXPECT_EQ(ui.transcript()[1].file.initialName, kNotFound);
    EXPECT_EQ(ui.transcript()[2].text, "ERROR OPENING FILE:\n" + kNotFound);
    EXPECT_TRUE(ui.finished());
}

TEST_F(WorkspaceStartup, EndlessOrBlockingModelsAreReadErrorsAndTheWindowStillOpens)
{
    TempDir dir;
    const Deadline deadline{10};
    const std::string pipe = makeFifo(dir.path(), "Pipe.COF");
    writeWholeFile(settings.file(), settingsWithModel("/dev/zero"));
    for (const std::optional<std::string>& commandLine : {std::optional<std::string>(), std::optional(pipe)}) {
        ScriptedInteraction answers;
        WorkspaceHarness h(answers, {2026, 3, 15}, commandLine);
        const std::string model = commandLine.value_or("/dev/zero");
        ASSERT_EQ(answers.transcript().size(), 1u) << model;
        EXPECT_TRUE(sameBox(answers.transcript()[0],
                            messageBox(Icon::None, "Tellurim",
                                       "ERROR READING FILE:\n" + model + "\n\nnot a regular file")));
        EXPECT_EQ(h.view.text(Field::FILENAME), model);
        EXPECT_EQ(h.workspace.texts().CVALIDITY, kNoModel);
    }
}

TEST_F(WorkspaceStartup, CommandLineModelIsUsedAndKept)
{
    const std::string model = std::string(TELLURIM_MODELS_DIR) + "/WMM2020.COF";
    {
        WorkspaceHarness h(ui, {2022, 1, 1}, "\"" + model + "\"");
        EXPECT_EQ(h.workspace.record.FILENAME, model);
        EXPECT_EQ(h.workspace.texts().CVALIDITY, "OK");
        ASSERT_TRUE(h.workspace.saveSettings());
    }
    WorkspaceHarness again(ui, {2022, 1, 1});
    EXPECT_EQ(again.workspace.record.FILENAME, model);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST_F(WorkspaceStartup, OverlongModelPathIsRefusedWithAMessage)
{
    WorkspaceHarness h(ui, {2026, 3, 15}, "/" + std::string(300, 'm') + ".COF");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_TRUE(sameBox(ui.messages()[0], messageBox(Icon::Exclamation, "Tellurim File Open Error",
                                                     ui.messages()[0].text)));
    EXPECT_EQ(h.workspace.record.FILENAME, "WMM2025.COF");
    EXPECT_EQ(h.workspace.texts().CVALIDITY, "OK");
}

TEST_F(WorkspaceModel, NewModelCancelledReloadsTheSameFile)
{
    WorkspaceHarness h(ui);
    Workspace& ws = h.workspace;
    ws.locationChanged = 0;
    h.view.type(Field::CVALIDITY, "stale");
    ASSERT_TRUE(ws.take());
    ASSERT_EQ(ws.texts().CVALIDITY, "stale");

    ui.then(File{});
    ws.newModel();

    ASSERT_EQ(ui.transcript().size(), 1u);
    // The dialog opens on the file in use, found in the shipped models folder.
    const fs::path opened = ui.transcript()[0].file.initialName;
    EXPECT_TRUE(opened.is_absolute());
    EXPECT_EQ(opened.filename(), "WMM2025.COF");
    EXPECT_TRUE(fs::is_regular_file(opened));
    EXPECT_TRUE(sameDialog(ui.transcript()[0],
                           {FileRequest::Mode::Open, "Magnetic Model file for desired Epoch, Global or Regional",
                            "Magnetic model files (*.cof)", "*.cof", "cof", opened.string(), false}));
    // After the specified entry, one that shows the IGRF .shc files too.
    ASSERT_EQ(ui.transcript()[0].file.moreFilters.size(), 1u);
    EXPECT_EQ(ui.transcript()[0].file.moreFilters[0].pattern, "*.cof *.shc");
    EXPECT_EQ(ws.record.FILENAME, "WMM2025.COF");
    EXPECT_EQ(ws.locationChanged, 1);
    EXPECT_EQ(ws.texts().CVALIDITY, "OK");  // recalculated, and shown
    EXPECT_EQ(h.view.text(Field::CVALIDITY), "OK");
    EXPECT_TRUE(ui.finished());
}

TEST_F(WorkspaceModel, ChosenModelInAnotherFolderIsKeptAsFullPathAndBecomesCurrentFolder)
{
    TempDir dir;
    fs::create_directories(dir / "models");
    const fs::path copy = dir / "models" / "older.cof";
    fs::copy_file(fs::path(TELLURIM_MODELS_DIR) / "WMM2015.COF", copy);
    ScopedCurrentDir restore(fs::current_path());

    ui.then(File{copy});
    WorkspaceHarness h(ui);
    h.workspace.newModel();

    EXPECT_EQ(h.workspace.record.FILENAME, copy.string());
    EXPECT_EQ(h.view.text(Field::FILENAME), copy.string());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir / "models"));
    // The 2015 model does not cover 2026.
    EXPECT_EQ(h.workspace.texts().CVALIDITY, "The year is out of range for the selected model");
    EXPECT_TRUE(ui.finished());
}

TEST_F(WorkspaceModel, FailedLoadKeepsResultsAndChangesOnlyTheValidity)
{
    TempDir dir;
    WorkspaceHarness h(ui);
    Workspace& ws = h.workspace;
    const std::string polar1 = ws.texts().CPOLAR1;
    const std::string shownTotal = h.view.text(Field::TI);
    const float total = ws.results().TI;
    const std::string shownVertical = h.view.text(Field::BZ2);
    const std::string shownDeclination = h.view.text(Field::DEC);

    ui.then(File{dir / "missing.COF"});
    ws.newModel();
    EXPECT_EQ(ws.record.FILENAME, kNotFound);
    EXPECT_EQ(ws.texts().CVALIDITY, kNoModel);

    // Even a new location cannot change the results without a model.
    h.view.type(Field::ILATD, "70");
    ws.leaveField(Field::ILATD);
    EXPECT_EQ(ws.record.DLAT, dmsToDecimal(70, 30, 30.0f));
    // (the take before the calculation leaves results nobody edited alone)
    EXPECT_EQ(ws.results().TI, total);
    EXPECT_EQ(h.view.text(Field::TI), shownTotal);
    EXPECT_EQ(h.view.text(Field::BZ2), shownVertical);
    EXPECT_EQ(h.view.text(Field::DEC), shownDeclination);
    EXPECT_EQ(ws.texts().CPOLAR1, polar1);
    EXPECT_EQ(h.view.text(Field::CVALIDITY), kNoModel);
    EXPECT_EQ(ws.locationChanged, 1);
    EXPECT_TRUE(ui.finished());
}

TEST_F(WorkspaceModel, HelpShowsTheFiveParagraphs)
{
    WorkspaceHarness h(ui);
    h.workspace.help();
    ASSERT_EQ(ui.transcript().size(), 1u);
    const std::string& text = ui.transcript()[0].text;
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::Information, "Tellurim Model File Description", text)));
    EXPECT_EQ(text.rfind("Tellurim contains editable fields on the first 3 lines", 0), 0u);
    EXPECT_EQ(countOf(text, "\n\n"), 4u);
    EXPECT_NE(text.find("abbreviations \"US\". \"AK\" and \"HI\", which"), std::string::npos);
    EXPECT_NE(text.find("New features in  version 2 allow"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 43), "\n\nSee README.TXT and READ.ME for more info.");
}

TEST_F(WorkspaceSettings, WrittenAtCloseAndReadAtNextStart)
{
    {
        WorkspaceHarness h(ui, {2026, 3, 15});
        h.view.type(Field::Location, "Boulder");
        h.view.type(Field::ILATD, "40");
        h.workspace.leaveField(Field::ILATD);
        h.view.type(Field::ALTM, "1655");
        h.workspace.leaveField(Field::ALTM);
        h.workspace.grid.lNeverGrid = 0;
        ASSERT_TRUE(h.workspace.saveSettings());
    }
    const std::string text = readWholeFile(settings.file());
    const std::size_t version = text.find("[Version]");
    ASSERT_NE(version, std::string::npos);
    EXPECT_LT(version, text.find("[LocationInformation]"));
    EXPECT_LT(text.find("[LocationInformation]"), text.find("[GridInformation]"));
    for (const char* line : {"Location=Boulder\n", "ILATD=40\n", "ALTM=1655.000000\n", "IDAY=15\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    WorkspaceHarness next(ui, {2026, 4, 1});
    EXPECT_EQ(next.workspace.record.Location, "Boulder");
    EXPECT_EQ(next.workspace.record.ILATD, 40);
    EXPECT_EQ(next.workspace.record.ALTM, 1655.0f);
    EXPECT_EQ(next.workspace.record.IMONTH, 4);  // a stored date never comes back
    EXPECT_EQ(next.workspace.record.IDAY, 1);
    EXPECT_EQ(next.workspace.grid.lNeverGrid, 0);
}

TEST_F(WorkspaceSettings, FailedWriteIsReportedAndKeepsNothingHalfWritten)
{
    TempDir dir;
    // The settings folder cannot be created where a plain file stands.
    writeWholeFile(dir / "blocked", "not a folder");
    ScopedEnv env("XDG_CONFIG_HOME", (dir / "blocked").string());
    WorkspaceHarness h(ui);
    EXPECT_FALSE(h.workspace.saveSettings());
    ASSERT_EQ(ui.transcript().size(), 1u);
    const std::string& text = ui.transcript()[0].text;
    EXPECT_TRUE(sameBox(ui.transcript()[0], messageBox(Icon::Stop, "Tellurim", text)));
    EXPECT_EQ(text.rfind("The settings could not be saved", 0), 0u);
    EXPECT_NE(text.find("blocked"), std::string::npos);

    // Nobody to answer: the error stream instead of a box.
    ui.clearTranscript();
    EXPECT_FALSE(h.workspace.saveSettings(false));
    EXPECT_TRUE(ui.transcript().empty());
}

}  // namespace
}  // namespace tellurim

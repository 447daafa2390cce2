#include "workspace/Workspace.h"

#include "files/LocationExport.h"
#include "files/LocationFile.h"
#include "files/ReportLayout.h"
#include "workspace/InteractionMessageSink.h"
#include "support/FakeView.h"
#include "support/FileSizeLimit.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <limits>

#include <memory>

namespace tellurim {
namespace {

const std::string kModel = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";

/// A started program in a scratch folder: its own settings folder, the
/// current directory moved into a work folder, a fixed date in 2026.
class LocationFilesFlow : public ::testing::Test {
protected:
    void SetUp() override { start(); }

    /// A new run of the program (the export file of the last one is closed).
    void start()
    {
        workspace.reset();
        workspace = std::make_unique<Workspace>(engine, ui, clock);
        workspace->record.FILENAME = kModel;
        workspace->loadModel(false);
        workspace->record.Location = "Home";
        workspace->reportUserName = "Tester";
        ui.clearTranscript();
    }

    std::string work(const std::string& name) const { return m_work.file(name); }

    static Prompt saveQuestion()
    {
        return messageBox(Icon::Question, "Tellurim", "The data for this location has changed. Do you wish to save it?",
                          Buttons::YesNoCancel);
    }
    static Prompt overwriteQuestion(const std::string& name)
    {
        return messageBox(Icon::Question, "Tellurim",
                          "Location file already exists:\n\n" + name + ".\n\nDo you wish to overwrite?",
                          Buttons::YesNoCancel);
    }
    static Prompt savedBox(const std::string& name)
    {
        return messageBox(Icon::Information, "Tellurim Successful Save", "Location saved OK:\n\n" + name);
    }
    static Prompt exclamation(const std::string& caption, const std::string& text)
    {
        return messageBox(Icon::Exclamation, caption, text);
    }

    /// Writes a location file for 1 July 2003 somewhere else and returns its path.
    std::string storedLocation()
    {
        const LocationRecord stored{.DLAT = 40.025f, .ILATD = 40, .ILATM = 1, .XLATS = 30.0f, .DLON = 105.25f,
                                    .ILONM = 15, .ILOND = 105, .XLONS = 0.0f, .ALTF = 5280.0f, .ALTM = 1609.344f,
                                    .IDAY = 1, .IMONTH = 7, .IYR = 2003, .IHEM_NS = 0, .JHEM_EW = 0,
                                    .FILENAME = kModel, .Location = "Boulder"};
        return m_stored.write("saved/Boulder.loc", encodeLocationFile(stored));
    }

private:
    TempSettings m_settings;
    TempDir m_work;
    TempDir m_stored;
    ScopedCurrentDir m_inWork{m_work.path()};

protected:
    ScriptedInteraction ui;
    InteractionMessageSink sink{ui};
    ModelEngine engine{sink};
    FixedClock clock{2026, 3, 15};
    std::unique_ptr<Workspace> workspace;
};

// ---- save -------------------------------------------------------------------------

TEST_F(LocationFilesFlow, SavingTwiceAsksToOverwriteAndNoKeepsTheFirstFile)
{
    Workspace& ws = *workspace;
    ASSERT_EQ(ws.locationChanged, 1);  // start-up loaded a model; Save never asks whether to save
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::Done);
    EXPECT_TRUE(lastBox(ui, 1, savedBox("Home.LOC")));
    EXPECT_EQ(ws.locationChanged, 0);
    const std::string first = readWholeFile(work("Home.LOC"));
    EXPECT_EQ(first, encodeLocationFile(ws.record));

    ws.record.ILATD = 12;
    ws.recalculate();
    ui.clearTranscript();
    ui.then(Answer::No);
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::OverwriteDeclined);
    EXPECT_TRUE(lastBox(ui, 1, overwriteQuestion("Home.LOC")));
    EXPECT_EQ(readWholeFile(work("Home.LOC")), first);
    EXPECT_EQ(ws.locationChanged, 1);

    ui.clearTranscript();
    ui.then(Answer::Yes);
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::Done);
    EXPECT_TRUE(lastBox(ui, 2, savedBox("Home.LOC")));
    EXPECT_EQ(readWholeFile(work("Home.LOC")), encodeLocationFile(ws.record));
    EXPECT_EQ(folderEntries(work(".")), std::vector<std::string>{"Home.LOC"});
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, EmptyNameSavesDotLocAndFolderNamesSaveIntoTheFolder)
{
    workspace->record.Location = "";
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    EXPECT_TRUE(lastBox(ui, 1, savedBox(".LOC")));
    EXPECT_TRUE(std::filesystem::exists(work(".LOC")));

    std::filesystem::create_directory(work("sites"));
    workspace->record.Location = "sites/Cabin";
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    EXPECT_TRUE(lastBox(ui, 1, savedBox("sites/Cabin.LOC")));
    EXPECT_EQ(folderEntries(work("sites")), std::vector<std::string>{"Cabin.LOC"});
}

TEST_F(LocationFilesFlow, NamesTheFileSystemRefusesOrTooLongToLoadBackAreNotSaved)
{
    workspace->record.Location = "no-such-folder/Home";
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    EXPECT_TRUE(lastBox(ui, 1, exclamation("Tellurim File Open Error",
                                           "Cannot open Location:\n\nno-such-folder/Home.LOC\n\nBe sure Location "
                                           "does not contain\ncharacters illegal for file names")));
    EXPECT_EQ(workspace->locationChanged, 1);

    // 256 characters with ".LOC": more than a file system's name holds.
    const std::string refusedName(252, 'r');
    workspace->record.Location = refusedName;
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    EXPECT_TRUE(lastBox(ui, 1, exclamation("Tellurim File Open Error",
                                           "Cannot open Location:\n\n" + refusedName + ".LOC\n\nBe sure Location "
                                           "does not contain\ncharacters illegal for file names")));

    const std::string longName(256, 'n');
    workspace->record.Location = longName;
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    EXPECT_TRUE(lastBox(ui, 1, exclamation("Tellurim File Open Error",
                                           "Cannot save Location:\n\n" + longName + ".LOC\n\nThe location name and "
                                           "the model path must each be at most 255 characters long")));

    workspace->record.Location = "Home";
    workspace->record.FILENAME = "/" + std::string(255, 'm');
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    EXPECT_EQ(ui.transcript().at(0).text.substr(0, 31), "Cannot save Location:\n\nHome.LOC");
    EXPECT_TRUE(folderEntries(work(".")).empty());
}

TEST_F(LocationFilesFlow, AFailedWriteKeepsThePreviousFileAndShowsNoSuccess)
{
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    const std::string first = readWholeFile(work("Home.LOC"));
    workspace->record.FILENAME = std::string(200, 'p');  // a file larger than the limit
    workspace->locationChanged = 1;
    ui.clearTranscript();
    ui.then(Answer::Yes);
    Workspace::SaveOutcome outcome{};
    {
        FileSizeLimit limit(first.size());
        ASSERT_TRUE(limit.active());
        outcome = workspace->saveLocation(true);
    }
    EXPECT_EQ(outcome, Workspace::SaveOutcome::Cancelled);
    EXPECT_TRUE(lastBox(ui, 2, messageBox(Icon::Stop, "Tellurim", "Disk full while accessing Home.LOC.")));
    EXPECT_EQ(readWholeFile(work("Home.LOC")), first);
    EXPECT_EQ(folderEntries(work(".")), std::vector<std::string>{"Home.LOC"});
    EXPECT_EQ(workspace->locationChanged, 1);
}

// ---- get --------------------------------------------------------------------------

TEST_F(LocationFilesFlow, CancelToSaveFirstEndsTheLoadBeforeTheFileDialog)
{
    ui.then(Answer::Cancel);
    const std::string before = encodeLocationFile(workspace->record);
    workspace->getLocation();
    EXPECT_TRUE(lastBox(ui, 1, saveQuestion()));
    EXPECT_EQ(encodeLocationFile(workspace->record), before);
    EXPECT_EQ(workspace->locationChanged, 1);
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, CancelToOverwriteStillOpensFileDialogWhoseCancelChangesNothing)
{
    writeWholeFile(work("Home.LOC"), "older");
    ui.then(Answer::Yes).then(Answer::Cancel).then(File{});
    const std::string before = encodeLocationFile(workspace->record);
    workspace->getLocation();
    ASSERT_EQ(ui.transcript().size(), 3u);
    EXPECT_TRUE(sameBox(ui.transcript()[0], saveQuestion()));
    EXPECT_TRUE(sameBox(ui.transcript()[1], overwriteQuestion("Home.LOC")));
    EXPECT_TRUE(sameDialog(ui.transcript()[2], {FileRequest::Mode::Open, "Name of new Tellurim Location File",
                                                "Tellurim Location files (*.LOC)", "*.LOC", "loc", "", false}));
    EXPECT_EQ(readWholeFile(work("Home.LOC")), "older");
    EXPECT_EQ(encodeLocationFile(workspace->record), before);
    EXPECT_EQ(workspace->locationChanged, 1);
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, ASaveStepThatCannotWriteEndsTheLoad)
{
    workspace->record.Location = "no-such-folder/Home";
    ui.then(Answer::Yes);
    workspace->getLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    EXPECT_EQ(ui.transcript()[1].caption, "Tellurim File Open Error");
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, LoadingRestoresTheFileAndRecomputesWithItsModel)
{
    FakeView view(*workspace);
    workspace->show();
    const std::string path = storedLocation();
    ui.then(Answer::No).then(File{path});
    workspace->getLocation();
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(sameBox(ui.transcript().at(0), saveQuestion()));

    const LocationRecord& r = workspace->record;
    EXPECT_EQ(r.Location, "Boulder");
    EXPECT_EQ(r.FILENAME, kModel);
    EXPECT_EQ(r.ILATM, 1);
    EXPECT_EQ(r.DLAT, 40.025f);
    EXPECT_EQ(r.JHEM_EW, 0);
    EXPECT_EQ(r.DDATE, static_cast<float>(2003.0 + 182.0 / 365.0));
    EXPECT_EQ(workspace->texts().CVALIDITY, "The year is out of range for the selected model");
    EXPECT_EQ(workspace->locationChanged, 1);  // the model load at the end sets it
    EXPECT_EQ(workspace->lastFileName, path);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(path).parent_path());
    EXPECT_EQ(view.text(Field::Location), "Boulder");
    EXPECT_EQ(view.text(Field::IYR), "2003");
    EXPECT_EQ(view.selectedIndex(Field::JHEM_EW), 0);

    // Loaded twice in a row: the load itself counts as a change.
    ui.clearTranscript();
    ui.then(Answer::Cancel);
    workspace->getLocation();
    EXPECT_TRUE(lastBox(ui, 1, saveQuestion()));
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, RefusedOrMissingFilesKeepTheRecordAndNameTheirPath)
{
    const std::string good = encodeLocationFile(workspace->record);
    std::string otherVersion = good;
    otherVersion[9] = 2;
    std::string negativeLength = good;
    negativeLength.replace(13, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    const std::string path = work("bad.LOC");
    const std::string damaged = "File is damaged or incomplete:\n\n" + path;
    // Whole files with a value its field would refuse if typed: these once
    // gave F = 8e35 nT or NaN results marked "OK".
    const auto withValue = [&](auto change) {
        LocationRecord record = workspace->record;
        change(record);
        return encodeLocationFile(record);
    };
    const std::vector<std::pair<std::optional<std::string>, Prompt>> cases = {
        {withValue([](LocationRecord& r) { r.ALTM = -6371000.0f; }), exclamation("Tellurim File Read Error", damaged)},
        {withValue([](LocationRecord& r) { r.DLAT = std::numeric_limits<float>::quiet_NaN(); }),
         exclamation("Tellurim File Read Error", damaged)},
        {withValue([](LocationRecord& r) { r.IYR = 2147483647; }), exclamation("Tellurim File Read Error", damaged)},
        {withValue([](LocationRecord& r) { r.JHEM_EW = 2; }), exclamation("Tellurim File Read Error", damaged)},
        {"NotTellurim at all", exclamation("Tellurim File Read Error", "File is not Tellurim LOC file:\n\n" + path)},
        {otherVersion, exclamation("Tellurim File Read Error", "Unknown version of Tellurim LOC file:\n\n" + path)},
        {good.substr(0, good.size() - 1), exclamation("Tellurim File Read Error", damaged)},
        {negativeLength, exclamation("Tellurim File Read Error", damaged)},
        {std::nullopt, exclamation("Tellurim File Open Error", "Cannot open Location:\n\n" + path)},
    };
    for (const auto& [bytes, expected] : cases) {
        std::filesystem::remove(path);
        if (bytes)
            writeWholeFile(path, *bytes);
        const std::string before = encodeLocationFile(workspace->record);
        const float ddate = workspace->record.DDATE;
        workspace->locationChanged = 0;  // nothing to save first
        ui.clearTranscript();
        ui.then(File{path});
        workspace->getLocation();
        EXPECT_TRUE(lastBox(ui, 2, expected));
        EXPECT_EQ(encodeLocationFile(workspace->record), before);
        EXPECT_EQ(workspace->record.DDATE, ddate);
        EXPECT_EQ(workspace->locationChanged, 0);
        EXPECT_EQ(workspace->lastFileName, path);
    }
    EXPECT_TRUE(ui.finished());
}

// ---- export -----------------------------------------------------------------------

TEST_F(LocationFilesFlow, ExportsAppendInOneRunAndARestartAsksAgainAndEmptiesTheFile)
{
    const std::string path = work("out.csv");
    const Prompt exported = messageBox(Icon::Information, "Tellurim", "Data exported OK");
    ui.then(File{path});
    workspace->exportLocation();
    EXPECT_TRUE(lastBox(ui, 2, exported));
    EXPECT_TRUE(sameDialog(ui.transcript()[0], {FileRequest::Mode::Save, "Name of Tellurim Export File",
                                                "Tellurim export files (*.CSV)", "*.CSV", "csv", "", true}));
    const ResultTexts texts = workspace->texts();
    const std::string firstRow = locationExportRow(workspace->record, workspace->results(), texts);
    EXPECT_EQ(readWholeFile(path), locationExportHeader() + firstRow);
    EXPECT_EQ(workspace->lastFileName, path);

    workspace->record.Location = "Elsewhere";
    ui.clearTranscript();
    workspace->exportLocation();
    EXPECT_TRUE(lastBox(ui, 1, exported));
    const std::string secondRow = locationExportRow(workspace->record, workspace->results(), texts);
    EXPECT_NE(secondRow, firstRow);
    EXPECT_EQ(readWholeFile(path), locationExportHeader() + firstRow + secondRow);

    start();  // a new run
    ui.then(File{path});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    EXPECT_EQ(ui.transcript()[0].kind, Prompt::Kind::File);
    EXPECT_EQ(readWholeFile(path), locationExportHeader() + firstRow);
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, ExportDialogStartsOnTheLastLoadedLocationFile)
{
    const std::string path = storedLocation();
    workspace->locationChanged = 0;
    ui.then(File{path}).then(File{});
    workspace->getLocation();
    workspace->exportLocation();
    EXPECT_EQ(ui.transcript().back().file.initialName, path);
    EXPECT_FALSE(workspace->locationExportOpen());
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, AFullDiskIsReportedWithItsCodeAndNoSuccessBox)
{
    const Prompt failed = messageBox(Icon::Information, "Tellurim", "Error writing CSV file. Code: 13.");
    ui.then(File{std::string("/dev/full")});
    workspace->exportLocation();
    EXPECT_TRUE(lastBox(ui, 2, failed));
    EXPECT_TRUE(workspace->locationExportOpen());

    ui.clearTranscript();
    workspace->exportLocation();  // the file stays open: no dialog, same failure
    EXPECT_TRUE(lastBox(ui, 1, failed));
}

TEST_F(LocationFilesFlow, AnExportCutShortLeavesWholeRowsAndTheNextExportFollowsThem)
{
    const std::string path = work("out.csv");
    ui.then(File{path});
    workspace->exportLocation();
    const std::string first = readWholeFile(path);
    ui.clearTranscript();
    {
        FileSizeLimit limit(first.size() + 20);
        ASSERT_TRUE(limit.active());
        workspace->exportLocation();
    }
    EXPECT_TRUE(lastBox(ui, 1, messageBox(Icon::Information, "Tellurim", "Error writing CSV file. Code: 13.")));
    EXPECT_EQ(readWholeFile(path), first);
    workspace->record.Location = "Elsewhere";
    workspace->exportLocation();
    EXPECT_EQ(readWholeFile(path),
              first + locationExportRow(workspace->record, workspace->results(), workspace->texts()));
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, AFileThatCannotBeCreatedIsAskedForAgain)
{
    const std::string path = work("missing/out.csv");
    ui.then(File{path});
    workspace->exportLocation();
    EXPECT_TRUE(lastBox(ui, 2, exclamation("Tellurim File Open Error", "Cannot open file:\n\n" + path
                                                                           + ".\n\nPlease check file name and try again")));
    EXPECT_FALSE(workspace->locationExportOpen());
    EXPECT_EQ(workspace->lastFileName, path);

    ui.clearTranscript();
    ui.then(File{});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].file.initialName, path);
    EXPECT_TRUE(ui.finished());
}

// ---- print ------------------------------------------------------------------------

/// What was drawn on the pages of a recorder, and how many jobs it finished.
struct Page {
    std::vector<PlacedLine> lines;
    int finished = 0;
};

/// A printer drawing into a Page; a refusing one does not accept the job,
/// and one printing to a file says that the disk was full.
class PageRecorder final : public PageCanvas {
public:
    PageRecorder(Page& page, bool accepts, std::string file = {}) : m_page(page), m_accepts(accepts), m_file(std::move(file)) {}
    int pixelsPerInchX() const override { return 300; }
    int pixelsPerInchY() const override { return 300; }
    void drawCentredText(int x, int y, std::string_view text) override { m_page.lines.push_back({x, y, std::string(text)}); }
    PrintResult finish() override { return {(++m_page.finished, m_accepts), m_file, m_file.empty() ? -1 : ENOSPC}; }

private:
    Page& m_page;
    bool m_accepts;
    std::string m_file;
};

TEST_F(LocationFilesFlow, PrintingDrawsTheCurrentReportAndCancelPrintsNothing)
{
    Page page;
    ui.then(Printer{std::make_unique<PageRecorder>(page, true)}).then(Printer{});
    workspace->printLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].documentName, "DocName");
    const auto expected = placeLines(
        reportLines(workspace->record, workspace->results(),
                    workspace->texts(), "Tester"),
        300, 300);
    ASSERT_EQ(page.lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(page.lines[i].y, expected[i].y);
        EXPECT_EQ(page.lines[i].text, expected[i].text);
    }
    EXPECT_EQ(page.lines[1].text, "Prepared by Tellurim for Tester");
    EXPECT_EQ(page.finished, 1);

    workspace->printLocation();  // cancelled
    EXPECT_EQ(page.lines.size(), expected.size());
    EXPECT_EQ(ui.transcript().size(), 2u);
    EXPECT_TRUE(ui.finished());

    // A printer that refuses the job is reported.
    ui.clearTranscript();
    ui.then(Printer{std::make_unique<PageRecorder>(page, false)});
    workspace->printLocation();
    EXPECT_TRUE(lastBox(ui, 2, exclamation("Tellurim", "The page could not be printed: the printer or the output "
                                                       "file did not accept it.")));
    // A file that refused it gets the standard file-error report.
    ui.clearTranscript();
    ui.then(Printer{std::make_unique<PageRecorder>(page, false, "/out/report.pdf")});
    workspace->printLocation();
    EXPECT_TRUE(lastBox(ui, 2, messageBox(Icon::Stop, "Tellurim", "Disk full while accessing /out/report.pdf.")));
}

}  // namespace
}  // namespace tellurim

#include "workspace/Workspace.h"

#include "files/FileSizeLimit.h"
#include "files/LocationExport.h"
#include "files/LocationFile.h"
#include "files/ReportLayout.h"
#include "files/TempFolder.h"
#include "platform/InteractionMessageSink.h"
#include "support/FakeView.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tellurim {
namespace {

const std::string kModel = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";

/// A started program in a scratch folder: its own settings folder, the
/// current directory moved into a work folder, a fixed date in 2026.
class LocationFilesFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        if (previous != nullptr) {
            m_previousConfig = previous;
        }
        ::setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
        m_inWork = std::make_unique<test::CurrentFolder>(m_work.path());
        start();
    }

    void TearDown() override
    {
        workspace.reset();
        m_inWork.reset();
        if (m_previousConfig) {
            ::setenv("XDG_CONFIG_HOME", m_previousConfig->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }

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

    static Prompt message(Icon icon, std::string caption, std::string text,
                          Buttons buttons = Buttons::Ok)
    {
        Prompt prompt;
        prompt.icon = icon;
        prompt.caption = std::move(caption);
        prompt.text = std::move(text);
        prompt.buttons = buttons;
        return prompt;
    }

    static void expectMessage(const Prompt& actual, const Prompt& expected)
    {
        EXPECT_EQ(actual.kind, Prompt::Kind::Message);
        EXPECT_EQ(actual.icon, expected.icon) << actual.text;
        EXPECT_EQ(actual.caption, expected.caption) << actual.text;
        EXPECT_EQ(actual.text, expected.text);
        EXPECT_EQ(actual.buttons, expected.buttons) << actual.text;
    }

    static Prompt saveQuestion()
    {
        return message(Icon::Question, "Tellurim",
                       "The data for this location has changed. Do you wish to save it?",
                       Buttons::YesNoCancel);
    }
    static Prompt overwriteQuestion(const std::string& name)
    {
        return message(Icon::Question, "Tellurim",
                       "Location file already exists:\n\n" + name + ".\n\nDo you wish to overwrite?",
                       Buttons::YesNoCancel);
    }
    static Prompt savedBox(const std::string& name)
    {
        return message(Icon::Information, "Tellurim Successful Save", "Location saved OK:\n\n" + name);
    }

    /// Writes a location file for 1 July 2003 somewhere else and returns its path.
    std::string storedLocation()
    {
        LocationRecord stored;
        stored.Location = "Boulder";
        stored.FILENAME = kModel;
        stored.ILATD = 40;
        stored.ILATM = 1;
        stored.XLATS = 30.0f;
        stored.DLAT = 40.025f;
        stored.ILOND = 105;
        stored.ILONM = 15;
        stored.XLONS = 0.0f;
        stored.DLON = 105.25f;
        stored.ALTF = 5280.0f;
        stored.ALTM = 1609.344f;
        stored.IDAY = 1;
        stored.IMONTH = 7;
        stored.IYR = 2003;
        stored.IHEM_NS = 0;
        stored.JHEM_EW = 0;
        std::filesystem::create_directory(m_stored.path() / "saved");
        const std::string path = m_stored.file("saved/Boulder.loc");
        test::writeBytes(path, encodeLocationFile(stored));
        return path;
    }

    ScriptedInteraction ui;
    InteractionMessageSink sink{ui};
    ModelEngine engine{sink};
    FixedClock clock{2026, 3, 15};
    std::unique_ptr<Workspace> workspace;

private:
    test::TempFolder m_config;
    test::TempFolder m_work;
    test::TempFolder m_stored;
    std::optional<std::string> m_previousConfig;
    std::unique_ptr<test::CurrentFolder> m_inWork;
};

// ---- save -------------------------------------------------------------------------

TEST_F(LocationFilesFlow, SavingTwiceAsksToOverwriteAndNoKeepsTheFirstFile)
{
    Workspace& ws = *workspace;
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::Done);
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0], savedBox("Home.LOC"));
    EXPECT_EQ(ws.locationChanged, 0);
    const std::string first = test::readBytes(work("Home.LOC"));
    EXPECT_EQ(first, encodeLocationFile(ws.record));

    ws.record.ILATD = 12;
    ws.recalculate();
    ui.clearTranscript();
    ui.then(Answer::No);
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::OverwriteDeclined);
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0], overwriteQuestion("Home.LOC"));
    EXPECT_EQ(test::readBytes(work("Home.LOC")), first);
    EXPECT_EQ(ws.locationChanged, 1);

    ui.clearTranscript();
    ui.then(Answer::Yes);
    EXPECT_EQ(ws.saveLocation(true), Workspace::SaveOutcome::Done);
    ASSERT_EQ(ui.transcript().size(), 2u);
    expectMessage(ui.transcript()[1], savedBox("Home.LOC"));
    EXPECT_EQ(test::readBytes(work("Home.LOC")), encodeLocationFile(ws.record));
    EXPECT_EQ(test::folderEntries(work(".")), std::vector<std::string>{"Home.LOC"});
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, SaveButtonNeverAsksWhetherToSave)
{
    ASSERT_EQ(workspace->locationChanged, 1);
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].caption, "Tellurim Successful Save");
}

TEST_F(LocationFilesFlow, EmptyNameSavesDotLocAndFolderNamesSaveIntoTheFolder)
{
    workspace->record.Location = "";
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    expectMessage(ui.transcript().at(0), savedBox(".LOC"));
    EXPECT_TRUE(std::filesystem::exists(work(".LOC")));

    std::filesystem::create_directory(work("sites"));
    workspace->record.Location = "sites/Cabin";
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    expectMessage(ui.transcript().at(0), savedBox("sites/Cabin.LOC"));
    EXPECT_EQ(test::folderEntries(work("sites")), std::vector<std::string>{"Cabin.LOC"});
}

TEST_F(LocationFilesFlow, ANameTheFileSystemRefusesGivesTheIllegalCharactersBox)
{
    workspace->record.Location = "no-such-folder/Home";
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0],
                  message(Icon::Exclamation, "Tellurim File Open Error",
                          "Cannot open Location:\n\nno-such-folder/Home.LOC\n\nBe sure Location does "
                          "not contain\ncharacters illegal for file names"));
    EXPECT_EQ(workspace->locationChanged, 1);
    EXPECT_TRUE(test::folderEntries(work(".")).empty());
}

TEST_F(LocationFilesFlow, TextsTooLongToLoadBackAreRefusedAtSave)
{
    const std::string longName(256, 'n');
    workspace->record.Location = longName;
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0],
                  message(Icon::Exclamation, "Tellurim File Open Error",
                          "Cannot save Location:\n\n" + longName +
                              ".LOC\n\nThe location name and the model path must each be at "
                              "most 255 characters long"));

    workspace->record.Location = "Home";
    workspace->record.FILENAME = "/" + std::string(255, 'm');
    ui.clearTranscript();
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Cancelled);
    EXPECT_EQ(ui.transcript().at(0).text.substr(0, 31), "Cannot save Location:\n\nHome.LOC");
    EXPECT_TRUE(test::folderEntries(work(".")).empty());
}

TEST_F(LocationFilesFlow, AFailedWriteKeepsThePreviousFileAndShowsNoSuccess)
{
    EXPECT_EQ(workspace->saveLocation(true), Workspace::SaveOutcome::Done);
    const std::string first = test::readBytes(work("Home.LOC"));
    workspace->record.FILENAME = std::string(200, 'p');  // a file larger than the limit
    workspace->locationChanged = 1;
    ui.clearTranscript();
    ui.then(Answer::Yes);
    Workspace::SaveOutcome outcome{};
    {
        test::FileSizeLimit limit(first.size());
        ASSERT_TRUE(limit.active());
        outcome = workspace->saveLocation(true);
    }
    EXPECT_EQ(outcome, Workspace::SaveOutcome::Cancelled);
    ASSERT_EQ(ui.transcript().size(), 2u);
    expectMessage(ui.transcript()[1],
                  message(Icon::Stop, "Tellurim", "Disk full while accessing Home.LOC."));
    EXPECT_EQ(test::readBytes(work("Home.LOC")), first);
    EXPECT_EQ(test::folderEntries(work(".")), std::vector<std::string>{"Home.LOC"});
    EXPECT_EQ(workspace->locationChanged, 1);
}

// ---- get --------------------------------------------------------------------------

TEST_F(LocationFilesFlow, CancelToSaveFirstEndsTheLoadBeforeTheFileDialog)
{
    ASSERT_EQ(workspace->locationChanged, 1);  // start-up loaded a model
    ui.then(Answer::Cancel);
    const std::string before = encodeLocationFile(workspace->record);
    workspace->getLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0], saveQuestion());
    EXPECT_EQ(encodeLocationFile(workspace->record), before);
    EXPECT_EQ(workspace->locationChanged, 1);
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, CancelToOverwriteStillOpensFileDialogWhoseCancelChangesNothing)
{
    test::writeBytes(work("Home.LOC"), "older");
    ui.then(Answer::Yes).then(Answer::Cancel).then(File{});
    const std::string before = encodeLocationFile(workspace->record);
    workspace->getLocation();
    ASSERT_EQ(ui.transcript().size(), 3u);
    expectMessage(ui.transcript()[0], saveQuestion());
    expectMessage(ui.transcript()[1], overwriteQuestion("Home.LOC"));
    const Prompt& dialog = ui.transcript()[2];
    ASSERT_EQ(dialog.kind, Prompt::Kind::File);
    EXPECT_EQ(dialog.file.mode, FileRequest::Mode::Open);
    EXPECT_EQ(dialog.file.title, "Name of new Tellurim Location File");
    EXPECT_EQ(dialog.file.filterDescription, "Tellurim Location files (*.LOC)");
    EXPECT_EQ(dialog.file.pattern, "*.LOC");
    EXPECT_EQ(dialog.file.defaultExtension, "loc");
    EXPECT_EQ(dialog.file.initialName, "");
    EXPECT_EQ(test::readBytes(work("Home.LOC")), "older");
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
    expectMessage(ui.transcript().at(0), saveQuestion());

    const LocationRecord& r = workspace->record;
    EXPECT_EQ(r.Location, "Boulder");
    EXPECT_EQ(r.FILENAME, kModel);
    EXPECT_EQ(r.ILATM, 1);
    EXPECT_EQ(r.DLAT, 40.025f);
    EXPECT_EQ(r.JHEM_EW, 0);
    EXPECT_EQ(r.DDATE, static_cast<float>(2003.0 + 182.0 / 365.0));
    EXPECT_EQ(workspace->CVALIDITY, "The year is out of range for the selected model");
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
    expectMessage(ui.transcript().at(0), saveQuestion());
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, RefusedFilesKeepTheRecordAndNameTheirPath)
{
    const std::string good = encodeLocationFile(workspace->record);
    std::string otherVersion = good;
    otherVersion[9] = 2;
    std::string negativeLength = good;
    negativeLength.replace(13, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    struct Case {
        std::string bytes;
        Prompt expected;
    };
    const std::string path = work("bad.LOC");
    const std::vector<Case> cases = {
        {"NotTellurim at all",
         message(Icon::Exclamation, "Tellurim File Read Error", "File is not Tellurim LOC file:\n\n" + path)},
        {otherVersion, message(Icon::Exclamation, "Tellurim File Read Error",
                               "Unknown version of Tellurim LOC file:\n\n" + path)},
        {good.substr(0, good.size() - 1),
         message(Icon::Exclamation, "Tellurim File Read Error", "File is damaged or incomplete:\n\n" + path)},
        {negativeLength,
         message(Icon::Exclamation, "Tellurim File Read Error", "File is damaged or incomplete:\n\n" + path)},
    };
    for (const Case& c : cases) {
        test::writeBytes(path, c.bytes);
        const std::string before = encodeLocationFile(workspace->record);
        const float ddate = workspace->record.DDATE;
        workspace->locationChanged = 0;  // nothing to save first
        ui.clearTranscript();
        ui.then(File{path});
        workspace->getLocation();
        ASSERT_EQ(ui.transcript().size(), 2u) << c.expected.text;
        expectMessage(ui.transcript()[1], c.expected);
        EXPECT_EQ(encodeLocationFile(workspace->record), before);
        EXPECT_EQ(workspace->record.DDATE, ddate);
        EXPECT_EQ(workspace->locationChanged, 0);
    }
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, AMissingFileCannotBeOpened)
{
    workspace->locationChanged = 0;
    const std::string path = work("gone.LOC");
    ui.then(File{path});
    workspace->getLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    expectMessage(ui.transcript()[1], message(Icon::Exclamation, "Tellurim File Open Error",
                                              "Cannot open Location:\n\n" + path));
    EXPECT_EQ(workspace->lastFileName, path);
}

// ---- export -----------------------------------------------------------------------

TEST_F(LocationFilesFlow, ExportsAppendInOneRunAndARestartAsksAgainAndEmptiesTheFile)
{
    const std::string path = work("out.csv");
    ui.then(File{path});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    const FileRequest& request = ui.transcript()[0].file;
    EXPECT_EQ(request.mode, FileRequest::Mode::Save);
    EXPECT_EQ(request.title, "Name of Tellurim Export File");
    EXPECT_EQ(request.filterDescription, "Tellurim export files (*.CSV)");
    EXPECT_EQ(request.pattern, "*.CSV");
    EXPECT_EQ(request.defaultExtension, "csv");
    EXPECT_TRUE(request.confirmOverwrite);
    expectMessage(ui.transcript()[1], message(Icon::Information, "Tellurim", "Data exported OK"));
    const ResultTexts texts{workspace->CVALIDITY, workspace->CPOLAR1, workspace->CPOLAR2};
    const std::string firstRow = locationExportRow(workspace->record, workspace->results, texts);
    EXPECT_EQ(test::readBytes(path), locationExportHeader() + firstRow);
    EXPECT_EQ(workspace->lastFileName, path);

    workspace->record.Location = "Elsewhere";
    ui.clearTranscript();
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0], message(Icon::Information, "Tellurim", "Data exported OK"));
    const std::string secondRow = locationExportRow(workspace->record, workspace->results, texts);
    EXPECT_NE(secondRow, firstRow);
    EXPECT_EQ(test::readBytes(path), locationExportHeader() + firstRow + secondRow);

    start();  // a new run
    ui.then(File{path});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    EXPECT_EQ(ui.transcript()[0].kind, Prompt::Kind::File);
    EXPECT_EQ(test::readBytes(path), locationExportHeader() + firstRow);
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
    EXPECT_FALSE(workspace->locationExportOpen);
    EXPECT_TRUE(ui.finished());
}

TEST_F(LocationFilesFlow, AFullDiskIsReportedWithItsCodeAndNoSuccessBox)
{
    ui.then(File{std::string("/dev/full")});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    const Prompt failed = message(Icon::Information, "Tellurim", "Error writing CSV file. Code: 13.");
    expectMessage(ui.transcript()[1], failed);
    EXPECT_TRUE(workspace->locationExportOpen);

    ui.clearTranscript();
    workspace->exportLocation();  // the file stays open: no dialog, same failure
    ASSERT_EQ(ui.transcript().size(), 1u);
    expectMessage(ui.transcript()[0], failed);
}

TEST_F(LocationFilesFlow, AFileThatCannotBeCreatedIsAskedForAgain)
{
    const std::string path = work("missing/out.csv");
    ui.then(File{path});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    expectMessage(ui.transcript()[1],
                  message(Icon::Exclamation, "Tellurim File Open Error",
                          "Cannot open file:\n\n" + path + ".\n\nPlease check file name and try again"));
    EXPECT_FALSE(workspace->locationExportOpen);
    EXPECT_EQ(workspace->lastFileName, path);

    ui.clearTranscript();
    ui.then(File{});
    workspace->exportLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].file.initialName, path);
    EXPECT_TRUE(ui.finished());
}

// ---- print ------------------------------------------------------------------------

struct Page {
    std::vector<PlacedLine> lines;
    int finished = 0;
};

class PageRecorder final : public PageCanvas {
public:
    PageRecorder(Page& page, bool accepts) : m_page(page), m_accepts(accepts) {}
    int pixelsPerInchX() const override { return 300; }
    int pixelsPerInchY() const override { return 300; }
    void drawCentredText(int x, int y, std::string_view text) override
    {
        m_page.lines.push_back(PlacedLine{x, y, std::string(text)});
    }
    bool finish() override
    {
        ++m_page.finished;
        return m_accepts;
    }

private:
    Page& m_page;
    bool m_accepts;
};

TEST_F(LocationFilesFlow, PrintingDrawsTheCurrentReportAndCancelPrintsNothing)
{
    Page page;
    ui.then(Printer{std::make_unique<PageRecorder>(page, true)}).then(Printer{});
    workspace->printLocation();
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].documentName, "DocName");
    const auto expected = placeLines(
        reportLines(workspace->record, workspace->results,
                    ResultTexts{workspace->CVALIDITY, workspace->CPOLAR1, workspace->CPOLAR2}, "Tester"),
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
}

TEST_F(LocationFilesFlow, APrinterThatRefusesTheJobIsReported)
{
    Page page;
    ui.then(Printer{std::make_unique<PageRecorder>(page, false)});
    workspace->printLocation();
    ASSERT_EQ(ui.transcript().size(), 2u);
    expectMessage(ui.transcript()[1],
                  message(Icon::Exclamation, "Tellurim",
                          "The page could not be printed: the printer or the output file did not "
                          "accept it."));
}

}  // namespace
}  // namespace tellurim

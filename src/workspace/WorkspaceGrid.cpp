// The workspace's Make Grid command.
#include "workspace/Workspace.h"

#include "files/CsvWriter.h"
#include "grid/GridCsv.h"
#include "grid/GridProducer.h"
#include "grid/GridSize.h"
#include "platform/FileChoice.h"
#include "record/ResultTexts.h"
#include "workspace/BusyMark.h"
#include "workspace/GridEntry.h"

namespace tellurim {
namespace {

constexpr std::string_view kProgressCaption = "Generating Grid File";

void tell(Interaction& interaction, Icon icon, std::string_view caption, std::string text)
{
    interaction.ask(Message{icon, std::string(caption), std::move(text), Buttons::Ok});
}

void tellWriteError(Interaction& interaction, const FileError& error)
{
    tell(interaction, Icon::Information, kAppName, csvWriteErrorText(error));
}

// A grid estimated to need more than the file's file system has free is
// made only when the user says so; No, the default, and Cancel leave
// everything as it was.
bool enoughSpaceOrGoAhead(Interaction& interaction, const GridSettings& area, const CsvFile& file)
{
    const std::optional<SpaceShortage> shortage = gridSpaceShortage(area, file.descriptor());
    if (!shortage)
        return true;
    const Message question{Icon::Question, std::string(kAppName),
                           "The grid file needs about " + byteSizeText(shortage->needed) + " but only " +
                               byteSizeText(shortage->free) + " are free. Create it anyway?",
                           Buttons::YesNoCancelDefaultNo};
    return interaction.ask(question) == Answer::Yes;
}

}  // namespace

std::optional<GridSettings> Workspace::askGridArea()
{
    // The first offer is a square around the location; every later one is
    // the last grid made (or first offered).
    if (grid.lNeverGrid != 0)
        grid = gridAround(record);
    grid.lNeverGrid = 0;
    std::optional<GridSettings> area = m_interaction.editGridRectangle(grid);
    if (area)
        area->lNeverGrid = 0;
    return area;
}

void Workspace::makeGrid()
{
    BusyMark mark(m_busy);
    if (!m_engine.isLoaded()) {
        tell(m_interaction, Icon::Exclamation, kAppName, std::string(validityText(-1, -1)));
        return;
    }
    const std::optional<GridSettings> area = askGridArea();
    if (!area)
        return;
    const FileRequest request{.mode = FileRequest::Mode::Save,
                              .title = "Name of Tellurim f File",
                              .filterDescription = "Tellurim GRID files (*.CSV)",
                              .pattern = "*.CSV",
                              .defaultExtension = "csv",
                              .initialName = lastFileName,
                              .confirmOverwrite = true};
    const std::optional<std::string> chosen = chooseFileAndEnterFolder(m_interaction, request);
    if (!chosen)
        return;
    rememberFileName(*chosen);

    // Asked once the file could be opened, about the file system it is on;
    // an existing file is emptied only after a Yes.
    CsvFile file;
    if (file.open(*chosen)) {
        tell(m_interaction, Icon::Exclamation, "Tellurim File Open Error",
             "Cannot open file:\n\n" + *chosen + ".\n\nPlease check file name and try again");
        return;
    }
    if (!enoughSpaceOrGoAhead(m_interaction, *area, file)) {
        file.discard();
        return;
    }
    if (auto error = file.empty()) {
        tellWriteError(m_interaction, *error);
        return;
    }
    if (const auto error = file.write(gridCsvHeader())) {
        tellWriteError(m_interaction, *error);
        return;
    }

    // The grid has a working record of its own: the location, its results
    // and their texts stay as the user left them.
    const GridJob job{.area = *area, .elevation = record.ALTM, .date = record.DDATE};
    std::unique_ptr<Progress> progress = m_interaction.openProgress(kProgressCaption);
    const GridRunResult result = GridProducer().runInBackground(
        m_engine, job, [&file](std::string_view bytes) { return file.write(bytes); }, *progress);
    progress.reset();
    file.close();
    if (result.outcome == GridOutcome::WriteFailed) {
        tellWriteError(m_interaction, *result.error);
        return;
    }
    grid = *area;
    tell(m_interaction, Icon::Information, kAppName,
         result.outcome == GridOutcome::Cancelled ? "Grid creation cancelled by user" : "Grid created OK");
}

}  // namespace tellurim

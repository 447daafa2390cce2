// The workspace's Make Grid command.
#include "workspace/Workspace.h"

#include "files/CsvWriter.h"
#include "gis/LatticeEvaluator.h"
#include "gis/RasterWriter.h"
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

// A GeoTIFF or NetCDF grid of every quantity over the rectangle's exact
// lattice, replacing the file only once complete. Returns whether the run
// reached the walk (completed or cancelled), as the CSV grid does.
bool makeRaster(ModelEngine& engine, WorkspaceInteraction& interaction, const GridSettings& area,
                const LocationRecord& record, const std::string& path, GridFormat format)
{
    RasterRequest request{path, format, latticeOf(area), {}, {}};
    if (const std::string problem = rasterSizeProblem(request.geometry); !problem.empty()) {
        tell(interaction, Icon::Exclamation, kAppName, "The grid cannot be made: " + problem + ".");
        return false;
    }
    const PublishedAccuracy* accuracy = publishedAccuracy(engine.modelName());
    request.bands = defaultBands(accuracy != nullptr && accuracy->hasDeclination);
    request.provenance = LayerProvenance{record.FILENAME, trimmedModelName(engine.modelName()),
                                         engine.model()->epoch(), record.DDATE, record.ALTM, "Tellurim"};
    LatticeEvaluator evaluator(engine.model(), {record.ALTM, record.DDATE});
    std::unique_ptr<Progress> progress = interaction.openProgress(kProgressCaption);
    const RasterResult result = writeRaster(request, evaluator, *progress);
    progress.reset();
    if (result.outcome == RasterOutcome::Failed) {
        tell(interaction, Icon::Exclamation, kAppName, result.problem);
        return false;
    }
    tell(interaction, Icon::Information, kAppName,
         result.outcome == RasterOutcome::Cancelled ? "Grid creation cancelled by user" : "Grid created OK");
    return true;
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
                              .confirmOverwrite = true,
                              .moreFilters = {{"GeoTIFF (*.tif, *.tiff)", "*.tif *.tiff"}, {"NetCDF (*.nc)", "*.nc"}}};
    const std::optional<std::string> chosen = chooseFileAndEnterFolder(m_interaction, request);
    if (!chosen)
        return;
    rememberFileName(*chosen);
    const std::optional<GridFormat> format = gridFormatFor(*chosen);
    if (format == GridFormat::GeoTiff || format == GridFormat::NetCdf) {
        if (makeRaster(m_engine, m_interaction, *area, record, *chosen, *format))
            grid = *area;
        return;
    }

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
        *m_engine.model(), job, [&file](std::string_view bytes) { return file.write(bytes); }, *progress);
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

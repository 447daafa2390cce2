#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliGridNorth.h"
#include "cli/CliOutput.h"
#include "engine/ModelLocator.h"
#include "grid/GridCsv.h"
#include "grid/GridProducer.h"
#include "grid/GridSize.h"
#include "grid/GridWalk.h"
#include "gis/LatticeEvaluator.h"
#include "gis/RasterWriter.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <memory>
#include <sys/stat.h>

namespace tellurim::cli {

namespace {

// A percentage of the rows done on one terminal line, rewritten only when
// it changes, with the file's estimated size. The producer polls once
// before each row; an interruption (SIGINT, SIGTERM, SIGHUP) stops the run there.
class ProgressLine final : public Progress {
public:
    ProgressLine(std::ostream& err, bool shown, size_t rowCount, std::string size)
        : m_err(err), m_shown(shown), m_rowCount(rowCount), m_size(std::move(size))
    {
    }

    void setRange(int, int) override {}
    void setPosition(int) override {}
    bool pollCancel() override
    {
        show(m_rowsStarted * 100 / std::max<size_t>(m_rowCount, 1));
        ++m_rowsStarted;
        return InterruptCatcher::interrupted();
    }

    /// Ends the line, at 100% when the whole grid was written.
    void close(bool completed)
    {
        if (completed) {
            show(100);
        }
        if (m_percent >= 0) {
            m_err << '\n';
            m_err.flush();
        }
    }

private:
    void show(size_t percent)
    {
        if (m_shown && static_cast<int>(percent) != m_percent) {
            m_percent = static_cast<int>(percent);
            m_err << '\r' << kProgramName << ": grid " << m_percent << "% of about " << m_size;
            m_err.flush();
        }
    }

    std::ostream& m_err;
    bool m_shown;
    size_t m_rowCount;
    std::string m_size;
    size_t m_rowsStarted = 0;
    int m_percent = -1;
};

// The grid file's header, with the columns --with asks for before its
// closing comma.
std::string gridHeader(const std::vector<ExtraColumns>& extras)
{
    std::string header = gridCsvHeader();
    extendHeader(header, extras);
    return header;
}

// The free-space check that refuses a CSV --output before anything is
// written (the model file was refused before); the exit status, or nothing
// when the run may go on.
std::optional<int> refuseOutput(const CliOptions& options, const GridSettings& area, CliContext& context)
{
    if (!options.output) {
        return std::nullopt;
    }
    if (options.force) {
        return std::nullopt;
    }
    if (const auto shortage = gridSpaceShortage(area, *options.output)) {
        printError(context.err, "the grid needs about " + byteSizeText(shortage->needed) + "; " +
                                    byteSizeText(shortage->free) + " are free (--force writes it anyway)");
        return kExitFailure;
    }
    return std::nullopt;
}

// Where the grid goes: the --output file or standard output.
std::unique_ptr<OutputTarget> openTarget(const CliOptions& options, CliContext& context)
{
    if (!options.output) {
        return std::make_unique<StreamTarget>(context.out);
    }
    std::optional<FileError> error;
    auto target = createOutputFile(*options.output, error);
    if (!target) {
        printError(context.err, "cannot create the output file: " + standardReportText(*error));
    }
    return target;
}

// After a failed or interrupted run: what became of the --output file.
void sayWhatIsKept(OutputTarget& target, CliContext& context)
{
    if (auto* replacement = dynamic_cast<ReplacementTarget*>(&target)) {
        printError(context.err, replacement->abandon());
    }
}

// The checks that refuse a raster before the model is read: exit 2 and
// the reason, naming what to change.
std::string rasterRefusal(const CliOptions& options, GridFormat format, const LatticeGeometry& geometry)
{
    const std::string& output = *options.output;
    if (!options.with.empty()) {
        return "--with adds CSV columns; " + std::string(gridFormatName(format)) +
               " carries the uncertainty as a band (--element sigmaD)";
    }
    if (format == GridFormat::AsciiGrid && options.elements.size() != 1) {
        return "an ESRI ASCII grid (.asc) holds one quantity: give one --element (" + elementCodeList() + ")";
    }
    struct stat info {};
    if (::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return std::string(gridFormatName(format)) + " is written to a regular file, and " + output + " is not one";
    }
    if (std::string size = rasterSizeProblem(geometry); !size.empty()) {
        return size;
    }
    const std::size_t bands = options.elements.empty() ? defaultBands(true).size() : options.elements.size();
    const uint64_t needed = estimatedRasterBytes(geometry, bands, format);
    const std::optional<uint64_t> free = freeBytesFor(output);
    if (!options.force && free && needed > *free) {
        return "the raster needs up to " + byteSizeText(needed) + "; " + byteSizeText(*free) +
               " are free (choose larger steps, fewer --element, or --force)";
    }
    return {};
}

// A grid written as a GeoTIFF, NetCDF file or ESRI ASCII grid.
int runRaster(const CliOptions& options, GridFormat format, CliContext& context)
{
    RasterRequest request{*options.output, format,
                          latticeOf(GridSettings{0, options.latitudes->start, options.latitudes->end,
                                                 options.latitudes->step, options.longitudes->start,
                                                 options.longitudes->end, options.longitudes->step}),
                          options.elements, {}};
    if (std::string refused = rasterRefusal(options, format, request.geometry); !refused.empty()) {
        printError(context.err, refused);
        return kExitUsage;
    }
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    warnOutsideLifeSpan(*model, options.decimalYear(), context.err);
    const PublishedAccuracy* accuracy = publishedAccuracy(model->name());
    const bool sigmaPublished = accuracy != nullptr && accuracy->hasDeclination;
    if (request.bands.empty()) {
        request.bands = defaultBands(sigmaPublished);
    } else if (!sigmaPublished &&
               std::find(request.bands.begin(), request.bands.end(), FieldElement::SigmaD) != request.bands.end()) {
        printError(context.err, "no declination uncertainty is published for this model; leave out --element sigmaD");
        return kExitUsage;
    }
    request.provenance = layerProvenance(*model, options);
    const InterruptCatcher catcher(context.catchInterrupt);
    LatticeEvaluator evaluator(model, {options.elevationMetres(), options.decimalYear()},
                               static_cast<unsigned>(options.threads));
    ProgressLine progress(context.err, context.progress, stripCount(request.geometry, request.bands.size()),
                          byteSizeText(estimatedRasterBytes(request.geometry, request.bands.size(), format)));
    const RasterResult result = writeRaster(request, evaluator, progress);
    progress.close(result.outcome == RasterOutcome::Written);
    if (result.outcome == RasterOutcome::Written) {
        return kExitOk;
    }
    printError(context.err, result.outcome == RasterOutcome::Cancelled ? "interrupted" : result.problem);
    printError(context.err, result.replacedAFile ? "the old " + request.path + " is kept"
                                                 : request.path + " was not created");
    return result.outcome == RasterOutcome::Cancelled ? kExitInterrupted : kExitFailure;
}

}  // namespace

int runGrid(const CliOptions& options, CliContext& context)
{
    // An output that is the model file is refused as such, whatever its name.
    if (options.output && isTheModelFile(*options.output, options)) {
        printError(context.err, *options.output + " is the model file; the grid would replace it");
        return kExitFailure;
    }
    const std::optional<GridFormat> format = options.output ? gridFormatFor(*options.output) : GridFormat::Csv;
    if (!format) {
        printError(context.err, "cannot tell the format of " + *options.output + " from its extension; give a name "
                                "ending in " + std::string(kGridExtensions));
        return kExitUsage;
    }
    if (*format != GridFormat::Csv) {
        return runRaster(options, *format, context);
    }
    if (!options.elements.empty()) {
        printError(context.err, "--element chooses the bands of a .tif, .tiff, .nc or .asc output; "
                                "a CSV grid has every column");
        return kExitUsage;
    }

    const AxisRange& latitudes = *options.latitudes;
    const AxisRange& longitudes = *options.longitudes;
    GridJob job;
    job.area = GridSettings{0, latitudes.start, latitudes.end, latitudes.step,
                            longitudes.start, longitudes.end, longitudes.step};
    job.elevation = options.elevationMetres();
    job.date = options.decimalYear();
    if (const std::string problem = crsProblem(options); !problem.empty()) {
        printError(context.err, problem);
        return kExitUsage;
    }
    if (const auto refused = refuseOutput(options, job.area, context)) {
        return *refused;
    }

    // The model is loaded before the output file is created, so that a bad
    // model name leaves no trace of the run.
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    warnOutsideLifeSpan(*model, job.date, context.err);
    // From before the temporary file exists, so that Ctrl-C, SIGTERM or SIGHUP
    // never leaves it behind.
    const InterruptCatcher catcher(context.catchInterrupt);
    const std::unique_ptr<OutputTarget> target = openTarget(options, context);
    if (!target) {
        return kExitFailure;
    }
    auto error = target->write(gridHeader(options.with));
    bool interrupted = false;
    if (!error) {
        const size_t rowCount = gridLatitudes(latitudes.start, latitudes.end, latitudes.step).size();
        ProgressLine progress(context.err, context.progress, rowCount,
                              byteSizeText(estimatedGridFileBytes(job.area)));
        GridProducer producer(static_cast<unsigned>(options.threads));
        if (!options.with.empty()) {
            const PublishedAccuracy* accuracy = publishedAccuracy(model->name());
            producer.setLineExtra([accuracy, &options](CsvRow& row, float latitude, float longitude,
                                                       const FieldResult& point) {
                std::optional<CrsOutcome<GridNorth>> grid;
                if (wantsGrid(options.with)) {
                    grid = gridNorthAt(options.crs, static_cast<double>(latitude), static_cast<double>(longitude));
                }
                addExtraFields(row, options.with, accuracy, point, grid ? &*grid : nullptr);
            });
        }
        const GridRunResult result = producer.run(
            *model, job, [&target](std::string_view bytes) { return target->write(bytes); }, progress);
        progress.close(result.outcome == GridOutcome::Completed);
        error = result.error;
        interrupted = result.outcome == GridOutcome::Cancelled || InterruptCatcher::interrupted();
    }
    if (!error && !interrupted) {
        error = target->finish();
    }
    if (error || interrupted) {
        const int status = error ? reportWriteError(context, *error) : InterruptCatcher::exitStatus();
        if (interrupted) {
            printError(context.err, InterruptCatcher::stopText());
        }
        sayWhatIsKept(*target, context);
        return status;
    }
    return kExitOk;
}

LayerProvenance layerProvenance(const MagneticModel& model, const CliOptions& options)
{
    return LayerProvenance{modelName(options), trimmedModelName(model.name()), model.epoch(),
                           options.decimalYear(), options.elevationMetres(),
                           std::string("Tellurim ") + TELLURIM_VERSION};
}

bool isTheModelFile(const std::string& output, const CliOptions& options)
{
    // The output and the model as files, so a link to the model counts too.
    struct stat outputInfo {};
    struct stat modelInfo {};
    const std::string model = locateModelFile(modelName(options));
    return ::stat(output.c_str(), &outputInfo) == 0 && ::stat(model.c_str(), &modelInfo) == 0 &&
           outputInfo.st_dev == modelInfo.st_dev && outputInfo.st_ino == modelInfo.st_ino;
}

}  // namespace tellurim::cli

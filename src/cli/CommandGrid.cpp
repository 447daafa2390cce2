#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliGridNorth.h"
#include "cli/CliOutput.h"
#include "engine/ModelEngine.h"
#include "engine/ModelLocator.h"
#include "grid/GridCsv.h"
#include "grid/GridProducer.h"
#include "grid/GridSize.h"
#include "grid/GridWalk.h"

#include <memory>
#include <sys/stat.h>

namespace tellurim::cli {

namespace {

// A percentage of the rows done on one terminal line, rewritten only when
// it changes, with the file's estimated size. The producer polls once
// before each row; an interruption (SIGINT) stops the run there.
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
        show(m_rowsStarted * 100 / m_rowCount);
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

// An output that is the model file itself (also through a link) would
// replace the model with the grid.
bool isTheModelFile(const std::string& output, const CliOptions& options)
{
    struct stat outputInfo {};
    struct stat modelInfo {};
    const std::string model = locateModelFile(modelName(options));
    return ::stat(output.c_str(), &outputInfo) == 0 && ::stat(model.c_str(), &modelInfo) == 0 &&
           outputInfo.st_dev == modelInfo.st_dev && outputInfo.st_ino == modelInfo.st_ino;
}

// The checks that refuse an --output before anything is written; the exit
// status, or nothing when the run may go on.
std::optional<int> refuseOutput(const CliOptions& options, const GridSettings& area, CliContext& context)
{
    if (!options.output) {
        return std::nullopt;
    }
    const std::string& output = *options.output;
    if (isTheModelFile(output, options)) {
        printError(context.err, output + " is the model file; the grid would replace it");
        return kExitFailure;
    }
    if (options.force) {
        return std::nullopt;
    }
    if (const auto shortage = gridSpaceShortage(area, output)) {
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

}  // namespace

int runGrid(const CliOptions& options, CliContext& context)
{
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

    StreamMessageSink sink(context.err);
    ModelEngine engine(sink);
    // The model is loaded before the output file is created, so that a bad
    // model name leaves no trace of the run.
    if (!loadModel(engine, options, context.err)) {
        return kExitFailure;
    }
    // From before the temporary file exists, so that Ctrl-C never leaves it behind.
    const InterruptCatcher catcher(context.catchInterrupt);
    const std::unique_ptr<OutputTarget> target = openTarget(options, context);
    if (!target) {
        return kExitFailure;
    }
    auto error = target->write(gridHeader(options.with));
    bool interrupted = false;
    if (!error) {
        const size_t rowCount = gridAxis(latitudes.start, latitudes.end, latitudes.step).size();
        ProgressLine progress(context.err, context.progress, rowCount,
                              byteSizeText(estimatedGridFileBytes(job.area)));
        GridProducer producer(static_cast<unsigned>(options.threads));
        if (!options.with.empty()) {
            const PublishedAccuracy* accuracy = publishedAccuracy(engine.modelName());
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
            engine, job, [&target](std::string_view bytes) { return target->write(bytes); }, progress);
        progress.close(result.outcome == GridOutcome::Completed);
        error = result.error;
        interrupted = result.outcome == GridOutcome::Cancelled || InterruptCatcher::interrupted();
    }
    if (!error && !interrupted) {
        error = target->finish();
    }
    if (error || interrupted) {
        const int status = error ? reportWriteError(context, *error) : kExitInterrupted;
        if (interrupted) {
            printError(context.err, "interrupted");
        }
        sayWhatIsKept(*target, context);
        return status;
    }
    return kExitOk;
}

}  // namespace tellurim::cli

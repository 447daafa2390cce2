#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "engine/ModelEngine.h"
#include "grid/GridCsv.h"
#include "grid/GridProducer.h"
#include "grid/GridWalk.h"

#include <memory>

namespace tellurim::cli {

namespace {

// A percentage of the rows done on one terminal line, rewritten only when
// it changes. The producer polls once before each row.
class ProgressLine final : public Progress {
public:
    ProgressLine(std::ostream& err, bool shown, size_t rowCount) : m_err(err), m_shown(shown), m_rowCount(rowCount) {}

    void setRange(int, int) override {}
    void setPosition(int) override {}
    bool pollCancel() override
    {
        show(m_rowsStarted * 100 / m_rowCount);
        ++m_rowsStarted;
        return false;
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
            m_err << '\r' << kProgramName << ": grid " << m_percent << '%';
            m_err.flush();
        }
    }

    std::ostream& m_err;
    bool m_shown;
    size_t m_rowCount;
    size_t m_rowsStarted = 0;
    int m_percent = -1;
};

}  // namespace

int runGrid(const CliOptions& options, CliContext& context)
{
    StreamMessageSink sink(context.err);
    ModelEngine engine(sink);
    // The model is loaded before the output file is created, so that a bad
    // model name does not empty an existing file.
    if (!loadModel(engine, options, context.err)) {
        return kExitFailure;
    }

    const AxisRange& latitudes = *options.latitudes;
    const AxisRange& longitudes = *options.longitudes;
    GridJob job;
    job.area = GridSettings{0, latitudes.start, latitudes.end, latitudes.step,
                            longitudes.start, longitudes.end, longitudes.step};
    job.elevation = options.elevationMetres();
    job.date = options.decimalYear();

    std::unique_ptr<OutputTarget> target;
    if (options.output) {
        auto file = std::make_unique<FileTarget>();
        if (auto error = file->create(*options.output)) {
            printError(context.err, "cannot create the output file: " + standardReportText(*error));
            return kExitFailure;
        }
        target = std::move(file);
    } else {
        target = std::make_unique<StreamTarget>(context.out);
    }

    auto error = target->write(gridCsvHeader());
    if (!error) {
        const size_t rowCount = gridAxis(latitudes.start, latitudes.end, latitudes.step).size();
        ProgressLine progress(context.err, context.progress, rowCount);
        const GridProducer producer(static_cast<unsigned>(options.threads));
        const GridRunResult result = producer.run(
            engine, job, [&target](std::string_view bytes) { return target->write(bytes); }, progress);
        progress.close(result.outcome == GridOutcome::Completed);
        error = result.error;
    }
    if (!error) {
        error = target->finish();
    }
    if (error) {
        return reportWriteError(context, *error);
    }
    return kExitOk;
}

}  // namespace tellurim::cli

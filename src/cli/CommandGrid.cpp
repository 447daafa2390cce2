#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "engine/ModelEngine.h"
#include "grid/GridWalk.h"
#include "grid/ParallelGridWriter.h"

#include <memory>

namespace tellurim::cli {

namespace {

// A percentage on one terminal line, rewritten only when it changes.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err) : m_err(err) {}

    void update(uint64_t done, uint64_t total)
    {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent != m_shown) {
            m_shown = percent;
            m_err << '\r' << kProgramName << ": grid " << percent << '%';
            m_err.flush();
        }
    }

    void close()
    {
        if (m_shown >= 0) {
            m_err << '\n';
            m_err.flush();
        }
    }

private:
    std::ostream& m_err;
    int m_shown = -1;
};

}  // namespace

int runGrid(const CliOptions& options, CliContext& context)
{
    StreamMessageSink sink(context.err);
    ModelEngine engine(sink);
    // The model is loaded before the output file is created, so that a bad
    // model name does not empty an existing file.
    if (!loadModel(engine, options)) {
        return kExitFailure;
    }

    GridJob job;
    job.latitudes = gridAxis(options.latitudes->start, options.latitudes->end, options.latitudes->step);
    job.longitudes = gridAxis(options.longitudes->start, options.longitudes->end, options.longitudes->step);
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

    ProgressLine progressLine(context.err);
    ParallelGridWriter::Progress progress;
    if (context.progress) {
        progress = [&progressLine](uint64_t done, uint64_t total) { progressLine.update(done, total); };
    }
    const ParallelGridWriter writer(static_cast<unsigned>(options.threads));
    auto error = writer.run(
        engine, job, [&target](std::string_view bytes) { return target->write(bytes); }, progress);
    progressLine.close();
    if (!error) {
        error = target->finish();
    }
    if (error) {
        return reportWriteError(context, *error);
    }
    return kExitOk;
}

}  // namespace tellurim::cli

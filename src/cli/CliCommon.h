#pragma once

#include "cli/CliOptions.h"
#include "engine/MagneticModel.h"
#include "files/FileError.h"
#include "gis/RasterFormat.h"

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace tellurim::cli {

inline constexpr std::string_view kProgramName = "tellurim-cli";

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  ///< the model or the output failed, or a batch line was bad
inline constexpr int kExitUsage = 2;    ///< the command line was refused
inline constexpr int kExitInterrupted = 130;  ///< SIGINT, as a shell reports a program it ended
inline constexpr int kExitBrokenPipe = 141;   ///< the reader of standard output went away (as SIGPIPE)

/// The streams a command works with. progress: stderr is a terminal, so a
/// running percentage may be shown there. catchInterrupt: the program is a
/// process of its own, so a long command may take SIGINT over while it runs.
struct CliContext {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool progress = false;
    bool catchInterrupt = false;
};

/// While it lives (and when enabled), SIGINT, SIGTERM and SIGHUP no longer
/// end the process but are noted for interrupted() to see, so that a run can
/// clean up; a second one of the same signal ends it as usual.
class InterruptCatcher {
public:
    explicit InterruptCatcher(bool enabled);
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;
    /// True once one of the signals arrived while a catcher was enabled.
    static bool interrupted();
    /// 128 plus the first signal's number, as a shell reports a program the
    /// signal ended (130 for SIGINT).
    static int exitStatus();
    /// What stopped the run: "interrupted" (SIGINT), "terminated (SIGTERM)"
    /// or "hung up (SIGHUP)".
    static std::string stopText();

private:
    bool m_enabled;
};

/// Loads the model the options name (the default model when none). On
/// failure tells why on err ("ERROR OPENING FILE:" or "ERROR READING FILE:"
/// and the name; after a read failure the line and the reason, "line 7: the
/// g field is not a number") and returns null.
std::shared_ptr<const MagneticModel> loadModel(const CliOptions& options, std::ostream& err);

/// Tells on err, naming the model and its valid span, that a date lies
/// outside the model's life span; says nothing for a date inside it.
/// @param year decimal year
void warnOutsideLifeSpan(const MagneticModel& model, float year, std::ostream& err);

/// The model name as given, or the default.
std::string modelName(const CliOptions& options);

/// Reports a failed write of the results ("tellurim-cli: cannot write
/// world.csv: No space left on device") and gives the exit status for it. A
/// closed pipe (the reader had enough) is not reported.
int reportWriteError(CliContext& context, const FileError& error);

/// Writes a command's whole output to standard output; a failed write is
/// reported as reportWriteError does. Returns the exit status.
int writeOutput(CliContext& context, std::string_view text);

/// "tellurim-cli: " + message, on a line of its own.
void printError(std::ostream& err, std::string_view message);

int runPoint(const CliOptions& options, CliContext& context);
int runGrid(const CliOptions& options, CliContext& context);
int runPoles(const CliOptions& options, CliContext& context);
int runBatch(const CliOptions& options, CliContext& context);
int runContours(const CliOptions& options, CliContext& context);

/// Where a GIS layer comes from: the model as loaded, the options' date
/// and elevation, and this program.
LayerProvenance layerProvenance(const MagneticModel& model, const CliOptions& options);

/// Whether an output names the model file the options load (also through
/// a link), which writing it would replace.
bool isTheModelFile(const std::string& output, const CliOptions& options);

}  // namespace tellurim::cli

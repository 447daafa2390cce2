#pragma once

#include "cli/CliOptions.h"
#include "engine/EngineMessageSink.h"
#include "files/FileError.h"

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace tellurim {
class ModelEngine;
}

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

/// While it lives (and when enabled), SIGINT no longer ends the process but
/// is noted for interrupted() to see; a second SIGINT ends it as usual.
class InterruptCatcher {
public:
    explicit InterruptCatcher(bool enabled);
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;
    /// True once SIGINT arrived while a catcher was enabled.
    static bool interrupted();

private:
    bool m_enabled;
};

/// Engine messages on a stream, one line per ';', as they arise.
class StreamMessageSink final : public EngineMessageSink {
public:
    explicit StreamMessageSink(std::ostream& out) : m_out(out) {}
    void showPlainMessage(const std::string& text) override { show(text); }
    /// The life-span warning names --model instead of the window's button.
    void showInformationMessage(const std::string& text) override;

private:
    void show(const std::string& text);
    std::ostream& m_out;
};

/// Loads the model the options name (the default model when none). On
/// failure the engine has already told why on its sink; after a read
/// failure the line and the reason follow on err ("line 7: the g field is
/// not a number"). Returns false on failure.
bool loadModel(ModelEngine& engine, const CliOptions& options, std::ostream& err);

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
int runMap(const CliOptions& options, CliContext& context);

}  // namespace tellurim::cli

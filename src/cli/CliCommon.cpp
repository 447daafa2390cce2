#include "cli/CliCommon.h"
#include "cli/CliOutput.h"

#include "engine/ModelEngine.h"
#include "engine/ModelLocator.h"

#include <cerrno>
#include <csignal>
#include <iterator>

namespace tellurim::cli {

void StreamMessageSink::show(const std::string& text)
{
    m_out << engineTextToLines(text) << '\n';
    m_out.flush();
}

std::string modelName(const CliOptions& options)
{
    return options.model.empty() ? std::string(kDefaultModelFile) : options.model;
}

void StreamMessageSink::showInformationMessage(const std::string& text)
{
    if (text == kLifeSpanWarning) {
        show("WARNING: TIME BEYOND MODEL LIFE SPAN;"
             ";"
             "Each new release of the World Magnetic Model;"
             "comes with new coefficient (.COF) files.;"
             "Give the file that covers your date with --model.");
        return;
    }
    show(text);
}

bool loadModel(ModelEngine& engine, const CliOptions& options, std::ostream& err)
{
    std::string name = modelName(options);
    engine.readModelFile(kAllDegrees, name);
    const ModelReadProblem& problem = engine.lastReadProblem();
    if (!engine.isLoaded() && !problem.reason.empty()) {
        if (problem.line > 0) {
            err << "line " << problem.line << ": ";
        }
        err << problem.reason << '\n';
        err.flush();
    }
    return engine.isLoaded();
}

namespace {

// The signals that stop a long command the way Ctrl-C does.
constexpr int kCaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_signal = 0;
struct sigaction g_previous[std::size(kCaughtSignals)] {};

void noteSignal(int signalNumber)
{
    if (g_signal == 0) {
        g_signal = signalNumber;
    }
    // A second one ends a run that does not stop soon enough.
    std::signal(signalNumber, SIG_DFL);
}

}  // namespace

InterruptCatcher::InterruptCatcher(bool enabled) : m_enabled(enabled)
{
    if (m_enabled) {
        struct sigaction action {};
        action.sa_handler = noteSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
            ::sigaction(kCaughtSignals[i], &action, &g_previous[i]);
        }
    }
}

InterruptCatcher::~InterruptCatcher()
{
    if (m_enabled) {
        for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i) {
            ::sigaction(kCaughtSignals[i], &g_previous[i], nullptr);
        }
    }
}

bool InterruptCatcher::interrupted()
{
    return g_signal != 0;
}

int InterruptCatcher::exitStatus()
{
    return 128 + (g_signal != 0 ? static_cast<int>(g_signal) : SIGINT);
}

std::string InterruptCatcher::stopText()
{
    switch (g_signal) {
    case SIGTERM:
        return "terminated (SIGTERM)";
    case SIGHUP:
        return "hung up (SIGHUP)";
    default:
        return "interrupted";
    }
}

int reportWriteError(CliContext& context, const FileError& error)
{
    if (error.osError == EPIPE) {
        return kExitBrokenPipe;
    }
    printError(context.err, writeFailureText(error));
    return kExitFailure;
}

int writeOutput(CliContext& context, std::string_view text)
{
    StreamTarget target(context.out);
    if (auto error = target.write(text)) {
        return reportWriteError(context, *error);
    }
    if (auto error = target.finish()) {
        return reportWriteError(context, *error);
    }
    return kExitOk;
}

void printError(std::ostream& err, std::string_view message)
{
    err << kProgramName << ": " << message << '\n';
    err.flush();
}

}  // namespace tellurim::cli

#include "cli/CliCommon.h"
#include "cli/CliOutput.h"

#include "engine/ModelLocator.h"
#include "record/FieldAccuracy.h"
#include "record/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace tellurim::cli {

std::string modelName(const CliOptions& options)
{
    return options.model.empty() ? std::string(kDefaultModelFile) : options.model;
}

std::shared_ptr<const MagneticModel> loadModel(const CliOptions& options, std::ostream& err)
{
    const std::string name = modelName(options);
    ModelLoad loaded = tellurim::loadModel(name, kAllDegrees);
    if (auto* model = std::get_if<std::shared_ptr<const MagneticModel>>(&loaded))
        return std::move(*model);
    const ModelReadProblem& problem = std::get<ModelReadProblem>(loaded);
    // The window's text, its ';' line marks (in the name too) as line breaks.
    std::string shown = name;
    std::replace(shown.begin(), shown.end(), ';', '\n');
    err << (problem.notFound ? "ERROR OPENING FILE:\n" : "ERROR READING FILE:\n") << shown << '\n';
    if (!problem.notFound && !problem.reason.empty()) {
        if (problem.line > 0) {
            err << "line " << problem.line << ": ";
        }
        err << problem.reason << '\n';
    }
    err.flush();
    return nullptr;
}

void warnOutsideLifeSpan(const MagneticModel& model, float year, std::ostream& err)
{
    if (model.coversDate(year)) {
        return;
    }
    // The model in use by name: the file need not be a World Magnetic Model.
    err << "WARNING: TIME BEYOND MODEL LIFE SPAN\n\n"
        << trimmedModelName(model.name()) << " (" << model.fileName() << ") is valid from "
        << formatShortestFixed(model.validFrom()) << " to " << formatShortestFixed(model.validUntil())
        << ", not at " << formatShortestFixed(year) << ".\n"
        << "Give the file that covers your date with --model.\n";
    err.flush();
}

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previousInterrupt {};

void noteInterrupt(int)
{
    g_interrupted = 1;
    // A second Ctrl-C ends a run that does not stop soon enough.
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

InterruptCatcher::InterruptCatcher(bool enabled) : m_enabled(enabled)
{
    if (m_enabled) {
        struct sigaction action {};
        action.sa_handler = noteInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &g_previousInterrupt);
    }
}

InterruptCatcher::~InterruptCatcher()
{
    if (m_enabled) {
        ::sigaction(SIGINT, &g_previousInterrupt, nullptr);
    }
}

bool InterruptCatcher::interrupted()
{
    return g_interrupted != 0;
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

#include "cli/CliCommon.h"
#include "cli/CliOutput.h"

#include "engine/ModelLocator.h"
#include "record/FieldAccuracy.h"
#include "record/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>

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

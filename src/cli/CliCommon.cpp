#include "cli/CliCommon.h"
#include "cli/CliOutput.h"

#include "engine/ModelEngine.h"
#include "engine/ModelLocator.h"
#include "files/CsvWriter.h"

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

int reportWriteError(CliContext& context, const FileError& error)
{
    context.err << csvWriteErrorText(error) << '\n';
    context.err.flush();
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

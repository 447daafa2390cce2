#include "workspace/InteractionMessageSink.h"

#include "workspace/ModelEngine.h"

#include <string_view>

namespace tellurim {
namespace {

constexpr std::string_view kReadFailurePrefix = "ERROR READING FILE:;";

}  // namespace

void InteractionMessageSink::showPlainMessage(const std::string& text)
{
    std::string lines = engineTextToLines(text);
    // The engine notes why a read failed before it says that it failed.
    if (m_engine != nullptr && text.rfind(kReadFailurePrefix, 0) == 0) {
        const ModelReadProblem& problem = m_engine->lastReadProblem();
        if (!problem.reason.empty()) {
            lines += "\n\n";
            if (problem.line > 0)
                lines += "line " + std::to_string(problem.line) + ": ";
            lines += problem.reason;
        }
    }
    m_interaction.ask(Message{Icon::None, std::string(kAppName), std::move(lines), Buttons::Ok});
}

void InteractionMessageSink::showInformationMessage(const std::string& text)
{
    m_interaction.ask(
        Message{Icon::Information, std::string(kAppName), engineTextToLines(text), Buttons::Ok});
}

}  // namespace tellurim

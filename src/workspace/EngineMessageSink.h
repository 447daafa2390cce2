#pragma once

#include <string>

namespace tellurim {

/// The engine's only way to the user. In the texts the engine passes, ';'
/// marks a line break; implementations replace every ';' before showing.
class EngineMessageSink {
public:
    virtual ~EngineMessageSink() = default;
    /// A modal box with an OK button and no icon (model file errors).
    virtual void showPlainMessage(const std::string& text) = 0;
    /// A modal box with an OK button and the information icon (warnings).
    virtual void showInformationMessage(const std::string& text) = 0;
};

/// Replaces every ';' by a line break, as all sinks must before showing.
std::string engineTextToLines(const std::string& text);

}  // namespace tellurim

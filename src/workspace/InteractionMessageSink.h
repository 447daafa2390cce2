#pragma once

#include "workspace/EngineMessageSink.h"
#include "platform/Interaction.h"

namespace tellurim {
class ModelEngine;
}

namespace tellurim {

/// Shows the engine's messages as modal boxes through the interaction, so
/// that they appear in the middle of the operation that caused them (and in
/// a scripted interaction's transcript). Caption: the application's name.
class InteractionMessageSink final : public EngineMessageSink {
public:
    explicit InteractionMessageSink(Interaction& interaction) : m_interaction(interaction) {}

    /// The engine whose read failures this sink reports: the box then also
    /// says why ("not a regular file", "line 7: ..."), as the command line does.
    void explainReadFailuresOf(const ModelEngine* engine) { m_engine = engine; }

    void showPlainMessage(const std::string& text) override;
    void showInformationMessage(const std::string& text) override;

private:
    Interaction& m_interaction;
    const ModelEngine* m_engine = nullptr;
};

}  // namespace tellurim

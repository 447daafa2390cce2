#pragma once

#include "workspace/EngineMessageSink.h"
#include "platform/Interaction.h"

namespace tellurim {

/// Shows the engine's messages as modal boxes through the interaction, so
/// that they appear in the middle of the operation that caused them (and in
/// a scripted interaction's transcript). Caption: the application's name.
class InteractionMessageSink final : public EngineMessageSink {
public:
    explicit InteractionMessageSink(Interaction& interaction) : m_interaction(interaction) {}

    void showPlainMessage(const std::string& text) override;
    void showInformationMessage(const std::string& text) override;

private:
    Interaction& m_interaction;
};

}  // namespace tellurim

#include "workspace/InteractionMessageSink.h"

namespace tellurim {

void InteractionMessageSink::showPlainMessage(const std::string& text)
{
    m_interaction.ask(Message{Icon::None, std::string(kAppName), engineTextToLines(text), Buttons::Ok});
}

void InteractionMessageSink::showInformationMessage(const std::string& text)
{
    m_interaction.ask(
        Message{Icon::Information, std::string(kAppName), engineTextToLines(text), Buttons::Ok});
}

}  // namespace tellurim

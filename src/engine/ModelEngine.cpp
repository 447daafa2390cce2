#include "engine/ModelEngine.h"

namespace tellurim {

ModelEngine::ModelEngine(EngineMessageSink& sink) : m_sink(&sink) {}

bool ModelEngine::isLoaded() const
{
    return m_model.isLoaded;
}

void ModelEngine::setMessageSink(EngineMessageSink& sink)
{
    m_sink = &sink;
}

}  // namespace tellurim

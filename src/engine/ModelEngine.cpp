#include "engine/ModelEngine.h"

namespace tellurim {

ModelEngine::ModelEngine(EngineMessageSink& sink)
    : m_sink(&sink), m_model(std::make_shared<MagneticModel>())
{
}

void ModelEngine::installModel(MagneticModel&& model)
{
    if (m_model.use_count() == 1)
        *m_model = std::move(model);
    else
        m_model = std::make_shared<MagneticModel>(std::move(model));
}

bool ModelEngine::isLoaded() const
{
    return m_model->isLoaded;
}

void ModelEngine::setMessageSink(EngineMessageSink& sink)
{
    m_sink = &sink;
}

}  // namespace tellurim

#include "workspace/ModelEngine.h"

#include "engine/PoleFinder.h"

namespace tellurim {

ModelEngine::ModelEngine(EngineMessageSink& sink) : m_sink(&sink) {}

void ModelEngine::readModelFile(int32_t requestedDegree, std::string& fileName)
{
    m_readProblem = {};
    ModelLoad loaded = loadModel(fileName, requestedDegree);
    m_model = nullptr;
    if (ModelReadProblem* problem = std::get_if<ModelReadProblem>(&loaded)) {
        if (problem->notFound) {
            m_sink->showPlainMessage("ERROR OPENING FILE:;" + fileName);
            fileName = std::string{kModelNotFoundText};
            return;
        }
        m_readProblem = std::move(*problem);
        m_sink->showPlainMessage("ERROR READING FILE:;" + fileName);
        return;
    }
    m_model = std::get<std::shared_ptr<const MagneticModel>>(std::move(loaded));
    m_firstSinceLoad = true;
}

void ModelEngine::noteCalculation(float date)
{
    // Only the first calculation after a load may warn: a grid must not
    // raise the box thousands of times.
    if (!m_firstSinceLoad)
        return;
    m_firstSinceLoad = false;
    if (!m_model->coversDate(date))
        m_sink->showInformationMessage(std::string{kLifeSpanWarning});
}

void ModelEngine::synthesize(float altitude, float latitude, float longitude, float time, FieldAtTime& out)
{
    if (!m_model) {
        out.dateOutOfRange = -1;
        out.coordinatesOutOfRange = -1;
        return;
    }
    noteCalculation(time);
    out = m_model->row(time, latitude, altitude * 1000.0f).fieldAt(longitude);
}

FieldResult ModelEngine::computePoint(float elevation, float latitude, float longitude, float date)
{
    FieldResult result;
    computeRow(elevation, latitude, std::span<const float>{&longitude, 1}, date, std::span<FieldResult>{&result, 1});
    return result;
}

void ModelEngine::computeRow(float elevation, float latitude, std::span<const float> longitudes, float date,
                             std::span<FieldResult> results)
{
    if (!m_model) {
        // No model: the element values mean nothing, the flags say so.
        for (FieldResult& result : results.first(std::min(longitudes.size(), results.size()))) {
            result = FieldResult{};
            result.dateOutOfRange = -1;
            result.coordinatesOutOfRange = -1;
        }
        return;
    }
    noteCalculation(date);
    m_model->row(date, latitude, elevation).evaluate(longitudes, results);
}

MagneticPoles ModelEngine::findMagneticPoles(float date)
{
    if (!m_model)
        return {};
    noteCalculation(date);
    return tellurim::findMagneticPoles(*m_model, date);
}

}  // namespace tellurim

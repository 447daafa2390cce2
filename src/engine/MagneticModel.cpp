#include "engine/MagneticModel.h"

#include "engine/LinearEpochs.h"

#include <algorithm>

namespace tellurim {

namespace {

std::unique_ptr<const CoefficientTimeline> linearEpochsOf(ModelFile& content)
{
    std::vector<LinearEpochs::Epoch> epochs;
    epochs.push_back({content.epoch, std::move(content.ghPairs), std::move(content.ratePairs)});
    for (EpochCoefficients& later : content.laterEpochs)
        epochs.push_back({later.epoch, std::move(later.ghPairs), std::move(later.ratePairs)});
    const auto degree = static_cast<std::size_t>(content.maxDegree);
    const auto changing = static_cast<std::size_t>(std::max(content.rateDegree, 0));
    return std::make_unique<LinearEpochs>(std::move(epochs), degree, changing);
}

}  // namespace

MagneticModel::MagneticModel(Description description, std::unique_ptr<const CoefficientTimeline> timeline)
    : m_name(std::move(description.name)),
      m_fileName(std::move(description.fileName)),
      m_epoch(description.epoch),
      m_lifeSpan(description.lifeSpan),
      m_degree(std::clamp(description.degree, 0, kMaxAnyModelDegree)),
      m_bounds(description.bounds),
      m_timeline(std::move(timeline)),
      m_tables(recursionTables(static_cast<std::size_t>(m_degree), static_cast<std::size_t>(m_degree) + 1))
{
}

MagneticModel::MagneticModel(ModelFile&& content, std::string fileName)
    : m_name(std::move(content.modelName)),
      m_fileName(std::move(fileName)),
      m_epoch(content.epoch),
      m_lifeSpan(content.lifeSpan),
      m_degree(content.maxDegree),
      m_bounds{content.latMin, content.latMax, content.lonMin, content.lonMax},
      m_timeline(linearEpochsOf(content)),
      m_tables{std::move(content.legendreFactor), std::move(content.recursionScale),
               std::move(content.degreeFactor), std::move(content.orderFactor)}
{
}

}  // namespace tellurim

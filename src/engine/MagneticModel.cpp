#include "engine/MagneticModel.h"

#include "engine/LinearEpochs.h"

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

MagneticModel::MagneticModel(ModelFile&& content, std::string fileName)
    : m_name(std::move(content.modelName)),
      m_fileName(std::move(fileName)),
      m_epoch(content.epoch),
      m_lifeSpan(content.lifeSpan),
      m_degree(content.maxDegree),
      m_bounds{content.latMin, content.latMax, content.lonMin, content.lonMax},
      m_timeline(linearEpochsOf(content)),
      m_legendreFactor(std::move(content.legendreFactor)),
      m_recursionScale(std::move(content.recursionScale)),
      m_degreeFactor(std::move(content.degreeFactor)),
      m_orderFactor(std::move(content.orderFactor))
{
}

}  // namespace tellurim

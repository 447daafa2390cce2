#pragma once

#include "engine/CoefficientTimeline.h"

#include <cstddef>
#include <vector>

namespace tellurim {

/// Coefficients given at one or more epochs, each with a rate: from each
/// epoch on, g = g(epoch) + rate * (date - epoch), until the next epoch. The
/// first epoch also reaches back before itself, the last one on after itself.
/// A .COF model is one epoch with its secular variation, IGRF one epoch
/// every five years with the rate towards the next.
class LinearEpochs final : public CoefficientTimeline {
public:
    /// One epoch: its date (decimal year) and its coefficients and rates
    /// (nT and nT per year, in the pair layout and scaling of
    /// CoefficientTimeline).
    struct Epoch {
        float epoch = 0.0f;
        std::vector<float> pairs;
        std::vector<float> ratePairs;
    };

    /// @param epochs        at least one, in increasing order
    /// @param degree        the degree the pairs hold
    /// @param changingDegree above it every rate is 0 (saves the update)
    LinearEpochs(std::vector<Epoch> epochs, std::size_t degree, std::size_t changingDegree);

    void coefficientsAt(float decimalYear, std::span<float> pairs) const override;
    bool changes() const override { return m_changes; }

private:
    std::vector<Epoch> m_epochs;
    std::size_t m_degree;
    std::size_t m_changingDegree;
    bool m_changes = false;
};

}  // namespace tellurim

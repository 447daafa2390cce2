#include "engine/LinearEpochs.h"
#include "engine/VectorClones.h"

#include "engine/ModelFile.h"

#include <algorithm>

namespace tellurim {

namespace {

// The coefficients at a time from those of the epoch in force and their
// rates: stored in single precision, summed in double.
TELLURIM_VECTOR_CLONES
void updateCoefficients(float* tc, const float* gh, const float* rate, double years, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        tc[i] = static_cast<float>(static_cast<double>(gh[i]) + years * static_cast<double>(rate[i]));
}

}  // namespace

LinearEpochs::LinearEpochs(std::vector<Epoch> epochs, std::size_t degree, std::size_t changingDegree)
    : m_epochs(std::move(epochs)), m_degree(degree), m_changingDegree(std::min(changingDegree, degree))
{
    for (const Epoch& e : m_epochs)
        m_changes = m_changes || std::any_of(e.ratePairs.begin(), e.ratePairs.end(), [](float r) { return r != 0.0f; });
    m_changes = m_changes || m_epochs.size() > 1;
}

void LinearEpochs::coefficientsAt(float decimalYear, std::span<float> pairs) const
{
    // The epoch in force; dates near it subtract exactly in single precision.
    const Epoch* inForce = &m_epochs.front();
    for (const Epoch& later : m_epochs) {
        if (!(decimalYear >= later.epoch))
            break;
        inForce = &later;
    }
    const float dt = decimalYear - inForce->epoch;
    const auto years = static_cast<double>(dt);
    const std::size_t count = std::min(pairs.size(), inForce->pairs.size());
    if (m_changingDegree == m_degree) {
        updateCoefficients(pairs.data(), inForce->pairs.data(), inForce->ratePairs.data(), years, count);
        return;
    }
    // Above the changing degree the coefficients are the epoch's.
    std::copy_n(inForce->pairs.begin(), count, pairs.begin());
    for (std::size_t m = 0; m <= m_changingDegree; ++m) {
        const std::size_t first = 2 * orderIndex(m, m_degree);
        updateCoefficients(pairs.data() + first, inForce->pairs.data() + first, inForce->ratePairs.data() + first,
                           years, 2 * (m_changingDegree - m + 1));
    }
}

}  // namespace tellurim

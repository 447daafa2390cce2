#pragma once

#include "engine/CoefficientHistory.h"
#include "engine/CoefficientTimeline.h"
#include "engine/ModelFile.h"
#include "engine/ModelFormats.h"
#include "io/BoundedInput.h"

#include <memory>
#include <optional>
#include <string>

namespace tellurim {

/// Reads a model file of any layout into model, Schmidt semi-normalised and
/// not yet converted: the engine's own layouts directly, a B-spline model or
/// a chain as a model whose coefficients come from its history at each
/// time. input: freshly opened on fileName (it is opened again as needed).
std::optional<ModelReadProblem> readAnyModel(BoundedInput& input, const std::string& fileName,
                                             int32_t requestedDegree, ModelFile& model);

/// The tables of a model whose coefficients come from a history: degree
/// capped at requestedDegree (at least 1), valid over the history's span,
/// the coefficients of its first valid date in gh and no rate.
void historyModelTables(std::shared_ptr<const CoefficientHistory> history, int32_t requestedDegree,
                        ModelFile& model);

/// The time dependence of a model whose coefficients come from a history (a
/// B-spline model, a chain): at each date the history's Schmidt
/// semi-normalised values, in the synthesis's pairs and scaling.
class HistoryTimeline final : public CoefficientTimeline {
public:
    /// content: converted (convertToUnnormalised), with its history set.
    explicit HistoryTimeline(const ModelFile& content);

    void coefficientsAt(float decimalYear, std::span<float> pairs) const override;
    bool changes() const override { return true; }
    /// Where the coefficients come from.
    const CoefficientHistory& history() const { return *m_history; }

private:
    std::shared_ptr<const CoefficientHistory> m_history;
    std::vector<double> m_pairFactors;  ///< see pairFactors
    std::size_t m_degree;
};

}  // namespace tellurim
